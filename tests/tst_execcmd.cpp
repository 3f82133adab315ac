#include "editing_fixture.h"
#include "ui_mainwindow.h" // named here so the test target generates it
#include "setting.h"

#include <QDir>
#include <QLoggingCategory>
#include <QtTest>

class TestExecCmd : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // The executor's diagnostics would swamp the log.
        QLoggingCategory::setFilterRules("default.debug=false");
    }

    void commandsWithoutTargetsDoNothing()
    {
        EditingFixture f;
        DrawObject* a = f.place(0, 10);
        Command* cmd = f.w->createCmd(nullptr); // nothing selected
        QCOMPARE(cmd->countObjects(), 0);
        cmd->type = CMD_OBJ_X_CHANGE;
        cmd->value = "77";
        f.w->execCmd(cmd, true, 0);
        QCOMPARE(a->x, 10);
        QVERIFY(f.w->mListUndo.isEmpty());
        f.ui->spnX->setValue(55); // a panel change with nothing selected
        QCOMPARE(a->x, 10);
        QVERIFY(f.w->mListUndo.isEmpty());
    }

    void selectionListAndFlagsAgree()
    {
        EditingFixture f;
        DrawObject* a = f.place(0, 10);
        DrawObject* b = f.place(0, 20);
        DrawObject* c = f.place(0, 30);
        f.select({a, b});
        f.w->selectObject("add", b, false); // no duplicate
        QCOMPARE(f.w->mListSelected, QList<DrawObject*>({a, b}));
        QVERIFY(a->selected && b->selected && !c->selected);
        QVERIFY(f.ui->wgtObj->isEnabled());

        f.w->selectObject("new", c, false);
        QCOMPARE(f.w->mListSelected, QList<DrawObject*>({c}));
        QVERIFY(!a->selected && !b->selected && c->selected);

        f.w->mPointerMode = POINTER_MOVE;
        f.w->mLastX = f.w->mPressY = 7;
        f.w->mNewUndoStep = false;
        f.ui->btnTextLinkOnOff->show();
        f.w->unselectObject();
        QVERIFY(f.w->mListSelected.isEmpty() && !c->selected);
        QVERIFY(!f.ui->wgtObj->isEnabled());
        QVERIFY(f.ui->txtText->toPlainText().isEmpty());
        QVERIFY(f.ui->btnTextLinkOnOff->isHidden() && f.ui->chkTextLinkShareConf->isHidden());
        QCOMPARE(f.w->mPointerMode, int(POINTER_IDLE));
        QCOMPARE(f.w->mLastX + f.w->mPressY, 0);
        QVERIFY(f.w->mNewUndoStep);
        QVERIFY(f.w->mListUndo.isEmpty()); // selection is never recorded
    }

    void createPlacesAndSelects()
    {
        EditingFixture f;
        DrawObject* a = f.place(1, 0);
        DrawObject* b = f.place(1, 0);
        auto* top = new DrawObject(0, 0, 10, 10);
        auto* bottom = new DrawObject(0, 0, 10, 10);
        f.run(CMD_OBJ_CREATE, "1,-1", {top});
        f.run(CMD_OBJ_CREATE, "1,0", {bottom});
        QCOMPARE(*f.w->mListArea[1], QList<DrawObject*>({bottom, a, b, top}));
        QCOMPARE(f.w->mListSelected, QList<DrawObject*>({bottom}));
        QVERIFY(bottom->selected && !top->selected);
        QCOMPARE(f.ui->spnZ->value(), 0);

        // A bad area number never loses the object: it lands on the current page.
        auto* stray = new DrawObject(0, 0, 10, 10);
        f.run(CMD_OBJ_CREATE, "9,0", {stray});
        QCOMPARE(f.w->getObjectArea(stray), f.w->getCurrentArea());
    }

    void zChangeMovesWithinItsArea()
    {
        EditingFixture f;
        QList<DrawObject*> objs;
        for (int i = 0; i < 4; ++i)
            objs << f.place(0, i);
        DrawObject* elsewhere = f.place(2, 0);
        f.run(CMD_OBJ_Z_CHANGE, "0,99", {objs[0]});
        QCOMPARE(f.w->getObjectZ(objs[0]), 3);
        f.run(CMD_OBJ_Z_CHANGE, "0,1", {objs[0]});
        QCOMPARE(*f.w->mListArea[0], QList<DrawObject*>({objs[1], objs[0], objs[2], objs[3]}));
        f.run(CMD_OBJ_Z_CHANGE, "0,-5", {objs[1]});
        QCOMPARE(f.w->getObjectZ(objs[1]), 3);
        f.run(CMD_OBJ_Z_CHANGE, "0,0", {elsewhere}); // not in that list: stays
        QCOMPARE(f.w->getObjectArea(elsewhere), 2);
        QCOMPARE(f.w->getObjectZ(elsewhere), 0);
        DrawObject outside(0, 0, 1, 1);
        QCOMPARE(f.w->getObjectZ(&outside), -1);
    }

    void deleteEmptiesSelectionAndPanel()
    {
        EditingFixture f;
        DrawObject* a = f.place(0, 10);
        DrawObject* b = f.place(0, 20);
        f.select({a, b});
        QVERIFY(!f.ui->txtText->toPlainText().isEmpty());
        f.run(CMD_OBJ_DELETE, "", f.w->mListSelected);
        QVERIFY(f.w->mListArea[0]->isEmpty());
        QVERIFY(f.w->mListSelected.isEmpty() && !a->selected && !b->selected);
        QVERIFY(!f.ui->wgtObj->isEnabled());
        QVERIFY(f.ui->txtText->toPlainText().isEmpty());
        QCOMPARE(f.w->mListUndo.size(), 1);
        QCOMPARE(f.w->mListUndo.first()->type, int(CMD_OBJ_CREATE)); // owns a and b now
    }

    void valuesAreDistributedAndParsed()
    {
        EditingFixture f;
        DrawObject* a = f.place(0, 1);
        DrawObject* b = f.place(0, 2);
        DrawObject* c = f.place(0, 3);
        f.run(CMD_OBJ_W_CHANGE, "5", {a, b, c});
        QVERIFY(a->w == 5 && b->w == 5 && c->w == 5);
        f.run(CMD_OBJ_X_CHANGE, EditingFixture::perObject({"1", "2"}), {a, b, c});
        QCOMPARE(QList<int>({a->x, b->x, c->x}), QList<int>({1, 2, 1}));
        a->textItalic = true;
        f.run(CMD_OBJ_TEXT_ITALIC_CHANGE, "True", {a});
        QVERIFY(!a->textItalic);
        f.run(CMD_OBJ_Y_CHANGE, "junk", {a});
        QCOMPARE(a->y, 0);
        f.run(CMD_OBJ_RECT_MOVE, "1,2,3,4", {a});
        QCOMPARE(QRect(a->x, a->y, a->w, a->h), QRect(2, 2, 8, 54));
        f.run(8, "12", {a}); // unassigned: no effect, nothing recorded
        QCOMPARE(a->x, 2);
    }

    void imagePathShownNatively()
    {
        EditingFixture f;
        DrawObject* a = f.place(0, 0);
        f.select({a});
        const QString path = QDir::tempPath() + "/zamfu-missing/pic.png";
        f.run(CMD_OBJ_IMG_PATH_CHANGE, path, {a});
        QCOMPARE(a->imgPath, path);
        QVERIFY(!a->img); // a missing file loads nothing and breaks nothing
        QCOMPARE(f.ui->txtImgPath->text(), QDir::toNativeSeparators(path));
        QCOMPARE(Setting::ImageDir, QDir::tempPath() + "/zamfu-missing");
    }

    void linkingBuildsChainsAndSharesSettings()
    {
        EditingFixture f;
        DrawObject* a = f.place(0, 0);
        DrawObject* b = f.place(1, 0);
        DrawObject* c = f.place(0, 200);
        a->textSize = 20;
        a->textFont = "Serif";
        a->textColor = QColor(1, 2, 3);
        f.run(CMD_OBJ_X_CHANGE, "5", {c}); // an undo step that linking must keep
        f.w->undo();
        QCOMPARE(f.w->mListRedo.size(), 1);
        f.select({a});
        f.w->TextLinkInsertObj(b);
        QVERIFY(a->textLinkList && a->textLinkList == b->textLinkList);
        QCOMPARE(*a->textLinkList, QList<DrawObject*>({a, b}));
        QCOMPARE(b->textSize, 20);
        QCOMPARE(b->textFont, QString("Serif"));
        QCOMPARE(b->textColor, QColor(1, 2, 3));
        QVERIFY(!f.ui->btnTextLinkOnOff->isHidden() && !f.ui->chkTextLinkShareConf->isHidden());
        QVERIFY(f.w->mListUndo.isEmpty());
        QCOMPARE(f.w->mListRedo.size(), 1); // links record nothing and clear nothing

        f.w->TextLinkInsertObj(c);
        QCOMPARE(*a->textLinkList, QList<DrawObject*>({a, c, b}));

        // A link command without its second box does nothing.
        DrawObject* d = f.place(0, 300);
        f.run(CMD_OBJ_TEXT_LINK_CHANGE, "true", {d});
        QVERIFY(!d->textLinkList);
        f.run(CMD_OBJ_TEXT_LINK_CHANGE, "true", {d, b}); // b is already linked
        QVERIFY(!d->textLinkList);
        QCOMPARE(a->textLinkList->size(), 3);
    }

    void shareConfReachesSharingMembersOnly()
    {
        EditingFixture f;
        DrawObject* a = f.place(0, 0);
        DrawObject* b = f.place(0, 100);
        DrawObject* c = f.place(0, 200);
        f.select({a});
        f.w->TextLinkInsertObj(b);
        f.select({b});
        f.w->TextLinkInsertObj(c);
        f.run(CMD_OBJ_TEXT_LINK_SHARE_CONF_CHANGE, "false", {c});
        QVERIFY(!c->textLinkShareConf);
        f.select({a});
        f.ui->spnTextSize->setValue(30);
        QCOMPARE(QList<int>({a->textSize, b->textSize, c->textSize}), QList<int>({30, 30, 12}));
        f.run(CMD_OBJ_BG_RADIUS_CHANGE, "9", {a}); // not a text setting: a alone
        QCOMPARE(QList<int>({a->bgRadius, b->bgRadius}), QList<int>({9, 0}));
        f.run(CMD_OBJ_TEXT_SIZE_CHANGE, "8", {c}); // c does not pass its changes on
        QCOMPARE(QList<int>({a->textSize, b->textSize, c->textSize}), QList<int>({30, 30, 8}));
        // Sharing again takes over the first sharing member's settings.
        f.run(CMD_OBJ_TEXT_LINK_SHARE_CONF_CHANGE, "true", {c});
        QCOMPARE(c->textSize, 30);
        QVERIFY(f.w->mListUndo.size() == 3); // 18 twice and 41; 37 records nothing
    }

    void unlinkHandsTextOnAndDeleteUnlinks()
    {
        EditingFixture f;
        DrawObject* a = f.place(0, 0);
        DrawObject* b = f.place(0, 100);
        DrawObject* c = f.place(0, 200);
        f.select({a});
        f.w->TextLinkInsertObj(b);
        f.select({b});
        f.w->TextLinkInsertObj(c);
        a->text = "A";
        b->text = "B";
        c->text = "C";
        f.w->TextLinkRemoveObj(b);
        QCOMPARE(a->text + c->text, QString("ABC")); // b's share now follows a's; the chain reflowed
        QVERIFY(b->text.isEmpty() && !b->textLinkList);
        QCOMPARE(*a->textLinkList, QList<DrawObject*>({a, c}));
        QVERIFY(f.ui->btnTextLinkOnOff->isHidden());

        // Deleting a linked box unlinks it first; nothing keeps pointing at it.
        f.select({c});
        f.run(CMD_OBJ_DELETE, "", {c});
        QVERIFY(!a->textLinkList && !c->textLinkList);
        QVERIFY(f.w->mListSelected.isEmpty());
        f.w->undo();
        QCOMPARE(f.w->getObjectZ(c), 2);
        QVERIFY(!c->textLinkList); // comes back unlinked
    }

    void damagedChainUnlinksSafely()
    {
        EditingFixture f;
        DrawObject* a = f.place(0, 0);
        DrawObject* b = f.place(0, 100);
        a->textLinkList = new QList<DrawObject*>{a, nullptr}; // as a broken file could leave it
        QList<DrawObject*> strayList{nullptr};
        b->textLinkList = &strayList; // b is not even in its list
        f.select({a, b});
        f.run(CMD_OBJ_DELETE, "", {a, b});
        QVERIFY(!a->textLinkList && !b->textLinkList);
        QVERIFY(f.w->mListArea[0]->isEmpty());
        f.w->undo();
        QCOMPARE(f.w->mListArea[0]->size(), 2);
    }

    void ruledLineBitsAndBoxes()
    {
        EditingFixture f;
        DrawObject* a = f.place(0, 0);
        a->ruledline = 1 | 8;
        f.select({a});
        QVERIFY(f.ui->chkRuledLine_Bottom->isChecked());
        f.run(CMD_OBJ_RULEDLINE_CHANGE, "-8", {a});
        QCOMPARE(a->ruledline, 1);
        QVERIFY(!f.ui->chkRuledLine_Bottom->isChecked());
        f.run(CMD_OBJ_RULEDLINE_CHANGE, "32", {a});
        QCOMPARE(a->ruledline, 33);
        QVERIFY(f.ui->chkRuledLine_BackSlash->isChecked());
        f.run(CMD_OBJ_RULEDLINE_CHANGE, "0", {a});
        QCOMPARE(a->ruledline, 33);
        QCOMPARE(f.w->mListUndo.size(), 3); // no check box answered with a command of its own
    }
};

QTEST_MAIN(TestExecCmd)
#include "tst_execcmd.moc"
