// Text laid out only as far as a page can show it: against the full layout
// for random chains, in every rendering, as hidden text comes into view, and
// through an editing session with undo and redo.
#include "cli.h"
#include "document.h"
#include "editorfixture.h"
#include "pdfexport.h"
#include "sheet.h"
#include "textlink.h"
#include "textreach.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <memory>
#include <vector>

namespace {

// What one box's layout holds, kept to compare with another layout of it.
struct Snapshot {
    QString text;
    QList<QRect> rects;
    QStringList entries, lines;
    QRect reach;
    bool partial;

    explicit Snapshot(const DrawObject* o)
        : text(o->text), rects(o->layoutRects), lines(o->layoutLines), reach(o->layoutReach), partial(o->layoutPartial)
    {
        for (int i = 0; i < rects.size(); ++i)
            entries << QString("%1,%2,%3,%4|%5|%6|%7").arg(rects[i].x()).arg(rects[i].y()).arg(rects[i].width())
                           .arg(rects[i].height()).arg(o->layoutFlags[i]).arg(o->layoutTexts[i]).arg(o->layoutKinds.value(i, -1));
    }
};

// Index where `part` runs inside `whole`, or -1.
int runIndex(const QStringList& whole, const QStringList& part)
{
    for (int at = 0; at + part.size() <= whole.size(); ++at)
        if (whole.mid(at, part.size()) == part)
            return at;
    return -1;
}

// Empty when a box's layout agrees with its full layout: the same text, and
// entries and lines that are a run of the full ones holding every entry that
// meets what the box can show (all of them when nothing was left out).
QString disagreement(const Snapshot& got, const Snapshot& full)
{
    if (got.text != full.text)
        return "text";
    const QStringList &have = got.entries, &all = full.entries;
    if (!got.partial)
        return have == all && got.lines == full.lines ? QString() : "full layout differs";
    const int at = runIndex(all, have);
    if (at < 0 || runIndex(full.lines, got.lines) < 0)
        return "not a run of the full layout";
    for (int i = 0; i < all.size(); ++i)
        if (full.rects[i].intersects(got.reach) && (i < at || i >= at + have.size()))
            return "left out a glyph it can show: " + all[i];
    return QString();
}

// Lays out every box and chain of the lists, as the bounded layout or as the
// full one, which places every glyph wherever it lies.
void relayout(const QList<QList<DrawObject*>*>& lists, bool full)
{
    TextReach::setUnbounded(full);
    for (const QList<DrawObject*>* list : lists)
        for (DrawObject* o : *list)
            if (TextLink::first(o) == o)
                o->relocateText(QString());
    TextReach::setUnbounded(false);
}

// Japanese prose with Latin words, marks, clusters and paragraphs of any
// length (sometimes none at all).
QString prose(QRandomGenerator& rng, int size)
{
    static const QStringList pieces = {"あ", "い", "う", "。", "、", "」", "「", "ー", "ゃ", "（", "）", "\u3000", "😀",
                                       "か\u3099", "Latin ", "words", ".", ",", " ", "Q", "g"};
    const int paragraph = rng.bounded(3) == 0 ? INT_MAX : 5 + int(rng.bounded(400));
    QString text(""); // a null text would mean "gather"
    for (int since = 0; text.size() < size;) {
        if (since > paragraph) {
            text += rng.bounded(5) == 0 ? "\n\n" : "\n";
            since = 0;
        }
        const QString& p = pieces.at(int(rng.bounded(pieces.size())));
        text += p, since += p.size();
    }
    return text;
}

// The first disagreement of a chain's layouts with the full layout of
// copies of its members (which keep their own layouts as they are).
QString againstFullLayout(const QList<DrawObject*>& members)
{
    std::vector<std::unique_ptr<DrawObject>> copies;
    QList<DrawObject*> chain;
    for (DrawObject* o : members) {
        copies.emplace_back(Document::copyObject(o));
        chain << copies.back().get();
        chain.last()->text = o->text, chain.last()->textLinkList = &chain; // text as it is, with what a file could not hold
    }
    TextReach::setUnbounded(true);
    chain.first()->relocateText(QString());
    TextReach::setUnbounded(false);
    QString why;
    for (int k = 0; k < chain.size() && why.isEmpty(); ++k)
        why = disagreement(Snapshot(members[k]), Snapshot(chain[k]));
    return why;
}

// Every page of the PDF the command line writes, as images.
QList<QImage> pdfPages(const QString& doc, int layout, bool full)
{
    QTemporaryDir dir;
    CliRequest request;
    request.document = doc, request.output = dir.filePath("out.pdf"), request.layout = layout;
    QString error;
    TextReach::setUnbounded(full);
    const int code = exportDocument(request, &error);
    TextReach::setUnbounded(false);
    QList<QImage> pages;
    if (code == 0 && runProgram("pdftoppm", {"-r", "96", "-png", request.output, dir.filePath("p")}).code == 0)
        for (const QString& png : QDir(dir.path()).entryList({"p*.png"}, QDir::Files, QDir::Name))
            pages << QImage(dir.filePath(png));
    return pages;
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
        QList<QList<DrawObject*>> areas{{}, {}, {}, {}};
        auto add = [&](int area, QRect r, bool vertical, int align, const QString& text = QString()) {
            auto* o = new DrawObject(r.x(), r.y(), r.width(), r.height());
            o->text = text, o->textTategaki = vertical, o->textAlign = align, o->borderStyle = 1;
            areas[area] << o;
            return o;
        };
        QList<DrawObject*> chains[2];
        auto chain = [&chains](int n, const QList<DrawObject*>& members) {
            chains[n] = members;
            for (DrawObject* m : members)
                m->textLinkList = &chains[n];
        };
        chain(0, {add(0, {10, 10, 120, 80}, false, 33, prose(rng, 3000)), add(1, {220, 150, 120, 60}, false, 33)});
        chain(1, {add(2, {300, 20, 100, 150}, true, 33, prose(rng, 2000)), add(2, {60, 200, 90, 120}, true, 33)});
        add(3, {20, 250, 200, 80}, false, 65, prose(rng, 2500));                  // from the last line
        add(3, {300, 150, 100, 100}, true, 36, prose(rng, 1500));                 // centred columns
        add(0, {300, -60, 200, 120}, false, 129, prose(rng, 1500))->textEdgeWidth = 2;
        DrawObject* turned = add(1, {20, 20, 150, 80}, false, 33, prose(rng, 1500));
        turned->r = 30, turned->textImaging = true, turned->textEdgeWidth = 1;
        add(1, {20, 150, 150, 60}, false, 33, prose(rng, 4000))->r = 270; // its overflow turned across the page
        // Ink beside its layout rectangle: an outline reaching across the
        // middle of the spread, punctuation moved left out of hidden columns.
        add(2, {277, 200, 150, 100}, false, 33, prose(rng, 1000))->textEdgeWidth = 5;
        DrawObject* moved = add(3, {430, 20, 100, 150}, true, 33, QString("、。あ").repeated(300));
        moved->textTateRevPuncX = -40, moved->textTateRevMiniX = -40;
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
        relayout(e.w.mListArea, true);
        const QImage full = e.page()->grab().toImage();
        for (const auto& [o, snapshot] : kept)
            QVERIFY2(disagreement(snapshot, Snapshot(o)).isEmpty(), step);
        relayout(e.w.mListArea, false);
        QVERIFY2(shown == full, step);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(mDir.isValid());
        QVERIFY2(!QStandardPaths::findExecutable("pdftoppm").isEmpty(), "pdftoppm is missing (poppler-utils)");
    }
    void init() { Setting::resetDefaults(); }

    void randomChainsAgreeWithTheFullLayout()
    {
        const int aligns[] = {33, 36, 34, 129, 132, 130, 65, 68, 66, 0, 3, 8};
        QRandomGenerator rng(20261206);
        for (int round = 0; round < 150; ++round) {
            const int size = round % 6 == 0 ? int(rng.bounded(100000)) : int(rng.bounded(3000));
            const QString text = prose(rng, qMax(3, size));
            const int members = 1 + int(rng.bounded(4));
            const bool vertical = rng.bounded(2) == 1;
            const int align = aligns[rng.bounded(12)];
            const int margin = rng.bounded(3) == 0 ? int(rng.bounded(40)) - 5 : 4;
            const int lineSpacing = rng.bounded(4) == 0 ? int(rng.bounded(30)) - 10 : 4;
            const int wordSpacing = rng.bounded(4) == 0 ? int(rng.bounded(10)) - 5 : 0;
            const int textSize = 6 + int(rng.bounded(20));
            std::vector<std::unique_ptr<DrawObject>> owned;
            QList<DrawObject*> chain;
            for (int k = 0; k < members; ++k) {
                QRect r(int(rng.bounded(700)) - 100, int(rng.bounded(550)) - 100, 20 + int(rng.bounded(400)),
                        20 + int(rng.bounded(400)));
                if (rng.bounded(6) == 0)
                    r.moveLeft(rng.bounded(2) ? 2000 : -3000); // off the page
                owned.push_back(std::make_unique<DrawObject>(r.x(), r.y(), r.width(), r.height()));
                DrawObject* o = owned.back().get();
                o->text = "", o->textFont = "IPAGothic", o->textTategaki = vertical, o->textAlign = align;
                o->textSize = textSize, o->textMargin = margin, o->textLineSpacing = lineSpacing;
                o->textWordSpacing = wordSpacing, o->textImaging = round % 11 == 0;
                o->r = k + 1 == members && round % 7 == 0 ? int(rng.bounded(360)) : 0;
                o->textTateRevRotateX = round % 13 == 0 ? 6 : 0;
                o->textLinkList = members > 1 ? &chain : nullptr;
                chain << o;
            }
            chain.first()->relocateText(text);
            const QString why = againstFullLayout(chain);
            QVERIFY2(why.isEmpty(), qPrintable(QString("round %1: %2").arg(round).arg(why)));
            QString joined;
            for (DrawObject* o : chain)
                joined += o->text;
            QCOMPARE(joined, text); // kept whole, however much is hidden
        }
    }

    void renderingIsPixelIdentical()
    {
        for (const QString& doc : {sourceDir() + "/examples/sample.xml", overfullDocument()}) {
            Editor e;
            QVERIFY(e.w.fileOpen(doc));
            for (int zoom = 1; zoom <= 2; ++zoom, e.w.on_btnZoom_clicked()) {
                for (int area = 0; area < 4; ++area) {
                    e.ui->tabwgtMain->setCurrentIndex(area);
                    expectFullLook(e, qPrintable(QString("%1 zoom %2 area %3").arg(doc).arg(zoom).arg(area)));
                }
            }
            // Print (the imposed sheet), page by page and spread by spread.
            for (int layout : {PdfExport::LayoutSheet, PdfExport::LayoutPages, PdfExport::LayoutSpreads}) {
                const QList<QImage> pages = pdfPages(doc, layout, false);
                QVERIFY(!pages.isEmpty());
                QVERIFY2(pdfPages(doc, layout, true) == pages, qPrintable(doc));
            }
        }
    }

    void hiddenTextShowsOnceItCanBeSeen()
    {
        Editor e;
        QRandomGenerator rng(3);
        DrawObject* a = e.box(10, 10, 120, 60, 0, prose(rng, 4000));
        DrawObject* b = e.box(150, 10, 120, 60, 0);
        DrawObject* c = e.box(300, 300, 120, 40, 0);
        auto* chain = new QList<DrawObject*>{a, b, c};
        for (DrawObject* o : *chain)
            o->textLinkList = chain;
        a->relocateText(QString());
        QVERIFY(c->layoutPartial);
        auto run = [&e](int type, const QString& value, DrawObject* o) { return [=, &e] { e.run(type, value, {o}); }; };
        const QList<std::pair<const char*, std::function<void()>>> steps = {
            {"overflow below the last box", [] {}},
            {"moved up without a new layout", run(CMD_OBJ_Y_CHANGE, "100", c)},
            {"taller", run(CMD_OBJ_H_CHANGE, "250", c)},
            {"turned without a new layout", run(CMD_OBJ_R_CHANGE, "200", c)},
            {"text deleted before the overflow", [&] { e.run(CMD_OBJ_TEXT_CHANGE, a->text.mid(40), {a}); }},
            {"zoom 2", [&] { e.w.on_btnZoom_clicked(); }},
            {"zoom 1, imaged", [&] { e.w.on_btnZoom_clicked(), e.run(CMD_OBJ_TEXT_IMAGING_CHANGE, "true", {c}); }},
            {"drawn directly again", run(CMD_OBJ_TEXT_IMAGING_CHANGE, "false", c)},
            {"vertical, stacked from the last column", run(CMD_OBJ_TEXT_TATEGAKI_CHANGE, "true", a)},
            {"moved left without a new layout", run(CMD_OBJ_X_CHANGE, "-200", c)},
            {"the same boxes on a page twice the size", [&] {
                 Setting::PaperSize = "A3";
                 e.w.setPageFormation(Setting::PaperSize, Setting::PageMax, Setting::PageOrientation,
                                      Setting::PageDirection);
             }},
        };
        for (const auto& [label, step] : steps) {
            step();
            expectFullLook(e, label);
            if (QTest::currentTestFailed())
                return;
        }
    }

    void editingSessionNeverLosesText()
    {
        Editor e;
        QRandomGenerator rng(11);
        QString text;
        for (int k = 0; k < 30; ++k)
            text += prose(rng, 20 + int(rng.bounded(150))).remove('\n') + '\n';
        QList<DrawObject*> members{e.box(10, 10, 120, 60, 0, text), e.box(150, 10, 120, 60, 0),
                                   e.box(10, 10, 120, 80, 1), e.box(150, 200, 100, 40, 1)};
        auto* chain = new QList<DrawObject*>(members);
        for (DrawObject* o : members)
            o->textLinkList = chain, o->textAlign = 132; // centred: the last box shows the middle of what it holds
        members.first()->relocateText(QString());
        auto chainText = [&] {
            QString t;
            for (DrawObject* o : members)
                t += o->text;
            return t;
        };
        QStringList history{chainText()}; // the chain's text at each point of the undo history
        int at = 0;
        const int fields[] = {CMD_OBJ_W_CHANGE, CMD_OBJ_H_CHANGE, CMD_OBJ_TEXT_SIZE_CHANGE, CMD_OBJ_TEXT_ALIGN_CHANGE,
                              CMD_OBJ_TEXT_TATEGAKI_CHANGE, CMD_OBJ_TEXT_MARGIN_CHANGE, CMD_OBJ_Y_CHANGE};
        const QStringList values[] = {{"40", "200"}, {"30", "150"}, {"9", "14"}, {"33", "66", "132", "132"},
                                      {"true", "false"}, {"0", "8"}, {"-30", "300"}};
        for (int step = 0; step < 300; ++step) {
            const int roll = int(rng.bounded(100));
            DrawObject* o = members.at(int(rng.bounded(members.size())));
            QString expected = history[at];
            if (roll < 35) {
                // Insert or delete a piece of one member's text; now and
                // then two members take the same text, as with both selected.
                QString t = o->text;
                const int pos = int(rng.bounded(t.size() + 1));
                if (rng.bounded(2))
                    t.insert(pos, prose(rng, 1 + int(rng.bounded(60))));
                else
                    t.remove(pos, int(rng.bounded(80)));
                QList<DrawObject*> targets{o};
                if (roll < 5)
                    targets << members.at(int(rng.bounded(members.size())));
                expected.clear();
                for (DrawObject* m : members)
                    expected += targets.contains(m) ? t : m->text;
                e.run(CMD_OBJ_TEXT_CHANGE, t, targets);
            } else if (roll < 60) {
                const int f = int(rng.bounded(7));
                e.run(fields[f], values[f].at(int(rng.bounded(values[f].size()))), {o});
            } else if (roll < 80 && at > 0) {
                e.w.undo(), --at;
            } else if (at + 1 < history.size()) {
                e.w.redo(), ++at;
            }
            if (roll < 60) {
                history = history.mid(0, ++at) << expected;
                if (history.size() > 201) // as many steps as the editor keeps
                    history.removeFirst(), --at;
            }
            QVERIFY2(chainText() == history[at], qPrintable(QString("step %1").arg(step)));
            // Layouts kept from step to step agree with a full layout of copies.
            const QString why = againstFullLayout(members);
            QVERIFY2(why.isEmpty(), qPrintable(QString("step %1: %2").arg(step).arg(why)));
        }
    }
};

QTEST_MAIN(TstTextReach)
#include "tst_textreach.moc"
