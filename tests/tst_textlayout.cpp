#include "drawobject.h"
#include "pagefont.h"

#include <QRandomGenerator>
#include <QtTest>

#include <algorithm>
#include <climits>
#include <memory>

using Box = std::unique_ptr<DrawObject>;

// Boxes use IPAGothic 12pt with no margin so that the usable area is the box
// itself; every expected position is derived from the same font's metrics.
class TstTextLayout : public QObject
{
    Q_OBJECT

    static Box box(int w, int h, const QString& text, bool vertical = false, int align = 33)
    {
        auto o = std::make_unique<DrawObject>(0, 0, w, h);
        o->textFont = "IPAGothic", o->textMargin = 0, o->textTategaki = vertical, o->textAlign = align;
        o->relocateText(text);
        return o;
    }
    static QFontMetrics fm() { return PageFont::metrics(box(10, 10, "")->makeFont()); }
    static int fw(const QString& s) { return fm().horizontalAdvance(s); }
    static bool consistent(const DrawObject& o)
    {
        const int n = o.layoutRects.size();
        return o.layoutFlags.size() == n && o.layoutTexts.size() == n && o.layoutKinds.size() == (o.textTategaki ? n : 0);
    }

private slots:
    void widthsAndLineBreakingRules()
    {
        QVERIFY(!DrawObject::isAlphabet("") && !DrawObject::containsStr(MOJI_TATE, "") && !DrawObject::containsStr("", "a"));
        const int half = int(0.5 * fw("oo")), five = fw("あいうえお");
        // A closing mark hangs when half a character is spare, otherwise it
        // takes the character before along; an opening mark goes on with the
        // character after it; Latin words move whole; the space at a width
        // break leaves the finished line, not the text.
        const QList<std::tuple<int, QString, QString>> breaks = {
            {five + half + 1, "あいうえお」か", "あいうえお」|か"}, {five, "あいうえお」か", "あいうえ|お」か"},
            {five, "あいうえ「お」", "あいうえ|「お」"}, {five, "あいうHello", "あいう|Hello"},
            {fw("Hello wor"), "Hello world again", "Hello|world|again"}};
        for (const auto& [w, text, expected] : breaks) {
            const Box b = box(w, 200, text);
            QVERIFY2(b->layoutLines.join('|') == expected && b->text == text, qPrintable(b->layoutLines.join('|')));
        }
        // A word wider than the box is cut, nothing lost.
        const QStringList cut = box(five, 400, "Supercalifragilisticexpialidocious")->layoutLines;
        QVERIFY(cut.size() > 1 && cut.join(QString()) == "Supercalifragilisticexpialidocious"
                && std::all_of(cut.begin(), cut.end(), [&](const QString& l) { return DrawObject::calcTextWidth(l, fm(), 0, false) <= five; }));
        // Double line feeds give an empty line of one pitch; a final feed adds none.
        const Box feeds = box(200, 300, "あ\n\nい\n");
        QVERIFY(feeds->layoutLines == QStringList({"あ\n", "\n", "い\n"}) && feeds->layoutRects.at(3).y() == 2 * feeds->layoutRects.at(2).y());
    }

    void justificationAlignmentAndVerticalColumns()
    {
        const int cw = fw("あ"), W = 5 * cw + 15;
        for (int align : {33, 34, 36}) {
            // Wrapped lines span the whole width whatever the alignment, the
            // gaps differing by at most a pixel; the last line is aligned.
            const Box o = box(W, 300, "あいうえおかきくけこさ", false, align);
            QCOMPARE(o->layoutLines, QStringList({"あいうえお", "かきくけこ", "さ"}));
            QVERIFY(o->layoutRects.at(0).x() == 0 && o->layoutRects.at(9).x() + cw == W);
            for (int j = 1; j < 4; ++j)
                QVERIFY(qAbs(o->layoutRects.at(j + 1).x() - o->layoutRects.at(j).x() - cw - 3.5) < 1);
            QCOMPARE(o->layoutRects.at(10).x(), align == 34 ? W - cw : align == 36 ? (W - cw) / 2 : 0);
        }
        // No space is added after punctuation; line-feed lines are aligned.
        const Box punct = box(W, 300, "あ、いうえおか");
        QCOMPARE(punct->layoutRects.at(2).x() - punct->layoutRects.at(1).x(), fw("、"));
        QCOMPARE(box(W, 300, "あい\nうえお", false, 34)->layoutRects.at(0).x(), W - fw("あい"));
        // Line height comes from the text box of "Q" (ascent to descent).
        const QRect q = fm().boundingRect(QStringLiteral("Q"));
        const int lh = q.bottom() - q.top() - 1;
        QCOMPARE(box(W, 300, "あ", false, 129)->layoutRects.at(0), QRect(0, (300 - lh) / 2, 2 * fw("oo"), 2 * lh));
        QCOMPARE(box(W, 300, "あいうえおか")->layoutRects.at(5).y(), lh + 4);

        // Vertical columns, right to left.
        const int cp = DrawObject::charPitch(fm(), 0), h = 5 * cp + cp / 2; // five characters a column
        const Box next = box(200, h, "あいうえおか", true);
        QCOMPARE(next->layoutLines, QStringList({"あいうえお", "か"}));
        QCOMPARE(next->layoutRects.at(0).x() - next->layoutRects.at(5).x(), fw("oo") + 4); // right to left
        const Box kinds = box(200, 400, QString::fromUtf16(u"\u30FC\u3083\u3001\uFF08\u3042"), true);
        QCOMPARE(kinds->layoutKinds, QList<int>({1, 2, 3, 1, 0}));
        kinds->textTategaki = false; // switching direction leaves no kinds behind
        kinds->relocateText(QString());
        QVERIFY(consistent(*kinds));
        // The pitch never drops below one, however negative the spacing.
        QVERIFY(DrawObject::charPitch(fm(), -1000) == 1 && DrawObject::charPitch(fm(), INT_MIN) == 1);
    }

    void chainDistributionAndDamagedChains()
    {
        const QString full = "あいうえおかきくけこさしすせそたちつてと";
        for (bool vertical : {false, true}) {
            const Box a = box(100, 40, "", vertical), b = box(100, 40, "", vertical), c = box(100, 40, "", vertical);
            QList<DrawObject*> chain{a.get(), b.get(), c.get()};
            a->textLinkList = b->textLinkList = c->textLinkList = &chain;
            a->relocateText(full);
            // Each box holds exactly what it shows; gathering changes nothing.
            QVERIFY(!a->text.isEmpty() && !b->text.isEmpty() && a->layoutTexts.join(QString()) == a->text);
            a->relocateText(QString());
            QCOMPARE(a->text + b->text + c->text, full);
            // A shorter text empties the later members.
            a->relocateText("あい");
            QVERIFY(a->text == "あい" && b->text.isEmpty() && c->text.isEmpty() && b->layoutRects.isEmpty());
        }
        // A space at an overflowing break opens the next box's text.
        const Box first = box(fw("あいうえお"), 20, ""), second = box(100, 200, "");
        QList<DrawObject*> two{first.get(), second.get()};
        first->textLinkList = second->textLinkList = &two;
        first->relocateText("あいうえお かきくけこ");
        QCOMPARE(first->text + "|" + second->text, QString("あいうえお| かきくけこ"));

        // A missing member ends the chain; a repeated one is laid out once; a
        // box missing from its own list is treated as unlinked.
        const Box a = box(60, 20, "あいうえおかきくけこ"), b = box(60, 20, "たち"), c = box(60, 20, "さしす");
        QList<DrawObject*> gap{a.get(), nullptr, c.get()}, twice{a.get(), b.get(), a.get()}, foreign{b.get()};
        a->textLinkList = c->textLinkList = &gap;
        a->relocateText(QString());
        QCOMPARE(a->text + "|" + c->text, QString("あいうえおかきくけこ|さしす"));
        a->textLinkList = b->textLinkList = &twice;
        a->relocateText(QString());
        QCOMPARE(a->text + b->text, QString("あいうえおかきくけこたち"));
        a->textLinkList = &foreign;
        a->relocateText("xyz");
        QCOMPARE(a->text, QString("xyz"));
    }

    void linesLeftEmptyByASpaceAndAbsurdInputs()
    {
        // A line that can hold only the space before a word that does not fit
        // ends up empty; placing it must not look before the text (Qt's index
        // checks abort the sanitizer build).
        for (const QString& text : {" x", "  xy", "a b", " \n x", " 。", "x \n"})
            for (int w = 1; w < 3 * fw("x"); ++w) {
                const Box b = box(w, 200, text);
                QVERIFY2(consistent(*b) && b->text == text, qPrintable(QString("%1 in %2").arg(text).arg(w)));
            }
        // Any sizes and spacings finish, keeping the whole text.
        const QStringList pieces = {"あ", "。", "」", "「", "ー", "ゃ", "a", "Q", ",", " ", "\n", "\u3000", "😀", "か\u3099"};
        const QList<int> extremes = {INT_MIN, -1000000, -1, 0, 1, 1000000, INT_MAX};
        QRandomGenerator rng(20240601);
        auto pick = [&](int lo, int hi) { return rng.bounded(8) ? lo + int(rng.bounded(hi - lo + 1)) : extremes[rng.bounded(7)]; };
        for (int round = 0; round < 150; ++round) {
            QString text(""); // a null text would mean "gather"
            for (int k = int(rng.bounded(120)); k > 0; --k)
                text += pieces.at(int(rng.bounded(pieces.size())));
            if (rng.bounded(10) == 0)
                text = QString(400, 'w'); // one huge word
            std::vector<Box> owned;
            QList<DrawObject*> chain;
            for (int k = int(rng.bounded(3)); k >= 0; --k) {
                owned.push_back(box(pick(-50, 300), pick(-50, 300), "", rng.bounded(2) == 1, pick(0, 255)));
                chain << owned.back().get();
                chain.last()->textSize = pick(0, 60), chain.last()->textMargin = pick(-20, 120);
                chain.last()->textLineSpacing = pick(-40, 40), chain.last()->textWordSpacing = pick(-40, 40);
            }
            for (DrawObject* o : chain)
                o->textLinkList = &chain;
            chain.first()->relocateText(text);
            QString joined;
            for (DrawObject* o : chain)
                joined += consistent(*o) ? o->text : QString("<broken>");
            QCOMPARE(joined, text);
        }
    }

    void keyValuesColoursPensAndChains()
    {
        DrawObject o(0, 0, 200, 100);
        QCOMPARE(o.layoutLines, QStringList({"New"})); // laid out by the constructor
        DrawObject::null(nullptr);                     // harmless

        // Keys match whole and by case; an empty value is no default.
        const QString data = "E=;Shape=3;LineColor=0,0,0,255;LineWidth=1";
        for (const QString& c : {"LineColor|0,0,0,255", "Color|x", "Shape|3", "shape|x", "E|"})
            QCOMPARE(DrawObject::findValue(c.section('|', 0, 0), data, "x"), c.section('|', 1));
        // Damaged colour texts still give a valid colour: missing parts 0,
        // missing alpha opaque, non-numbers 0, excess clamped.
        QCOMPARE(DrawObject::strToColor("10,20"), QColor(10, 20, 0, 255));
        QCOMPARE(DrawObject::strToColor("x,300,-5,999"), QColor(0, 255, 0, 255));
        // No line for style 0 or a width below one; unknown styles are solid.
        for (int style : {0, 1, -3})
            QCOMPARE(DrawObject::getPen(Qt::red, style, qMin(style, 0), Qt::SquareCap).style(), Qt::NoPen);
        QCOMPARE(DrawObject::getPen(Qt::red, 77, 2, 5).style(), Qt::SolidLine);

        // Chain index and id: one id a chain, none for an unlinked box.
        DrawObject b(0, 0, 50, 50);
        QList<DrawObject*> chain{&o, &b};
        const QString unlinked = o.getTextLinkId();
        o.textLinkList = b.textLinkList = &chain;
        QVERIFY(unlinked.isEmpty() && b.getTextLinkIndex() == 1 && o.getTextLinkId() == b.getTextLinkId() && !o.getTextLinkId().isEmpty());
    }
};

QTEST_MAIN(TstTextLayout)
#include "tst_textlayout.moc"
