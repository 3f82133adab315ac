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
        Editor f;
        DrawObject* a = f.place(0, 0);
        DrawObject* other = f.place(0, 300);
        f.select({a});
        f.ui->btnBorderColor->click(); // cancelled: nothing sent
        f.seam->colorAnswers << QColor(9, 8, 7, 6);
        f.ui->btnBorderColor->click();
        QVERIFY(f.w.mListUndo.size() == 1 && a->borderColor == QColor(9, 8, 7, 6));
        f.w.undo(); // the button follows the restored colour
        QCOMPARE(f.w.getColorButtonColor(f.ui->btnBorderColor), QColor(0, 0, 0, 255));

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
    }

    void refillsTextAndLinkWidgets()
    {
        Editor f;
        DrawObject* a = f.place(1, 0);
        DrawObject* b = f.place(1, 0);
        DrawObject* c = f.place(1, 200);
        f.ui->tabwgtMain->setCurrentIndex(1);
        a->bgColorEnabled = true;
        f.select({a});
        f.ui->chkBgColor->click(); // ticking sends "false"
        QVERIFY(!a->bgColorEnabled);
        f.w.undo(); // flips the box back without a command of its own
        QVERIFY(a->bgColorEnabled && !f.ui->chkBgColor->isChecked() && f.w.mListUndo.isEmpty());
        f.ui->chkRuledLine_Bottom->click(); // unticking sends -8
        QCOMPARE(a->ruledline, 1 | 2 | 4);
        f.ui->spnZ->setValue(1);
        QCOMPARE(*f.w.mListArea[1], QList<DrawObject*>({b, a, c}));

        // The refill shows the first of a rubber band's selection, sending nothing.
        a->x = 11;
        f.w.mListSelected = {a, f.place(1, 99)};
        f.w.selectObject("new", nullptr, false);
        QVERIFY(f.ui->spnX->value() == 11 && f.ui->spnZ->value() == 1 && f.w.mListUndo.size() == 2);
        a->textFont = "NoSuchFamily";
        f.select({a});
        QCOMPARE(f.ui->cmbTextFont->currentIndex(), -1);

        // The text field and the link widgets.
        f.select({b, c});
        f.ui->txtText->setPlainText("abc");
        f.ui->txtText->setPlainText("abc"); // unchanged: no command
        f.ui->txtText->setPlainText(QString("x") + QChar(7) + "y"); // the value separator cannot get in
        QVERIFY(b->text == "xy" && c->text == "xy" && f.w.mListUndo.size() == 4);

        f.run(CMD_OBJ_TEXT_LINK_CHANGE, "true", {a, b});
        f.select({a});
        QVERIFY(!f.ui->btnTextLinkOnOff->isHidden() && f.ui->chkTextLinkShareConf->isChecked());
        f.w.selectObject("add", c, false); // Ctrl-click: two objects, one linked
        QVERIFY(!f.ui->txtText->isEnabled());
        f.w.mListSelected = {c, a}; // rubber band: the refill sees only the first
        f.w.selectObject("new", nullptr, false);
        QVERIFY(f.ui->txtText->isEnabled() && f.ui->btnTextLinkOnOff->isHidden());
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
        e.w.undo();
        QCOMPARE(a->shapeData + b->shapeData, heart + heart);
        // Stored data shows silently: Shape=6 is combo entry 4.
        b->shapeData = "Shape=6;BodyColor=1,2,3,255;LineColor=0,0,0,255;LineWidth=4;MoldCut=inside;Direction=W;";
        e.select({b});
        QVERIFY(e.ui->cmbShape->currentIndex() == 4 && e.ui->radShapeTriangleDirection_W->isChecked());
        QCOMPARE(e.w.mListUndo.size(), 1);

        // The correction dialog, on the same two boxes.
        e.select({a, b});
        e.ui->tabwgtObject->setCurrentWidget(e.ui->tabText);
        e.ui->cmbTextDirection->setCurrentIndex(1);

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
        e.w.undo();
        QCOMPARE(QList<int>({a->textTateRevPuncY, b->textTateRevPuncY}), QList<int>({-5, 0}));
    }
};

QTEST_MAIN(TestPanel)
#include "tst_panel.moc"
