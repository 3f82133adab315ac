// The object pages' own widgets. The shape page: choosing a kind writes its
// defaults, every widget rewrites the selection's shape data as one undoable
// command. The vertical-writing correction dialog opened from the text page:
// it loads the first selected object silently, and each spin box changes its
// own field of every selected object as one undoable command.
#include "dialogtextdetail.h"
#include "editorfixture.h"
#include "ui_dialogtextdetail.h"

class TstObjectPages : public QObject
{
    Q_OBJECT
private slots:
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

QTEST_MAIN(TstObjectPages)
#include "tst_objectpages.moc"
