// Text links from the pointer side: link mode from the menu, the press that
// links or only ends the mode, a chain across pages, unlinking from the menu.
#include "editorfixture.h"

class TstTextLink : public QObject
{
    Q_OBJECT
    static QPoint in(const DrawObject* o) { return {o->x + 5, o->y + 5}; }

private slots:
    void linkAcrossPagesUnlinkFromTheMenuAndPressesThatOnlyEndLinkMode()
    {
        Editor e;
        const QString text = QString(40, QChar(0x3042)) + "BBB";
        DrawObject* a = e.box(10, 10, 60, 30, 0, text.left(40));
        DrawObject* b = e.box(10, 100, 200, 60, 0, "BBB");
        DrawObject* c = e.box(10, 10, 200, 100, 1);
        e.select({a});
        e.menu(in(a), "テキスト連結する");
        QCOMPARE(e.ui->lblMsg->text(), QString("｛連結先のオブジェクトを選択｝"));
        e.drag(in(b), {300, 300}); // the press links and does nothing else
        QCOMPARE(e.ui->lblMsg->text(), QString("本折り/左開き(横書用)"));
        QCOMPARE(e.w.mListSelected, QList<DrawObject*>({a}));
        QCOMPARE(a->text + b->text, text);

        e.menu(in(a), "テキスト連結する");
        e.ui->tabwgtMain->setCurrentIndex(1);
        e.drag(in(c), in(c));
        QCOMPARE(*a->textLinkList, QList<DrawObject*>({a, c, b}));
        QVERIFY(!c->text.isEmpty()); // what a cannot hold flows onto the other page
        QCOMPARE(a->text + c->text + b->text, text);

        e.ui->tabwgtMain->setCurrentIndex(0);
        e.menu(in(a), "テキスト連結しない");
        QCOMPARE(e.seam->menuSeen.mid(4, 2), QStringList({"テキスト連結する", "テキスト連結しない"}));
        QVERIFY(!a->isTextLinked() && a->text.isEmpty());
        QCOMPARE(*c->textLinkList, QList<DrawObject*>({c, b}));
        QCOMPARE(c->text + b->text, text); // no text lost

        // Presses that only end link mode, on boxes of their own on page 3.
        e.ui->tabwgtMain->setCurrentIndex(2);
        a = e.box(10, 10, 200, 60, 2), b = e.box(10, 100, 200, 60, 2), c = e.box(10, 200, 200, 60, 2);
        e.select({b});
        e.w.TextLinkInsertObj(c);
        // Empty space, the selected box itself, a box already linked.
        for (const QPoint& at : {QPoint(400, 350), in(a), in(b)}) {
            e.select({a});
            e.w.TextLinkCruiseStart();
            e.drag(at, at);
            QVERIFY(e.w.mPointerMode == POINTER_IDLE && !a->isTextLinked());
        }
        // The box to link after left the document since link mode began.
        DrawObject* d = e.box(10, 290, 200, 60, 2);
        e.w.TextLinkCruiseStart();
        e.w.getAreaObjects(2)->removeAll(a);
        e.drag(in(d), in(d));
        QVERIFY(!a->isTextLinked() && !d->isTextLinked());
        e.w.getAreaObjects(2)->prepend(a);

        // Emptying the selection ends link mode and its prompt.
        e.select({a});
        e.w.TextLinkCruiseStart();
        e.key(Qt::Key_Delete);
        QVERIFY(e.w.mPointerMode == POINTER_IDLE);
        QCOMPARE(e.ui->lblMsg->text(), QString("本折り/左開き(横書用)"));
    }
};

QTEST_MAIN(TstTextLink)
#include "tst_textlink.moc"
