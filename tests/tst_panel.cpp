// The object panel: every widget round-trips through the object, colour
// buttons, refills that send nothing, the text and link widgets; the shape
// page and the vertical-writing correction dialog rewrite the selection, each
// widget as one undoable command.
#include "dialogtextdetail.h"
#include "editorfixture.h"
#include "ui_dialogtextdetail.h"

class TestPanel : public QObject
{
    Q_OBJECT

private slots:
    void colorButtonsAndEveryWidgetRoundTripThroughTheObject()
    {
        QCOMPARE(MainWindow::getStyleValue("a:rgba(1,2", "rgba(", ")"), QString("1,2"));
        Editor f;
        DrawObject* a = f.place(0, 0);
        DrawObject* other = f.place(0, 300);
        f.select({a});
        f.ui->btnBorderColor->click(); // cancelled: nothing sent
        f.seam->colorAnswers << QColor(9, 8, 7, 6);
        f.ui->btnBorderColor->click();
        QVERIFY(f.w.mListUndo.size() == 1 && a->borderColor == QColor(9, 8, 7, 6));
        QCOMPARE(f.w.getColorButtonColor(f.ui->btnBorderColor), QColor(9, 8, 7, 6));
        f.w.undo(); // the button follows the restored colour
        QCOMPARE(f.w.getColorButtonColor(f.ui->btnBorderColor), QColor(0, 0, 0, 255));
        f.w.setColorButtonColor(f.ui->btnBgColor, "junk"); // components 0
        QCOMPARE(f.w.getColorButtonColor(f.ui->btnBgColor), QColor(0, 0, 0, 0));

        // Each widget sends its command and a refill from the object shows the
        // same again: a slot with the wrong code or field breaks the round.
        auto shown = [](QWidget* w) {
            if (auto* spin = qobject_cast<QSpinBox*>(w))
                return spin->value();
            if (auto* combo = qobject_cast<QComboBox*>(w))
                return combo->currentIndex();
            return int(static_cast<QCheckBox*>(w)->isChecked());
        };
        QMap<QWidget*, int> sent;
        int k = 0;
        for (QWidget* page : {f.ui->tabBasic, f.ui->tabText, f.ui->tabBackground}) {
            for (QWidget* w : page->findChildren<QWidget*>()) {
                auto* spin = qobject_cast<QSpinBox*>(w);
                if (spin && spin != f.ui->spnZ)
                    spin->setValue(spin->minimum() + 1 + k++ % (spin->maximum() - spin->minimum()));
                else if (auto* combo = qobject_cast<QComboBox*>(w))
                    combo->setCurrentIndex(1);
                else if (auto* box = qobject_cast<QCheckBox*>(w))
                    box->click();
                else
                    continue;
                sent[w] = shown(w);
            }
        }
        f.ui->radTextAlignBC->click();
        f.select({other});
        f.select({a});
        for (auto it = sent.cbegin(); it != sent.cend(); ++it)
            QVERIFY2(shown(it.key()) == it.value(), qPrintable(it.key()->objectName()));
        QVERIFY(f.ui->radTextAlignBC->isChecked() && !f.ui->btnTextDetail->isHidden());
        QCOMPARE(a->textWeight, 75);
    }

    void panelEdgeCases()
    {
        Editor f;
        DrawObject* a = f.place(1, 0);
        DrawObject* b = f.place(1, 0);
        f.ui->tabwgtMain->setCurrentIndex(1);
        a->bgColorEnabled = true;
        f.select({a});
        f.ui->chkBgColor->click(); // ticking sends "false"
        QVERIFY(!a->bgColorEnabled);
        f.w.undo(); // flips the box back without a command of its own
        QVERIFY(a->bgColorEnabled && !f.ui->chkBgColor->isChecked() && f.w.mListUndo.isEmpty());
        f.ui->chkRuledLine_Bottom->click(); // unticking sends -8
        QCOMPARE(a->ruledline, 1 | 2 | 4);
        f.ui->spnTextSize->stepUp();
        f.ui->spnTextSize->stepUp(); // every step is one command
        QVERIFY(a->textSize == 14 && f.w.mListUndo.size() == 3);
        f.ui->spnZ->setValue(1);
        QCOMPARE(*f.w.mListArea[1], QList<DrawObject*>({b, a}));

        // The refill shows the first of a rubber band's selection, sending nothing.
        a->x = 11, a->textFont = "osaka";
        a->imgPath = "dir/pic.png";
        f.w.mListSelected = {a, f.place(1, 99)};
        f.w.selectObject("new", nullptr, false);
        QVERIFY(f.ui->spnX->value() == 11 && f.ui->spnZ->value() == 1 && f.w.mListUndo.size() == 4);
        QCOMPARE(f.ui->cmbTextFont->currentText(), QString("Osaka"));
        QCOMPARE(f.ui->txtImgPath->text(), QDir::toNativeSeparators("dir/pic.png"));
        f.w.setValueSilent(f.ui->spnX, QVariant());
        QVERIFY(f.ui->spnX->text().isEmpty() && f.ui->spnX->value() == 11);
        a->textFont = "NoSuchFamily";
        a->textAlign = 0;
        f.select({a});
        QCOMPARE(f.ui->cmbTextFont->currentIndex(), -1);
        for (QRadioButton* r : f.ui->grpTextAlign->findChildren<QRadioButton*>())
            QVERIFY(!r->isChecked());
    }

    void textFieldAndLinkWidgets()
    {
        Editor f;
        DrawObject* a = f.place(0, 0);
        DrawObject* b = f.place(0, 100);
        DrawObject* c = f.place(0, 200);
        f.select({b, c});
        f.ui->txtText->setPlainText("abc");
        f.ui->txtText->setPlainText("abc"); // unchanged: no command
        f.ui->txtText->setPlainText(QString("x") + QChar(7) + "y"); // the value separator cannot get in
        QVERIFY(b->text == "xy" && c->text == "xy" && f.w.mListUndo.size() == 2);

        f.run(CMD_OBJ_TEXT_LINK_CHANGE, "true", {a, b});
        f.select({a});
        QVERIFY(!f.ui->btnTextLinkOnOff->isHidden() && f.ui->chkTextLinkShareConf->isChecked());
        f.w.selectObject("add", c, false); // Ctrl-click: two objects, one linked
        QVERIFY(!f.ui->txtText->isEnabled());
        f.w.mListSelected = {c, a}; // rubber band: the refill sees only the first
        f.w.selectObject("new", nullptr, false);
        QVERIFY(f.ui->txtText->isEnabled() && f.ui->btnTextLinkOnOff->isHidden());

        // Every optional widget of the text page shows, and every page fits the side column.
        a->textTategaki = true;
        f.select({a});
        f.w.resize(1000, 760);
        for (int p = 0; p < f.ui->tabwgtObject->count(); ++p) {
            f.ui->tabwgtObject->setCurrentIndex(p);
            QCoreApplication::processEvents();
            QWidget* page = f.ui->tabwgtObject->widget(p);
            for (QWidget* child : page->findChildren<QWidget*>()) {
                const QPoint right = child->mapTo(f.ui->wgtSide, QPoint(child->width(), 0));
                if (child->isVisibleTo(page) && child->parentWidget() != f.ui->stkShape)
                    QVERIFY2(right.x() <= f.ui->wgtSide->width() + 1, qPrintable(child->objectName()));
            }
        }
        QCOMPARE(f.ui->wgtSide->width(), 256);
    }

    void shapePageAndCorrectionDialogRewriteTheSelection()
    {
        Editor e;
        DrawObject* a = e.box(10, 10, 100, 100);
        DrawObject* b = e.box(200, 10, 100, 100);
        e.select({a, b});
        e.ui->tabwgtObject->setCurrentWidget(e.ui->tabShape);
        e.ui->cmbShape->setCurrentText("ハート");
        const QString heart = "Shape=5;BodyColor=255,0,0,255;LineColor=0,0,0,255;LineWidth=1;MoldCut=none;";
        QCOMPARE(a->shapeData + b->shapeData, heart + heart);
        e.ui->cmbShape->setCurrentText("三角形");
        QCOMPARE(a->shapeData,
                 QString("Shape=6;BodyColor=255,255,0,255;LineColor=0,0,0,255;LineWidth=1;MoldCut=none;Direction=N;"));
        e.w.undo();
        QCOMPARE(a->shapeData + b->shapeData, heart + heart);
        // Stored data shows silently: Shape=6 is combo entry 4.
        b->shapeData = "Shape=6;BodyColor=1,2,3,255;LineColor=0,0,0,255;LineWidth=4;MoldCut=inside;Direction=W;";
        e.select({b});
        QVERIFY(e.ui->cmbShape->currentIndex() == 4 && e.ui->radShapeTriangleDirection_W->isChecked());
        QCOMPARE(e.w.mListUndo.size(), 1);

        // Each widget is one step; a cancelled colour dialog is none.
        e.ui->cmbShape->setCurrentText("ふきだし");
        QTest::mouseClick(e.ui->btnShapeHukidasiColor, Qt::LeftButton);
        e.ui->spnShapeHukidasiHeight->setValue(-30);
        QTest::mouseClick(e.ui->radShapeHukidasiDirection_E, Qt::LeftButton);
        QTest::mouseClick(e.ui->chkShapeHukidasiMoldCut, Qt::LeftButton);
        e.seam->colorAnswers << QColor(10, 20, 30, 40);
        QTest::mouseClick(e.ui->btnShapeHukidasiColor, Qt::LeftButton);
        QCOMPARE(b->shapeData, QString("Shape=8;BodyColor=10,20,30,40;LineColor=0,0,0,255;LineWidth=1;"
                                       "MoldCut=inside;Radius=0;Direction=E;SippoP=50;SippoW=20;SippoH=-30;"));
        QCOMPARE(e.w.mListUndo.size(), 6);
        e.ui->cmbShape->setCurrentText("水平線");
        e.ui->spnShapeLineCount->setValue(3);
        e.ui->cmbShapeLineStyle->setCurrentIndex(2);
        QCOMPARE(b->shapeData, QString("Shape=1;LineColor=0,0,0,255;LineStyle=2;LineWidth=1;LineCount=3;"));

        // The correction dialog, on the same two boxes.
        e.select({a, b});
        e.ui->tabwgtObject->setCurrentWidget(e.ui->tabText);
        QVERIFY(e.ui->btnTextDetail->isHidden());
        e.ui->cmbTextDirection->setCurrentIndex(1);
        QVERIFY(!e.ui->btnTextDetail->isHidden());

        auto* d = e.w.findChild<DialogTextDetail*>();
        const QList<QPair<QSpinBox*, int DrawObject::*>> rows = {
            {d->ui->spnTateRevRotateX, &DrawObject::textTateRevRotateX}, {d->ui->spnTateRevRotateY, &DrawObject::textTateRevRotateY},
            {d->ui->spnTateRevMiniX, &DrawObject::textTateRevMiniX},     {d->ui->spnTateRevMiniY, &DrawObject::textTateRevMiniY},
            {d->ui->spnTateRevPuncX, &DrawObject::textTateRevPuncX},     {d->ui->spnTateRevPuncY, &DrawObject::textTateRevPuncY}};
        for (int i = 0; i < 6; ++i)
            a->*rows[i].second = i * 50 - 255;
        const int undo = e.w.mListUndo.size();
        QTest::mouseClick(e.ui->btnTextDetail, Qt::LeftButton);
        QVERIFY(d->isModal() && e.seam->log.contains("dialog|補正|"));
        QCOMPARE(e.w.mListUndo.size(), undo); // loading the boxes sent nothing
        for (int i = 0; i < 6; ++i) {
            QCOMPARE(rows[i].first->value(), i * 50 - 255);
            rows[i].first->stepUp();
            QCOMPARE(QList<int>({a->*rows[i].second, b->*rows[i].second}), QList<int>({i * 50 - 254, i * 50 - 254}));
        }
        QCOMPARE(e.w.mListUndo.size(), undo + 6);
        e.w.undo();
        QCOMPARE(QList<int>({a->textTateRevPuncY, b->textTateRevPuncY}), QList<int>({-5, 0}));
    }
};

QTEST_MAIN(TestPanel)
#include "tst_panel.moc"
