#include "editing_fixture.h"
#include "ui_mainwindow.h" // named here so the test target generates it

#include <QLoggingCategory>
#include <QtTest>

class TestPanel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QLoggingCategory::setFilterRules("default.debug=false");
    }

    void styleValuesAndColorButtons()
    {
        QCOMPARE(MainWindow::getStyleValue("a:rgba(1,2,3,4);b", "rgba(", ")"), QString("1,2,3,4"));
        QCOMPARE(MainWindow::getStyleValue("a:rgba(1,2", "rgba(", ")"), QString("1,2"));
        QCOMPARE(MainWindow::getStyleValue("a:RGBA(1)", "rgba(", ")"), QString());

        EditingFixture f;
        f.w->setColorButtonColor(f.ui->btnBgColor, "10,20,30,40");
        QCOMPARE(f.ui->btnBgColor->styleSheet(),
                 QString("background-color:rgba(10,20,30,40);\nborder-radius:0px;\nborder:1px solid #6666cc;"));
        QCOMPARE(f.w->getColorButtonColor(f.ui->btnBgColor), QColor(10, 20, 30, 40));
        f.w->setColorButtonColor(f.ui->btnBgColor, "junk"); // never crashes: components 0
        QCOMPARE(f.w->getColorButtonColor(f.ui->btnBgColor), QColor(0, 0, 0, 0));
    }

    void colorDialogSendsOnlyAChosenColor()
    {
        EditingFixture f;
        DrawObject* a = f.place(0, 0);
        f.select({a});
        f.ui->btnBorderColor->click(); // cancelled
        QVERIFY(f.w->mListUndo.isEmpty());
        f.seam->colorAnswers << QColor(9, 8, 7, 6);
        f.ui->btnBorderColor->click();
        QCOMPARE(a->borderColor, QColor(9, 8, 7, 6));
        QCOMPARE(f.w->getColorButtonColor(f.ui->btnBorderColor), QColor(9, 8, 7, 6));
        QVERIFY(f.seam->log.last().startsWith("color|Color|"));
        f.w->undo();
        QCOMPARE(f.w->getColorButtonColor(f.ui->btnBorderColor), QColor(0, 0, 0, 255));
    }

    void silentValues()
    {
        EditingFixture f;
        DrawObject* a = f.place(0, 42);
        f.select({a});
        f.w->setValueSilent(f.ui->spnX, QVariant());
        QVERIFY(f.ui->spnX->text().isEmpty());
        QCOMPARE(f.ui->spnX->value(), 42);
        f.w->setValueSilent(f.ui->spnX, 7);
        f.w->setValueSilent(f.ui->chkBgColor, false);
        f.w->setValueSilent(f.ui->cmbBorderStyle, 3);
        QCOMPARE(f.ui->cmbBorderStyle->currentIndex(), 3);
        QCOMPARE(a->x, 42);
        QVERIFY(f.w->mListUndo.isEmpty());
    }

    void refillShowsTheFirstObject()
    {
        EditingFixture f;
        f.place(2, 0);
        DrawObject* a = f.place(2, 11, 22, 33, 44);
        DrawObject* b = f.place(2, 99);
        a->r = -30;
        a->text = "本文";
        a->textFont = "osaka";
        a->textTategaki = true;
        a->textAlign = 130;
        a->textWeight = 75;
        a->bgColorEnabled = true;
        a->ruledline = 2 | 32;
        a->shapeData = "Shape=6;BodyColor=1,2,3,4;LineColor=0,0,0,255;LineWidth=3;MoldCut=inside;Direction=W;";
        f.w->mListSelected = {a, b}; // as a rubber band leaves it
        f.w->selectObject("new", nullptr, false);
        QCOMPARE(QList<int>({f.ui->spnX->value(), f.ui->spnY->value(), f.ui->spnZ->value(), f.ui->spnR->value(),
                             f.ui->spnW->value(), f.ui->spnH->value()}),
                 QList<int>({11, 22, 1, -30, 33, 44}));
        QCOMPARE(f.ui->txtText->toPlainText(), QString("本文"));
        QCOMPARE(f.ui->cmbTextFont->currentText(), QString("Osaka"));
        QCOMPARE(f.ui->cmbTextDirection->currentIndex(), 1);
        QVERIFY(!f.ui->btnTextDetail->isHidden());
        QVERIFY(f.ui->radTextAlignMR->isChecked());
        QVERIFY(f.ui->chkTextBold->isChecked());
        QVERIFY(!f.ui->chkBgColor->isChecked());
        QVERIFY(f.ui->chkRuledLine_Left->isChecked() && f.ui->chkRuledLine_BackSlash->isChecked());
        QVERIFY(!f.ui->chkRuledLine_Top->isChecked());
        QCOMPARE(f.ui->cmbShape->currentIndex(), 4);
        QCOMPARE(f.ui->stkShape->currentWidget(), f.ui->pageShapeTriangle);
        QVERIFY(f.ui->radShapeTriangleDirection_W->isChecked() && f.ui->chkShapeTriangleMoldCut->isChecked());
        QCOMPARE(f.ui->spnShapeTriangleLineWidth->value(), 3);
        QCOMPARE(f.w->getShapeData(false), a->shapeData); // the page reads back what it shows
        QVERIFY(f.w->mListUndo.isEmpty()); // filling the panel sent nothing

        a->textFont = "NoSuchFamily";
        a->textAlign = 0;
        f.select({a});
        QCOMPARE(f.ui->cmbTextFont->currentIndex(), -1);
        for (QRadioButton* r : f.ui->grpTextAlign->findChildren<QRadioButton*>())
            QVERIFY(!r->isChecked());
    }

    void linkWidgetsAndTextField()
    {
        EditingFixture f;
        DrawObject* a = f.place(0, 0);
        DrawObject* b = f.place(0, 100);
        DrawObject* c = f.place(0, 200);
        f.select({a});
        f.w->TextLinkInsertObj(b);
        f.select({a});
        QVERIFY(!f.ui->btnTextLinkOnOff->isHidden() && !f.ui->chkTextLinkShareConf->isHidden());
        QVERIFY(f.ui->chkTextLinkShareConf->isChecked());
        f.select({c});
        QVERIFY(f.ui->btnTextLinkOnOff->isHidden());
        // Ctrl-click style: the linked box joins the selection.
        f.w->selectObject("add", a, false);
        QVERIFY(!f.ui->txtText->isEnabled());
        // Rubber band style: the refill sees only the first object.
        f.w->mListSelected = {c, a};
        f.w->selectObject("new", nullptr, false);
        QVERIFY(f.ui->txtText->isEnabled());
        QVERIFY(f.ui->btnTextLinkOnOff->isHidden());
    }

    void textFieldEditsAreCommands()
    {
        EditingFixture f;
        DrawObject* a = f.place(0, 0);
        DrawObject* b = f.place(0, 0);
        f.select({a, b});
        f.ui->txtText->setPlainText("abc");
        QCOMPARE(a->text, QString("abc"));
        QCOMPARE(b->text, QString("abc"));
        QCOMPARE(f.w->mListUndo.size(), 1);
        f.ui->txtText->setPlainText("abc"); // unchanged: no command
        QCOMPARE(f.w->mListUndo.size(), 1);
        f.ui->txtText->setPlainText(QString("x") + QChar(7) + "y"); // the record separator cannot get in
        QCOMPARE(a->text, QString("xy"));
        f.w->undo();
        QCOMPARE(a->text, QString("abc"));
        QCOMPARE(f.ui->txtText->toPlainText(), QString("abc"));
    }

    void widgetsSendTheirValues()
    {
        EditingFixture f;
        DrawObject* a = f.place(1, 0);
        DrawObject* b = f.place(1, 0);
        f.ui->tabwgtMain->setCurrentIndex(1);
        a->textSize = 12;
        a->bgColorEnabled = true;
        f.select({a});
        f.ui->spnTextSize->stepUp();
        f.ui->spnTextSize->stepUp();
        QCOMPARE(a->textSize, 14);
        QCOMPARE(f.w->mListUndo.size(), 2);

        f.ui->chkBgColor->setChecked(true);
        QVERIFY(!a->bgColorEnabled);
        QCOMPARE(f.w->mListUndo.last()->type, int(CMD_OBJ_BG_COLOR_ENABLED_CHANGE));
        f.ui->chkBgColor->setChecked(false);
        QVERIFY(a->bgColorEnabled);
        f.w->undo(); // flips the box back without a command of its own
        QVERIFY(!a->bgColorEnabled && f.ui->chkBgColor->isChecked());
        QCOMPARE(f.w->mListUndo.size(), 3);

        f.ui->spnZ->setValue(1);
        QCOMPARE(*f.w->mListArea[1], QList<DrawObject*>({b, a}));
        f.ui->radTextAlignBC->click();
        QCOMPARE(a->textAlign, 68);
        f.ui->chkTextItalic->click();
        QVERIFY(a->textItalic);
        f.ui->cmbTextDirection->setCurrentIndex(1);
        QVERIFY(a->textTategaki && !f.ui->btnTextDetail->isHidden());
        f.ui->cmbRuledLineStyle->setCurrentIndex(2);
        QCOMPARE(a->ruledlineStyle, 2);
        f.ui->chkRuledLine_Bottom->setChecked(false);
        QCOMPARE(f.w->mListUndo.last()->type, int(CMD_OBJ_RULEDLINE_CHANGE));
        QCOMPARE(a->ruledline & 8, 0);
    }

    void fontListAndLayout()
    {
        EditingFixture f;
        QVERIFY(f.ui->cmbTextFont->count() > 1);
        QVERIFY(f.ui->cmbTextFont->findText("Osaka") >= 0);
        QCOMPARE(f.ui->cmbTextFont->count(), QFontDatabase().families().size() +
                                                  (QFontDatabase().families().contains("Osaka", Qt::CaseInsensitive) ? 0 : 1));
        QCOMPARE(f.ui->spnR->minimum(), -180);
        QCOMPARE(f.ui->spnTextLineSpacing->minimum(), -99);
        QCOMPARE(f.ui->spnShapeHukidasiHeight->minimum(), -9999);
        QCOMPARE(f.ui->cmbShape->count(), 9);
        QCOMPARE(f.ui->cmbBorderStyle->itemText(5), QString("鎖線2"));

        // Every page fits the side column.
        f.w->resize(1000, 760);
        f.w->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.w));
        for (int p = 0; p < f.ui->tabwgtObject->count(); ++p) {
            f.ui->tabwgtObject->setCurrentIndex(p);
            QWidget* page = f.ui->tabwgtObject->widget(p);
            QCoreApplication::processEvents();
            for (QWidget* child : page->findChildren<QWidget*>()) {
                if (!child->isVisibleTo(page) || child->parentWidget() == f.ui->stkShape)
                    continue;
                const QPoint right = child->mapTo(f.ui->wgtSide, QPoint(child->width(), 0));
                QVERIFY2(right.x() <= f.ui->wgtSide->width() + 1, qPrintable(child->objectName()));
            }
        }
        QCOMPARE(f.ui->wgtSide->width(), 256);
    }
};

QTEST_MAIN(TestPanel)
#include "tst_panel.moc"
