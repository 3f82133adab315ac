// Link mode from the pointer side: linking through the menu and a press,
// presses that only end the mode, unlinking, sharing, deleting, two pages.
#include "editorfixture.h"
#include "setting.h"
#include "testsupport.h"
#include "ui_mainwindow.h"

#include <QContextMenuEvent>

class TstTextLink : public QObject
{
    Q_OBJECT
private:
    ScriptedSeam* seam = nullptr;

    DrawObject* textBox(Editor& e, int y, const QString& text, int area = 0)
    {
        DrawObject* o = e.box(10, y, 200, 60, area);
        o->text = text;
        return o;
    }
    void menu(Editor& e, DrawObject* on, const QString& choice)
    {
        const QPoint at(on->x + on->w / 2, on->y + on->h / 2);
        seam->menuChoices << choice;
        QContextMenuEvent ev(QContextMenuEvent::Mouse, at, e.page()->mapToGlobal(at));
        QApplication::sendEvent(e.page(), &ev);
    }
    // Selects `after` with a press, starts link mode from the menu, presses on `next`.
    void link(Editor& e, DrawObject* after, DrawObject* next)
    {
        e.w.selectObject("new", after, false);
        menu(e, after, "テキスト連結する");
        e.press({next->x + 5, next->y + 5});
        e.release({next->x + 5, next->y + 5});
    }
    static QString chainText(DrawObject* o)
    {
        QString t;
        for (DrawObject* m : *o->textLinkList)
            t += m->text;
        return t;
    }

private slots:
    void init()
    {
        Setting::resetDefaults();
        seam = ScriptedSeam::install();
    }
    void linkAfterAndBetween();
    void pressesThatOnlyEndLinkMode();
    void unlinkKeepsAllText();
    void sharingOnAndOff();
    void deletingALinkedBox();
    void chainAcrossTwoPages();
};

void TstTextLink::linkAfterAndBetween()
{
    Editor e;
    DrawObject* a = textBox(e, 10, "AAA");
    DrawObject* b = textBox(e, 100, "BBB");
    DrawObject* c = textBox(e, 200, "CCC");
    a->textSize = 20;
    e.w.selectObject("new", a, false);
    menu(e, a, "テキスト連結する");
    QCOMPARE(e.w.mPointerMode, int(POINTER_TEXT_LINK));
    QCOMPARE(e.w.ui->lblMsg->text(), QString("｛連結先のオブジェクトを選択｝"));
    e.press({20, 110});
    QCOMPARE(e.w.mPointerMode, int(POINTER_IDLE));
    QCOMPARE(e.w.ui->lblMsg->text(), QString("本折り/左開き(横書用)"));
    QVERIFY(a->textLinkList && a->textLinkList == b->textLinkList);
    QCOMPARE(*a->textLinkList, QList<DrawObject*>({a, b}));
    QCOMPARE(chainText(a), QString("AAABBB"));
    QCOMPARE(b->textSize, 20); // b took the chain's settings
    QVERIFY(e.w.mListSelected == QList<DrawObject*>({a}));
    e.release({20, 110});

    link(e, a, c);
    QCOMPARE(*a->textLinkList, QList<DrawObject*>({a, c, b}));
    QCOMPARE(chainText(a), QString("AAABBBCCC")); // a held the whole text, c's follows it

    e.w.selectObject("new", b, false);
    menu(e, b, "");
    QVERIFY(seam->menuSeen.contains("テキスト連結しない"));
}

void TstTextLink::pressesThatOnlyEndLinkMode()
{
    Editor e;
    DrawObject* a = textBox(e, 10, "AAA");
    DrawObject* b = textBox(e, 100, "BBB");
    DrawObject* c = textBox(e, 200, "CCC");
    link(e, b, c); // [b, c]
    for (const QPoint& at : {QPoint(400, 350), QPoint(20, 20), QPoint(20, 110)}) {
        e.w.selectObject("new", a, false);
        e.w.TextLinkCruiseStart();
        e.press(at); // empty space, the selected box, a box already linked
        e.release(at);
        QCOMPARE(e.w.mPointerMode, int(POINTER_IDLE));
        QVERIFY(!a->isTextLinked());
    }
    QCOMPARE(b->textLinkList->size(), 2);

    // The box to link after has left the document since link mode began.
    DrawObject* d = textBox(e, 290, "DDD");
    e.w.selectObject("new", a, false);
    e.w.TextLinkCruiseStart();
    e.w.getAreaObjects(0)->removeAll(a);
    e.press({20, 300});
    QVERIFY(!a->isTextLinked() && !d->isTextLinked());
    e.w.getAreaObjects(0)->prepend(a);

    // A box deleted meanwhile is not there to be linked.
    e.w.selectObject("new", a, false);
    e.w.TextLinkCruiseStart();
    Command* del = e.w.createCmd(d);
    del->type = CMD_OBJ_DELETE;
    e.w.execCmd(del, true, 0);
    e.press({20, 300});
    QVERIFY(!a->isTextLinked() && !d->isTextLinked());
}

void TstTextLink::unlinkKeepsAllText()
{
    Editor e;
    DrawObject* a = textBox(e, 10, "AAA");
    DrawObject* b = textBox(e, 100, "BBB");
    DrawObject* c = textBox(e, 200, "CCC");
    link(e, a, b);
    link(e, b, c); // [a, b, c]

    e.w.selectObject("new", a, false);
    menu(e, a, "テキスト連結しない"); // first
    QVERIFY(!a->isTextLinked() && a->text.isEmpty());
    QCOMPARE(*b->textLinkList, QList<DrawObject*>({b, c}));
    QCOMPARE(chainText(b), QString("AAABBBCCC"));

    link(e, b, a); // [b, a, c]
    a->text.clear();
    e.w.selectObject("new", a, false);
    menu(e, a, "テキスト連結しない"); // middle
    QVERIFY(!a->isTextLinked());
    QCOMPARE(*b->textLinkList, QList<DrawObject*>({b, c}));
    QCOMPARE(chainText(b), QString("AAABBBCCC"));

    e.w.selectObject("new", c, false);
    const QString shareB = b->text, shareC = c->text;
    menu(e, c, "テキスト連結しない"); // last of two: both leave, each keeps its share
    QVERIFY(!b->isTextLinked() && !c->isTextLinked());
    QCOMPARE(b->text + c->text, shareB + shareC);
    QCOMPARE(b->text + c->text, QString("AAABBBCCC"));
}

void TstTextLink::sharingOnAndOff()
{
    Editor e;
    DrawObject* a = textBox(e, 10, "AAA");
    DrawObject* b = textBox(e, 100, "BBB");
    link(e, a, b);
    e.w.ui->spnTextSize->setValue(18); // a is selected
    QCOMPARE(b->textSize, 18);

    e.w.selectObject("new", b, false);
    QVERIFY(e.w.ui->chkTextLinkShareConf->isChecked());
    e.w.ui->tabwgtObject->setCurrentWidget(e.w.ui->tabText);
    QTest::mouseClick(e.w.ui->chkTextLinkShareConf, Qt::LeftButton);
    QVERIFY(!b->textLinkShareConf);
    e.w.ui->spnTextSize->setValue(9);
    QCOMPARE(a->textSize, 18);
    e.w.selectObject("new", a, false);
    e.w.ui->spnTextSize->setValue(24);
    QCOMPARE(b->textSize, 9);

    e.w.selectObject("new", b, false);
    QTest::mouseClick(e.w.ui->chkTextLinkShareConf, Qt::LeftButton);
    QVERIFY(b->textLinkShareConf);
    QCOMPARE(b->textSize, 24); // on again: takes the other member's settings
}

void TstTextLink::deletingALinkedBox()
{
    Editor e;
    DrawObject* a = textBox(e, 10, "AAA");
    DrawObject* b = textBox(e, 100, "BBB");
    DrawObject* c = textBox(e, 200, "CCC");
    link(e, a, b);
    link(e, b, c);
    e.w.selectObject("new", b, false);
    menu(e, b, "削除");
    QVERIFY(!e.w.getAreaObjects(0)->contains(b));
    QVERIFY(!b->isTextLinked());
    QCOMPARE(*a->textLinkList, QList<DrawObject*>({a, c}));
    QCOMPARE(chainText(a), QString("AAABBBCCC"));
    e.w.undo();
    QVERIFY(e.w.getAreaObjects(0)->contains(b));
    QVERIFY(!b->isTextLinked());
}

void TstTextLink::chainAcrossTwoPages()
{
    Editor e;
    DrawObject* a = textBox(e, 10, "AAA", 0);
    DrawObject* b = textBox(e, 10, "BBB", 1);
    e.w.selectObject("new", a, false);
    menu(e, a, "テキスト連結する");
    e.w.ui->tabwgtMain->setCurrentIndex(1);
    e.press({20, 20});
    e.release({20, 20});
    QVERIFY(a->isTextLinked());
    QCOMPARE(*a->textLinkList, QList<DrawObject*>({a, b}));
    QCOMPARE(b->getTextLinkIndex(), 1);
}

QTEST_MAIN(TstTextLink)
#include "tst_textlink.moc"
