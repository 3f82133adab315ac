#include "editorfixture.h"

class TestExecCmd : public QObject
{
    Q_OBJECT

private slots:
    void selectionCreationStackingAndValues()
    {
        Editor f;
        DrawObject* a = f.place(0, 10);
        DrawObject* b = f.place(0, 20);
        f.ui->spnX->setValue(55); // nothing selected: no target, no effect
        QCOMPARE(a->x, 10);
        f.select({a, b});
        f.w.selectObject("add", b, false); // no duplicate
        QCOMPARE(f.w.mListSelected, QList<DrawObject*>({a, b}));
        QVERIFY(a->selected && b->selected && f.ui->wgtObj->isEnabled());

        f.w.mPointerMode = POINTER_MOVE;
        f.w.mLastX = f.w.mPressY = 7;
        f.w.mNewUndoStep = false;
        f.ui->btnTextLinkOnOff->show();
        f.run(CMD_OBJ_DELETE, "", {a, b});
        QVERIFY(f.w.mListSelected.isEmpty() && !a->selected && !f.ui->wgtObj->isEnabled());
        QVERIFY(f.ui->txtText->toPlainText().isEmpty() && f.ui->btnTextLinkOnOff->isHidden());
        QVERIFY(f.w.mPointerMode == POINTER_IDLE && f.w.mLastX + f.w.mPressY == 0 && f.w.mNewUndoStep);
        QCOMPARE(f.w.mListUndo.size(), 1); // the deletion; selections are never recorded

        // Creation and stacking places.
        a = f.place(1, 0), b = f.place(1, 0);
        auto* top = new DrawObject(0, 0, 10, 10);
        auto* bottom = new DrawObject(0, 0, 10, 10);
        f.run(CMD_OBJ_CREATE, "1,-1", {top});
        f.run(CMD_OBJ_CREATE, "1,0", {bottom});
        QCOMPARE(*f.w.mListArea[1], QList<DrawObject*>({bottom, a, b, top}));
        QVERIFY(f.w.mListSelected == QList<DrawObject*>({bottom}) && !top->selected);
        f.run(CMD_OBJ_Z_CHANGE, "1,99", {bottom});
        f.run(CMD_OBJ_Z_CHANGE, "0,0", {a}); // not in that list: stays
        QCOMPARE(*f.w.mListArea[1], QList<DrawObject*>({a, b, top, bottom}));

        // A bad area number never loses the object: it lands on the current page.
        auto* stray = new DrawObject(0, 0, 10, 10);
        f.run(CMD_OBJ_CREATE, "9,0", {stray});
        QCOMPARE(f.w.getObjectArea(stray), f.w.getCurrentArea());

        const int records = f.w.mListUndo.size();
        a->textItalic = true;
        f.run(CMD_OBJ_TEXT_ITALIC_CHANGE, "True", {a});
        f.run(CMD_OBJ_Y_CHANGE, "junk", {a});
        f.run(8, "12", {a}); // unassigned: no effect, nothing recorded
        QVERIFY(!a->textItalic && a->y == 0 && f.w.mListUndo.size() == records + 2);
    }

    void linkCommandsAndDamagedChains()
    {
        Editor f;
        DrawObject* a = f.place(0, 0);
        DrawObject* b = f.place(1, 0);
        DrawObject* c = f.place(0, 200);
        a->textSize = 20;
        f.run(CMD_OBJ_X_CHANGE, "5", {c});
        f.w.undo();
        f.select({a});
        f.w.TextLinkInsertObj(b);
        f.run(CMD_OBJ_TEXT_LINK_CHANGE, "true", {b, c});
        QCOMPARE(*a->textLinkList, QList<DrawObject*>({a, b, c}));
        QCOMPARE(c->textSize, 20);
        // Links and sharing record nothing and keep what can be redone.
        f.run(CMD_OBJ_TEXT_LINK_SHARE_CONF_CHANGE, "false", {c});
        QVERIFY(f.w.mListUndo.isEmpty() && f.w.mListRedo.size() == 1);

        // A change reaches the members that share, and only from one that shares.
        f.select({a});
        f.ui->spnTextSize->setValue(30);
        f.run(CMD_OBJ_TEXT_SIZE_CHANGE, "8", {c});
        f.run(CMD_OBJ_BG_RADIUS_CHANGE, "9", {a}); // not a text setting
        QCOMPARE(QList<int>({a->textSize, b->textSize, c->textSize, a->bgRadius, b->bgRadius}), QList<int>({30, 30, 8, 9, 0}));

        // A link command without its second box, or onto a linked box, does nothing.
        DrawObject* d = f.place(0, 300);
        f.run(CMD_OBJ_TEXT_LINK_CHANGE, "true", {d});
        f.run(CMD_OBJ_TEXT_LINK_CHANGE, "true", {d, b});
        QVERIFY(!d->textLinkList && a->textLinkList->size() == 3);

        // Damaged chains are repaired. Null entries, a duplicate and a member claiming
        // another list, as a broken file could leave them: only a and b really belong.
        a = f.place(2, 0), b = f.place(2, 100), c = f.place(2, 200);
        QList<DrawObject*> other{c};
        c->textLinkList = &other;
        a->textLinkList = b->textLinkList = new QList<DrawObject*>{nullptr, a, c, b, a};
        f.run(CMD_OBJ_DELETE, "", {b});
        QVERIFY(!a->textLinkList && !b->textLinkList && c->textLinkList == &other);
        c->textLinkList = nullptr;
        a->textLinkList = new QList<DrawObject*>{a, nullptr}; // one member
        f.run(CMD_OBJ_TEXT_LINK_CHANGE, "true", {a, c}); // starts a sound chain
        QCOMPARE(*a->textLinkList, QList<DrawObject*>({a, c}));
        f.run(CMD_OBJ_DELETE, "", {a, c});
        f.w.undo();
        f.w.undo();
        QVERIFY(f.w.mListArea[2]->size() == 3 && !a->textLinkList);
    }
};

QTEST_MAIN(TestExecCmd)
#include "tst_execcmd.moc"
