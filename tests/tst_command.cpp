#include "command.h"
#include "drawobject.h"
#include "textlink.h"

#include <QtTest>

class TestCommand : public QObject
{
    Q_OBJECT

private:
    static QString list(const QStringList& values)
    {
        QString out;
        for (const QString& v : values)
            out += v + Command::SEPA_OBJVAL;
        return out;
    }
    static Command cmdFor(int targets, const QString& value)
    {
        Command c;
        for (int i = 0; i < targets; ++i)
            c.addObj(reinterpret_cast<DrawObject*>(quintptr(16 * (i + 1))));
        c.value = value;
        return c;
    }

private slots:
    void distribution()
    {
        int parts = -1;
        QCOMPARE(cmdFor(3, "5").distributeValues(&parts), QStringList({"5", "5", "5"}));
        QCOMPARE(parts, 1);
        QCOMPARE(cmdFor(3, list({"1", "2", "3"})).distributeValues(&parts), QStringList({"1", "2", "3"}));
        QCOMPARE(parts, 3);
        // Short list: the first value for the targets beyond it.
        QCOMPARE(cmdFor(3, list({"1", "2"})).distributeValues(&parts), QStringList({"1", "2", "1"}));
        QCOMPARE(parts, 2);
        // Long list: surplus ignored.
        QCOMPARE(cmdFor(2, list({"1", "2", "3", "4"})).distributeValues(&parts), QStringList({"1", "2"}));
        QCOMPARE(parts, 2);
        // Empty values stay values; an empty command value is one empty part.
        QCOMPARE(cmdFor(3, list({"", "a"})).distributeValues(&parts), QStringList({"", "a", ""}));
        QCOMPARE(cmdFor(2, "").distributeValues(&parts), QStringList({"", ""}));
        QCOMPARE(parts, 1);
        QCOMPARE(cmdFor(0, "x").distributeValues(&parts), QStringList());
        QCOMPARE(parts, 0);
    }

    void copyAndTargets()
    {
        DrawObject a(0, 0, 10, 10), b(0, 0, 10, 10);
        Command c;
        QCOMPARE(c.countObjects(), 0);
        QVERIFY(c.value.isEmpty());
        c.type = CMD_OBJ_X_CHANGE;
        c.value = "7";
        c.addObj(&a);
        c.addObjs({&b, &a});
        Command copy(&c);
        QCOMPARE(copy.type, int(CMD_OBJ_X_CHANGE));
        QCOMPARE(copy.value, QString("7"));
        QCOMPARE(copy.objs, QList<DrawObject*>({&a, &b, &a}));
        copy.objs.removeLast();
        QCOMPARE(c.countObjects(), 3); // the copy has its own target list
    }

    void joinPerObject()
    {
        QCOMPARE(Command::joinPerObject({"10", "10", "10"}), QString("10"));
        QCOMPARE(Command::joinPerObject({"10", "20"}), list({"10", "20"}));
        QCOMPARE(Command::joinPerObject({}), QString());
    }

    void fieldsRoundTrip()
    {
        // Every plain field code writes what it reads; booleans only from "true".
        DrawObject o(0, 0, 50, 50);
        for (int code = 0; code <= 51; ++code) {
            if (!Command::hasField(code))
                continue;
            const QString before = Command::fieldValue(&o, code);
            Command::setFieldValue(&o, code, before);
            QCOMPARE(Command::fieldValue(&o, code), before);
        }
        Command::setFieldValue(&o, CMD_OBJ_TEXT_ITALIC_CHANGE, "True");
        QCOMPARE(o.textItalic, false);
        Command::setFieldValue(&o, CMD_OBJ_TEXT_ITALIC_CHANGE, "1");
        QCOMPARE(o.textItalic, false);
        Command::setFieldValue(&o, CMD_OBJ_TEXT_ITALIC_CHANGE, "true");
        QCOMPARE(o.textItalic, true);
        Command::setFieldValue(&o, CMD_OBJ_X_CHANGE, "abc");
        QCOMPARE(o.x, 0);
        Command::setFieldValue(&o, CMD_OBJ_BG_COLOR_CHANGE, "1,2,3,4");
        QCOMPARE(o.bgColor, QColor(1, 2, 3, 4));
        QVERIFY(!Command::hasField(CMD_OBJ_SELECT));
        QVERIFY(!Command::hasField(CMD_OBJ_TEXT_LINK_CHANGE));
        QVERIFY(!Command::hasField(4));
        QVERIFY(Command::isSharedTextSetting(CMD_OBJ_TEXT_COLOR_CHANGE));
        QVERIFY(Command::isSharedTextSetting(CMD_OBJ_TEXT_EDGE_WIDTH_CHANGE));
        QVERIFY(!Command::isSharedTextSetting(CMD_OBJ_TEXT_CHANGE));
        QVERIFY(!Command::isSharedTextSetting(CMD_OBJ_SHAPE_DATA_CHANGE));
    }

    void chainLinkAndUnlink()
    {
        DrawObject a(0, 0, 10, 10), b(0, 0, 10, 10), c(0, 0, 10, 10);
        a.text = "A";
        b.text = "B";
        c.text = "C";
        QVERIFY(TextLink::insertAfter(&a, &b));
        QVERIFY(TextLink::insertAfter(&a, &c));
        QCOMPARE(*a.textLinkList, QList<DrawObject*>({&a, &c, &b}));
        QVERIFY(a.textLinkList == b.textLinkList && b.textLinkList == c.textLinkList);
        QVERIFY(!TextLink::insertAfter(&a, &b)); // already linked
        QVERIFY(!TextLink::insertAfter(&a, &a));

        // Middle member: its text is appended to the previous one.
        QCOMPARE(TextLink::remove(&c), &a);
        QCOMPARE(a.text, QString("AC"));
        QVERIFY(c.text.isEmpty() && !c.textLinkList);
        QCOMPARE(*a.textLinkList, QList<DrawObject*>({&a, &b}));
        // Two members: dissolved, texts kept.
        QCOMPARE(TextLink::remove(&b), nullptr);
        QVERIFY(!a.textLinkList && !b.textLinkList);
        QCOMPARE(b.text, QString("B"));

        // First member of three: text goes in front of the next one's.
        TextLink::insertAfter(&a, &b);
        TextLink::insertAfter(&b, &c);
        QCOMPARE(TextLink::remove(&a), &b);
        QCOMPARE(b.text, QString("ACB"));
        QCOMPARE(*b.textLinkList, QList<DrawObject*>({&b, &c}));
        TextLink::remove(&c);
    }

    void shareConf()
    {
        DrawObject a(0, 0, 10, 10), b(0, 0, 10, 10), c(0, 0, 10, 10);
        QVERIFY(TextLink::shareConfObjs(&a).isEmpty());
        TextLink::insertAfter(&a, &b);
        TextLink::insertAfter(&b, &c);
        QCOMPARE(TextLink::shareConfObjs(&b), QList<DrawObject*>({&a, &c}));
        c.textLinkShareConf = false;
        QCOMPARE(TextLink::shareConfObjs(&a), QList<DrawObject*>({&b}));
        QVERIFY(TextLink::shareConfObjs(&c).isEmpty());
        a.textSize = 30;
        a.textFont = "Serif";
        a.text = "keep";
        TextLink::copySharedSettings(&a, &c);
        QCOMPARE(c.textSize, 30);
        QCOMPARE(c.textFont, QString("Serif"));
        QVERIFY(c.text != "keep"); // the text itself is never shared
        TextLink::remove(&b);
        TextLink::remove(&c);
    }

    void damagedChains()
    {
        // A one-member chain, null entries, and a member claiming another list:
        // unlinking leaves every box consistent and unlinked.
        DrawObject a(0, 0, 10, 10), b(0, 0, 10, 10), stray(0, 0, 10, 10);
        auto* single = new QList<DrawObject*>{&a, nullptr};
        a.textLinkList = single;
        QCOMPARE(TextLink::remove(&a), nullptr);
        QVERIFY(!a.textLinkList);

        auto* other = new QList<DrawObject*>{&stray};
        stray.textLinkList = other;
        auto* broken = new QList<DrawObject*>{nullptr, &a, &stray, &b, &a};
        a.textLinkList = broken;
        b.textLinkList = broken;
        QCOMPARE(TextLink::remove(&b), nullptr); // only a and b really belong: dissolved
        QVERIFY(!a.textLinkList && !b.textLinkList);
        QCOMPARE(stray.textLinkList, other);

        // A box pointing at a chain that does not hold it just leaves.
        b.textLinkList = other;
        QCOMPARE(TextLink::remove(&b), nullptr);
        QVERIFY(!b.textLinkList);
        QCOMPARE(*other, QList<DrawObject*>({&stray}));
        stray.textLinkList = nullptr;
        delete other;

        // Linking after a box whose chain is damaged starts a sound chain.
        auto* lonely = new QList<DrawObject*>{&a};
        a.textLinkList = lonely;
        QVERIFY(TextLink::insertAfter(&a, &b));
        QCOMPARE(*a.textLinkList, QList<DrawObject*>({&a, &b}));
        TextLink::remove(&a);
    }
};

QTEST_MAIN(TestCommand)
#include "tst_command.moc"
