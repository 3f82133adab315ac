#include "drawobject.h"

#include <QRandomGenerator>
#include <QtTest>

#include <climits>
#include <memory>

// Boxes use IPAGothic 12pt with no margin so that the usable area is the box
// itself; every expected position is derived from the same font's metrics.
class TstTextLayout : public QObject
{
    Q_OBJECT

    std::unique_ptr<DrawObject> box(int w, int h, const QString& text, bool vertical = false)
    {
        auto o = std::make_unique<DrawObject>(0, 0, w, h);
        o->textFont = "IPAGothic";
        o->textSize = 12;
        o->textMargin = 0;
        o->textTategaki = vertical;
        o->relocateText(text);
        return o;
    }
    static QFontMetrics metrics(const DrawObject& o) { return QFontMetrics(o.makeFont()); }
    static int fw(const DrawObject& o, const QString& s) { return metrics(o).horizontalAdvance(s); }
    static int ooW(const DrawObject& o) { return fw(o, "oo"); }
    static int pitch(const DrawObject& o) { return 2 - metrics(o).boundingRect(QStringLiteral("Q")).top(); }

    static void checkInvariants(const DrawObject& o)
    {
        QCOMPARE(o.layoutFlags.size(), o.layoutRects.size());
        QCOMPARE(o.layoutTexts.size(), o.layoutRects.size());
        QCOMPARE(o.layoutKinds.size(), o.textTategaki ? o.layoutRects.size() : 0);
    }

private slots:
    void charactersAndWidths()
    {
        QCOMPARE(MOJI_TATE.size(), 84);
        QCOMPARE(MOJI_MINI1.size(), 31);
        QCOMPARE(MOJI_MINI2.size(), 8);
        QCOMPARE(MOJI_KINSOKU_ATAMA.size(), 23);
        QCOMPARE(MOJI_KINSOKU_OSIRI.size(), 15);
        QVERIFY(DrawObject::isAlphabet("abc") && DrawObject::isAlphabet("\"x") && DrawObject::isAlphabet(","));
        QVERIFY(!DrawObject::isAlphabet("") && !DrawObject::isAlphabet("1") && !DrawObject::isAlphabet("あ"));
        QVERIFY(!DrawObject::containsStr(MOJI_TATE, "") && !DrawObject::containsStr("", "a"));

        auto o = box(100, 100, "");
        const QFontMetrics fm = metrics(*o);
        const int a = fw(*o, "あ"), half = int(0.5 * ooW(*o));
        QCOMPARE(DrawObject::calcTextWidth("あ」", fm, 0, false), a + half);
        QCOMPARE(DrawObject::calcTextWidth("」", fm, 0, false), fw(*o, "」"));
        QCOMPARE(DrawObject::calcTextWidth("」", fm, 5, true), half);
        QCOMPARE(DrawObject::calcTextWidth("あいう", fm, 3, false), 3 * a + 6);
    }

    void closingAndOpeningMarks()
    {
        auto probe = box(100, 100, "");
        const int five = fw(*probe, "あいうえお");
        const int half = ooW(*probe) / 2;

        // A closing mark never starts a line: it hangs when there is half a
        // character to spare, otherwise it takes the character before along.
        auto hang = box(five + half + 1, 200, "あいうえお」か");
        QCOMPARE(hang->layoutLines, QStringList({"あいうえお」", "か"}));
        auto carry = box(five, 200, "あいうえお」か");
        QCOMPARE(carry->layoutLines, QStringList({"あいうえ", "お」か"}));

        // Two marks in a row are carried together.
        auto two = box(five + ooW(*probe) + half, 200, "あいうえお」。か");
        QCOMPARE(two->layoutLines, QStringList({"あいうえお」。", "か"}));

        // An opening mark goes to the next line with the character after it.
        auto open = box(five, 200, "あいうえ「お」");
        QCOMPARE(open->layoutLines, QStringList({"あいうえ", "「お」"}));
    }

    void latinWords()
    {
        auto probe = box(100, 100, "");
        const int five = fw(*probe, "あいうえお");
        auto o = box(five, 200, "あいうHello");
        QCOMPARE(o->layoutLines, QStringList({"あいう", "Hello"}));

        // A word wider than the box is cut where it must be, nothing lost.
        const QString longWord = "Supercalifragilisticexpialidocious";
        auto cut = box(five, 400, longWord);
        QVERIFY(cut->layoutLines.size() > 1);
        QCOMPARE(cut->layoutLines.join(QString()), longWord);
        for (const QString& line : cut->layoutLines)
            QVERIFY(DrawObject::calcTextWidth(line, metrics(*cut), 0, false) <= five);

        // The space at a width break disappears from the finished line only.
        auto spaced = box(fw(*probe, "Hello wor"), 200, "Hello world again");
        QCOMPARE(spaced->layoutLines, QStringList({"Hello", "world", "again"}));
        QCOMPARE(spaced->text, QString("Hello world again"));
    }

    void justificationAndAlignment()
    {
        const QString text = "あいうえおかきくけこさ";
        auto probe = box(100, 100, "");
        const int cw = fw(*probe, "あ");
        const int W = 5 * cw + 15;
        for (int align : {33, 34, 36}) {
            auto o = box(W, 300, text);
            o->textAlign = align;
            o->relocateText(QString());
            QCOMPARE(o->layoutLines, QStringList({"あいうえお", "かきくけこ", "さ"}));
            // Wrapped lines span the whole width whatever the alignment.
            QCOMPARE(o->layoutRects.at(0).x(), 0);
            QCOMPARE(o->layoutRects.at(4).x() + cw, W);
            QCOMPARE(o->layoutRects.at(9).x() + cw, W);
            // The gaps differ by at most one pixel.
            for (int j = 1; j < 4; ++j) {
                const int gap = o->layoutRects.at(j + 1).x() - o->layoutRects.at(j).x();
                QVERIFY(gap >= cw + 3 && gap <= cw + 4);
            }
            const int lastX = o->layoutRects.at(10).x();
            QCOMPARE(lastX, align == 34 ? W - cw : align == 36 ? (W - cw) / 2 : 0);
        }

        // No space is added after punctuation.
        auto punct = box(W, 300, "あ、いうえおか");
        QCOMPARE(punct->layoutTexts.at(1), QString("、"));
        QCOMPARE(punct->layoutRects.at(2).x() - punct->layoutRects.at(1).x(), fw(*punct, "、"));

        // Lines ending in a line feed follow the alignment; the feed is kept.
        auto feed = box(W, 300, "あい\nうえお");
        feed->textAlign = 34;
        feed->relocateText(QString());
        QCOMPARE(feed->layoutLines, QStringList({"あい\n", "うえお"}));
        QCOMPARE(feed->layoutRects.at(0).x(), W - fw(*feed, "あい"));

        // Vertical alignment of the block.
        auto mid = box(W, 300, "あ");
        mid->textAlign = 129;
        mid->relocateText(QString());
        const QRect q = metrics(*mid).boundingRect(QStringLiteral("Q"));
        const int lh = q.bottom() - q.top() - 1;
        QCOMPARE(mid->layoutRects.at(0).y(), (300 - lh) / 2);
        QCOMPARE(mid->layoutRects.at(0).height(), 2 * lh);
    }

    void lineFeeds()
    {
        auto o = box(200, 300, "あ\n\nい\n");
        QCOMPARE(o->layoutLines, QStringList({"あ\n", "\n", "い\n"}));
        const int lp = o->layoutRects.at(2).y() - o->layoutRects.at(0).y();
        QVERIFY(lp > 0);
        const int i = o->layoutTexts.indexOf("い");
        QCOMPARE(o->layoutRects.at(i).y(), 2 * lp);

        auto v = box(200, 300, "あ\n\nい", true);
        QCOMPARE(v->layoutLines, QStringList({"あ\n", "\n", "い"}));
        checkInvariants(*v);
    }

    void verticalColumns()
    {
        auto probe = box(100, 100, "", true);
        const int cp = pitch(*probe);
        const int h = 5 * cp + cp / 2; // five characters per column

        auto hang = box(200, h, "あいうえお。", true);
        QCOMPARE(hang->layoutLines, QStringList({"あいうえお。"}));
        QCOMPARE(hang->layoutKinds.last(), 3);
        QCOMPARE(hang->layoutRects.last().y(), 5 * cp);

        auto two = box(200, h, "あいうえお」。か", true);
        QCOMPARE(two->layoutLines, QStringList({"あいうえお」。", "か"}));

        auto next = box(200, h, "あいうえおか", true);
        QCOMPARE(next->layoutLines, QStringList({"あいうえお", "か"}));
        // Columns run from right to left.
        QCOMPARE(next->layoutRects.at(0).x() - next->layoutRects.at(5).x(), ooW(*next) + next->textLineSpacing);

        auto kinds = box(200, 400, QString::fromUtf16(u"\u30FC\u3083\u3001\uFF08\u3042"), true);
        QCOMPARE(kinds->layoutKinds, QList<int>({1, 2, 3, 1, 0}));
        checkInvariants(*kinds);

        // Switching direction leaves no vertical kinds behind.
        kinds->textTategaki = false;
        kinds->relocateText(QString());
        checkInvariants(*kinds);
    }

    void chainOverflow()
    {
        const QString full = "あいうえおかきくけこさしすせそたちつてと";
        for (bool vertical : {false, true}) {
            auto a = box(100, 40, "", vertical);
            auto b = box(100, 40, "", vertical);
            auto c = box(100, 40, "", vertical);
            QList<DrawObject*> chain{a.get(), b.get(), c.get()};
            for (DrawObject* o : chain)
                o->textLinkList = &chain;
            a->relocateText(full);
            QVERIFY(!a->text.isEmpty() && !b->text.isEmpty());
            QCOMPARE(a->text + b->text + c->text, full);
            // Each box holds exactly what it shows; gathering changes nothing.
            a->relocateText(QString());
            QCOMPARE(a->text + b->text + c->text, full);
            QCOMPARE(a->layoutLines.join(QString()), a->text);
            QCOMPARE(a->layoutTexts.join(QString()), a->text);

            // A shorter text empties the later members.
            a->relocateText("あい");
            QCOMPARE(a->text, QString("あい"));
            QVERIFY(b->text.isEmpty() && c->text.isEmpty());
            QVERIFY(b->layoutRects.isEmpty() && c->layoutLines.isEmpty());
        }
    }

    void chainBreakKeepsSpace()
    {
        auto probe = box(100, 100, "");
        const int five = fw(*probe, "あいうえお");
        auto a = box(five, 20, "");
        auto b = box(five, 200, "");
        QList<DrawObject*> chain{a.get(), b.get()};
        a->textLinkList = b->textLinkList = &chain;
        a->relocateText("あいうえお かきくけこ");
        QCOMPARE(a->text, QString("あいうえお"));
        QCOMPARE(b->text, QString(" かきくけこ"));
    }

    void damagedChains()
    {
        auto a = box(60, 20, "あいうえおかきくけこ");
        auto c = box(60, 20, "さしす");
        QList<DrawObject*> gap{a.get(), nullptr, c.get()};
        a->textLinkList = c->textLinkList = &gap;
        a->relocateText(QString());
        QCOMPARE(a->text, QString("あいうえおかきくけこ"));
        QCOMPARE(c->text, QString("さしす"));

        // A member listed twice is laid out once, and nothing loops.
        auto b = box(60, 20, "たち");
        QList<DrawObject*> twice{a.get(), b.get(), a.get()};
        a->textLinkList = b->textLinkList = &twice;
        a->relocateText(QString());
        QCOMPARE(a->text + b->text, QString("あいうえおかきくけこたち"));

        // A box missing from its own list is treated as unlinked.
        QList<DrawObject*> foreign{b.get()};
        a->textLinkList = &foreign;
        a->relocateText("xyz");
        QCOMPARE(a->text, QString("xyz"));
        a->textLinkList = b->textLinkList = c->textLinkList = nullptr;
    }

    void absurdInputsAlwaysFinish()
    {
        const QStringList pieces = {"あ", "い", "。", "」", "「", "（", "ー", "ゃ", "a", "b", "Q", ",", ".",
                                    " ", "\n", "\u3000", "😀", "か\u3099", "(", ")"};
        const int extremes[] = {INT_MIN, -1000000, -1, 0, 1, 1000000, INT_MAX};
        QRandomGenerator rng(20240601);
        auto pick = [&](int lo, int hi) {
            return rng.bounded(8) == 0 ? extremes[rng.bounded(7)] : lo + int(rng.bounded(hi - lo + 1));
        };
        for (int round = 0; round < 300; ++round) {
            QString text(""); // a null text would mean "gather"
            const int len = int(rng.bounded(120));
            for (int k = 0; k < len; ++k)
                text += pieces.at(int(rng.bounded(pieces.size())));
            if (rng.bounded(10) == 0)
                text = QString(400, QLatin1Char('w')); // one huge word

            const int members = 1 + int(rng.bounded(3));
            std::vector<std::unique_ptr<DrawObject>> owned;
            QList<DrawObject*> chain;
            for (int k = 0; k < members; ++k) {
                owned.push_back(std::make_unique<DrawObject>(0, 0, pick(-50, 300), pick(-50, 300)));
                DrawObject* o = owned.back().get();
                o->textFont = "IPAGothic";
                o->textSize = pick(0, 60);
                o->textMargin = pick(-20, 120);
                o->textLineSpacing = pick(-40, 40);
                o->textWordSpacing = pick(-40, 40);
                o->textAlign = QList<int>({33, 36, 34, 129, 132, 130, 65, 68, 66}).at(int(rng.bounded(9)));
                o->textTategaki = rng.bounded(2) == 1;
                chain.append(o);
            }
            if (members > 1)
                for (DrawObject* o : chain)
                    o->textLinkList = &chain;
            chain.first()->relocateText(text);

            QString joined;
            for (DrawObject* o : chain) {
                checkInvariants(*o);
                joined += o->text;
            }
            QCOMPARE(joined, text);
            for (DrawObject* o : chain)
                o->textLinkList = nullptr;
        }
    }
};

QTEST_MAIN(TstTextLayout)
#include "tst_textlayout.moc"
