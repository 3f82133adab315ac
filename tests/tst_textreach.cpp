// Text laid out only as far as a page can show it, against the full layout:
// in every rendering, and through a random editing session with undo and
// redo as hidden text comes into view.
#include "cli.h"
#include "document.h"
#include "editorfixture.h"
#include "pdfexport.h"
#include "textlink.h"
#include "textreach.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <vector>
#include <memory>

namespace {

// What one box's layout holds, kept to compare with another layout of it.
struct Snapshot {
    QString text;
    QList<QRect> rects;
    QStringList entries;
    QRect reach;
    bool partial;

    explicit Snapshot(const DrawObject* o) : text(o->text), rects(o->layoutRects), reach(o->layoutReach), partial(o->layoutPartial)
    {
        for (int i = 0; i < rects.size(); ++i)
            entries << QString("%1,%2,%3,%4|%5|%6|%7").arg(rects[i].x()).arg(rects[i].y()).arg(rects[i].width())
                           .arg(rects[i].height()).arg(o->layoutFlags[i]).arg(o->layoutTexts[i]).arg(o->layoutKinds.value(i, -1));
    }
};

// Empty when a box's layout agrees with its full layout: the same text, and
// entries that are a run of the full ones holding every entry that meets
// what the box can show (all of them when nothing was left out).
QString disagreement(const Snapshot& got, const Snapshot& full)
{
    const QStringList &have = got.entries, &all = full.entries;
    if (got.text != full.text || (!got.partial && have != all))
        return "text or full layout differs";
    const int at = int(std::search(all.begin(), all.end(), have.begin(), have.end()) - all.begin());
    if (at + have.size() > all.size())
        return "not a run of the full layout";
    for (int i = 0; i < all.size(); ++i)
        if (full.rects[i].intersects(got.reach) && (i < at || i >= at + have.size()))
            return "left out a glyph it can show: " + all[i];
    return QString();
}

// Japanese prose with Latin words, marks, clusters and paragraphs of any
// length (sometimes none at all).
QString prose(QRandomGenerator& rng, int size)
{
    static const QStringList pieces = {"あ", "い", "う", "。", "、", "」", "「", "ー", "ゃ", "（", "）", "\u3000", "😀",
                                       "か\u3099", "Latin ", "words", ".", ",", " ", "Q", "g"};
    const int paragraph = rng.bounded(3) == 0 ? INT_MAX : 5 + int(rng.bounded(400));
    QString text(""); // a null text would mean "gather"
    for (int since = 0; text.size() < size; since = since > paragraph ? 0 : since + 1)
        text += since > paragraph ? (rng.bounded(5) == 0 ? "\n\n" : "\n") : pieces.at(int(rng.bounded(pieces.size())));
    return text;
}

}

class TstTextReach : public QObject
{
    Q_OBJECT

    QTemporaryDir mDir;

    // An A4 eight-page booklet of chains and boxes whose text overflows: last
    // members in every anchoring, across the middle of a spread, above the
    // page, turned, imaged, outlined and with vertical-writing corrections.
    QString overfullDocument()
    {
        QRandomGenerator rng(7);
        QList<QList<DrawObject*>> areas{{}, {}, {}, {}}, chains{{}, {}};
        auto add = [&](int area, QRect r, bool vertical, int align, int size, int chain = -1) {
            auto* o = new DrawObject(r.x(), r.y(), r.width(), r.height());
            o->text = size ? prose(rng, size) : QString(), o->textTategaki = vertical, o->textAlign = align, o->borderStyle = 1;
            areas[area] << o;
            if (chain >= 0)
                chains[chain] << o, o->textLinkList = &chains[chain];
            return o;
        };
        add(0, {10, 10, 120, 80}, false, 33, 3000, 0), add(1, {220, 150, 120, 60}, false, 33, 0, 0);
        add(2, {300, 20, 100, 150}, true, 33, 2000, 1), add(2, {60, 200, 90, 120}, true, 33, 0, 1);
        add(3, {20, 250, 200, 80}, false, 65, 2500);  // from the last line
        add(3, {300, 150, 100, 100}, true, 36, 1500); // centred columns
        add(0, {300, -60, 200, 120}, false, 129, 1500)->textEdgeWidth = 2;
        DrawObject* turned = add(1, {20, 20, 150, 80}, false, 33, 1500);
        turned->r = 30, turned->textImaging = true, turned->textEdgeWidth = 1;
        add(1, {20, 150, 150, 60}, false, 33, 4000)->r = 270; // its overflow turned across the page
        // Ink beside its layout rectangle: an outline reaching across the
        // middle of the spread, punctuation moved left out of hidden columns.
        add(2, {277, 200, 150, 100}, false, 33, 1000)->textEdgeWidth = 5;
        DrawObject* moved = add(3, {430, 20, 100, 150}, true, 33, 0);
        moved->text = QString("、。あ").repeated(300), moved->textTateRevPuncX = moved->textTateRevMiniX = -40;
        const QString path = mDir.filePath("overfull.xml");
        Document::save(path, DocumentSettings(), areas);
        for (QList<DrawObject*>& area : areas)
            qDeleteAll(area);
        return path;
    }

    // What the page shows now equals what the full layout shows, and every
    // box's layout is a part of its full layout holding all it can show.
    static void expectFullLook(Editor& e, const char* step)
    {
        const QImage shown = e.page()->grab().toImage();
        QList<std::pair<DrawObject*, Snapshot>> kept;
        for (const QList<DrawObject*>* list : e.w.mListArea)
            for (DrawObject* o : *list)
                kept.push_back({o, Snapshot(o)});
        for (bool full : {true, false}) { // the full layout places every glyph wherever it lies
            TextReach::setUnbounded(full);
            for (const auto& [o, snapshot] : kept)
                if (TextLink::first(o) == o)
                    o->relocateText(QString());
            TextReach::setUnbounded(false);
            for (const auto& [o, snapshot] : kept)
                QVERIFY2(!full || disagreement(snapshot, Snapshot(o)).isEmpty(), step);
            QVERIFY2(!full || shown == e.page()->grab().toImage(), step);
        }
    }

private slots:
    void renderingIsPixelIdentical()
    {
        const QString doc = overfullDocument();
        Editor e;
        QVERIFY(e.w.fileOpen(doc));
        for (int zoom = 1; zoom <= 2; ++zoom, e.w.on_btnZoom_clicked())
            for (int area = 0; area < 4; ++area) {
                e.ui->tabwgtMain->setCurrentIndex(area);
                expectFullLook(e, qPrintable(QString("zoom %1 area %2").arg(zoom).arg(area)));
            }
        // Print and the three PDF layouts, as the command line writes them.
        for (int layout : {PdfExport::LayoutSheet, PdfExport::LayoutPages, PdfExport::LayoutSpreads}) {
        QList<QImage> pages[2];
        for (bool full : {false, true}) {
            QTemporaryDir dir;
            CliRequest request;
            request.document = doc, request.output = dir.filePath("out.pdf"), request.layout = layout;
            QString error;
            TextReach::setUnbounded(full);
            const int code = exportDocument(request, &error);
            TextReach::setUnbounded(false);
            QVERIFY2(code == 0 && runProgram("pdftoppm", {"-r", "96", "-png", request.output, dir.filePath("p")}).code == 0, qPrintable(error));
            for (const QString& png : QDir(dir.path()).entryList({"p*.png"}, QDir::Files, QDir::Name))
                pages[full] << QImage(dir.filePath(png));
        }
        QVERIFY(!pages[0].isEmpty() && pages[0] == pages[1]);
        }
    }

    // Random chains in both directions, every alignment, odd margins and
    // spacing, turned and off-page boxes: each member's layout is a part of
    // the full layout holding all it can show, and the text is kept whole.
    void randomChainsAgreeWithTheFullLayout()
    {
        const int aligns[] = {33, 36, 34, 129, 132, 130, 65, 68, 66, 0, 3, 8};
        QRandomGenerator rng(20261206);
        for (int round = 0; round < 60; ++round) {
            const QString text = prose(rng, 3 + int(rng.bounded(round % 6 == 0 ? 100000 : 3000)));
            const int members = 1 + int(rng.bounded(4)), align = aligns[rng.bounded(12)];
            std::vector<std::unique_ptr<DrawObject>> owned, copies;
            QList<DrawObject*> chain, full;
            for (int k = 0; k < members; ++k) {
                owned.push_back(std::make_unique<DrawObject>(int(rng.bounded(700)) - 100 + (rng.bounded(6) == 0) * 3000,
                                                             int(rng.bounded(550)) - 100, 20 + int(rng.bounded(400)), 20 + int(rng.bounded(400))));
                DrawObject* o = owned.back().get();
                o->text = "", o->textFont = "IPAGothic", o->textTategaki = round % 2, o->textAlign = align;
                o->textSize = 6 + int(rng.bounded(20)), o->textMargin = int(rng.bounded(40)) - 5;
                o->textLineSpacing = int(rng.bounded(30)) - 10, o->textWordSpacing = int(rng.bounded(10)) - 5;
                o->r = k + 1 == members && round % 7 == 0 ? int(rng.bounded(360)) : 0;
                o->textTateRevRotateX = round % 13 == 0 ? 6 : 0;
                o->textLinkList = members > 1 ? &chain : nullptr;
                chain << o;
            }
            chain.first()->relocateText(text);
            QString joined;
            for (DrawObject* o : chain) {
                joined += o->text;
                copies.emplace_back(Document::copyObject(o));
                full << copies.back().get();
                full.last()->text = o->text, full.last()->textLinkList = members > 1 ? &full : nullptr;
            }
            QCOMPARE(joined, text);
            TextReach::setUnbounded(true);
            full.first()->relocateText(QString());
            TextReach::setUnbounded(false);
            for (int k = 0; k < members; ++k) {
                Snapshot got(chain[k]);
                if (chain[k]->r == 0) // what the page shows, not what the layout says it reached
                    got.reach = TextReach::pageRect().translated(-chain[k]->x, -chain[k]->y);
                QVERIFY2(disagreement(got, Snapshot(full[k])).isEmpty(), qPrintable(QString("round %1").arg(round)));
            }
        }
    }

    // Random edits, zooms, undos and redos of a chain whose text overflows:
    // no text is lost, and hidden text shows once it can be seen.
    void editingSessionNeverLosesText()
    {
        Editor e;
        QRandomGenerator rng(11);
        QList<DrawObject*> members{e.box(10, 10, 120, 60, 0, prose(rng, 3000)), e.box(150, 10, 120, 60, 0),
                                   e.box(10, 10, 120, 80, 1), e.box(150, 200, 100, 40, 0)}; // the last one on the page shown
        auto* chain = new QList<DrawObject*>(members);
        for (DrawObject* o : members)
            o->textLinkList = chain, o->textAlign = 132; // centred: the last box shows the middle of what it holds
        members.first()->relocateText(QString());
        const auto chainText = [&](DrawObject* changed = nullptr, const QString& t = QString()) {
            QString all;
            for (DrawObject* m : members)
                all += m == changed ? t : m->text;
            return all;
        };
        const QList<std::pair<int, QStringList>> edits = {
            {CMD_OBJ_W_CHANGE, {"40", "200"}}, {CMD_OBJ_H_CHANGE, {"30", "150"}}, {CMD_OBJ_TEXT_SIZE_CHANGE, {"9", "14"}},
            {CMD_OBJ_TEXT_ALIGN_CHANGE, {"33", "66", "132", "8", "129", "65"}}, {CMD_OBJ_TEXT_TATEGAKI_CHANGE, {"true", "false"}},
            {CMD_OBJ_TEXT_MARGIN_CHANGE, {"0", "8", "-5"}}, {CMD_OBJ_Y_CHANGE, {"-30", "300"}}, {CMD_OBJ_X_CHANGE, {"-3000", "10", "2000"}},
            {CMD_OBJ_R_CHANGE, {"0", "200"}}, {CMD_OBJ_TEXT_LINE_SPACING_CHANGE, {"-10", "20"}}, {CMD_OBJ_TEXT_WORD_SPACING_CHANGE, {"-5", "4"}},
            {CMD_OBJ_TEXT_IMAGING_CHANGE, {"true", "false"}}, {CMD_OBJ_TEXT_TATE_REV_ROTATE_X_CHANGE, {"0", "6"}}};
        const QList<std::pair<int, QString>> moves = {{CMD_OBJ_Y_CHANGE, "100"}, {CMD_OBJ_R_CHANGE, "200"}, {CMD_OBJ_X_CHANGE, "-60"}};
        for (const auto& [type, value] : moves) {
            e.run(type, value, {members.last()}); // its hidden text comes into view without a new layout
            expectFullLook(e, "moved or turned");
        }
        QStringList history{chainText()}; // the chain's text at each point of the undo history
        int at = 0;
        for (int step = 0; step < 200; ++step) {
            const int roll = int(rng.bounded(100));
            DrawObject* o = members.at(int(rng.bounded(members.size())));
            QString expected = history[at];
            if (roll < 35) { // insert or delete a piece of one member's text
                QString t = o->text;
                const int pos = int(rng.bounded(t.size() + 1));
                rng.bounded(2) ? t.insert(pos, prose(rng, 1 + int(rng.bounded(60)))) : t.remove(pos, int(rng.bounded(80)));
                expected = chainText(o, t);
                e.run(CMD_OBJ_TEXT_CHANGE, t, {o});
            } else if (roll < 58) {
                const auto& [type, values] = edits.at(int(rng.bounded(edits.size())));
                e.run(type, values.at(int(rng.bounded(values.size()))), {o});
            } else if (roll < 60) {
                e.w.on_btnZoom_clicked();
            } else if (roll < 80 && at > 0) {
                e.w.undo(), --at;
            } else if (at + 1 < history.size()) {
                e.w.redo(), ++at;
            }
            if (roll < 58)
                history = history.mid(0, ++at) << expected;
            QVERIFY2(chainText() == history[at], qPrintable(QString("step %1").arg(step)));
            expectFullLook(e, qPrintable(QString("step %1").arg(step)));
            if (QTest::currentTestFailed())
                return;
        }
        // The same boxes on a page twice the size.
        Setting::PaperSize = "A3";
        e.w.setPageFormation(Setting::PaperSize, Setting::PageMax, Setting::PageOrientation, Setting::PageDirection);
        expectFullLook(e, "A3");
    }
};

QTEST_MAIN(TstTextReach)
#include "tst_textreach.moc"
