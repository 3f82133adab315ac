// The shape page: choosing a kind writes its defaults, every widget rewrites
// the selection's shape data as one undoable command, stored data shows.
#include "editorfixture.h"
#include "setting.h"
#include "testsupport.h"
#include "ui_mainwindow.h"

class TstShapePage : public QObject
{
    Q_OBJECT
private:
    ScriptedSeam* seam = nullptr;
private slots:
    void init()
    {
        Setting::resetDefaults();
        seam = ScriptedSeam::install();
    }
    void choosingAKindWritesItsDefaults();
    void storedKindSelectsItsEntry();
    void pageWidgetsRewriteData();
    void colourCancelledChangesNothing();
};

void TstShapePage::choosingAKindWritesItsDefaults()
{
    Editor e;
    DrawObject* a = e.box(10, 10, 100, 100);
    DrawObject* b = e.box(200, 10, 100, 100);
    e.w.selectObject("new", a, false);
    e.w.selectObject("add", b, false);
    const int undo = e.w.mListUndo.size();
    e.w.ui->cmbShape->setCurrentText("ハート");
    const QString heart = "Shape=5;BodyColor=255,0,0,255;LineColor=0,0,0,255;LineWidth=1;MoldCut=none;";
    QCOMPARE(a->shapeData, heart);
    QCOMPARE(b->shapeData, heart);
    QCOMPARE(e.w.mListUndo.size(), undo + 1);
    QCOMPARE(e.w.ui->stkShape->currentWidget(), e.w.ui->pageShapeHeart);

    e.w.ui->cmbShape->setCurrentText("三角形");
    QCOMPARE(e.w.ui->cmbShape->currentIndex(), 4);
    QCOMPARE(a->shapeData,
             QString("Shape=6;BodyColor=255,255,0,255;LineColor=0,0,0,255;LineWidth=1;MoldCut=none;Direction=N;"));
    e.w.undo();
    QCOMPARE(a->shapeData, heart);
    e.w.undo();
    QVERIFY(a->shapeData.isEmpty() && b->shapeData.isEmpty());

    // Nothing selected: the combo changes nothing and records nothing.
    e.w.unselectObject();
    e.w.ui->cmbShape->setCurrentIndex(3);
    QVERIFY(a->shapeData.isEmpty());
    QCOMPARE(e.w.mListUndo.size(), undo);
}

void TstShapePage::storedKindSelectsItsEntry()
{
    Editor e;
    DrawObject* a = e.box(10, 10, 100, 100);
    a->shapeData = "Shape=6;BodyColor=1,2,3,255;LineColor=0,0,0,255;LineWidth=4;MoldCut=inside;Direction=W;";
    const int undo = e.w.mListUndo.size();
    e.w.selectObject("new", a, false);
    QCOMPARE(e.w.ui->cmbShape->currentIndex(), 4);
    QCOMPARE(e.w.ui->stkShape->currentWidget(), e.w.ui->pageShapeTriangle);
    QCOMPARE(e.w.ui->spnShapeTriangleLineWidth->value(), 4);
    QVERIFY(e.w.ui->chkShapeTriangleMoldCut->isChecked());
    QVERIFY(e.w.ui->radShapeTriangleDirection_W->isChecked());
    QCOMPARE(e.w.mListUndo.size(), undo); // showing is silent
}

void TstShapePage::pageWidgetsRewriteData()
{
    Editor e;
    DrawObject* a = e.box(10, 10, 100, 100);
    e.w.selectObject("new", a, false);
    e.w.ui->tabwgtObject->setCurrentWidget(e.w.ui->tabShape);
    e.w.ui->cmbShape->setCurrentText("ふきだし");
    const int undo = e.w.mListUndo.size();
    e.w.ui->spnShapeHukidasiHeight->setValue(-30);
    QTest::mouseClick(e.w.ui->radShapeHukidasiDirection_E, Qt::LeftButton);
    QTest::mouseClick(e.w.ui->chkShapeHukidasiMoldCut, Qt::LeftButton);
    seam->colorAnswers << QColor(10, 20, 30, 40);
    QTest::mouseClick(e.w.ui->btnShapeHukidasiColor, Qt::LeftButton);
    QCOMPARE(a->shapeData, QString("Shape=8;BodyColor=10,20,30,40;LineColor=0,0,0,255;LineWidth=1;MoldCut=inside;"
                                   "Radius=0;Direction=E;SippoP=50;SippoW=20;SippoH=-30;"));
    QCOMPARE(e.w.mListUndo.size(), undo + 4);

    e.w.ui->cmbShape->setCurrentText("水平線");
    e.w.ui->spnShapeLineCount->setValue(3);
    e.w.ui->cmbShapeLineStyle->setCurrentIndex(2);
    QCOMPARE(a->shapeData, QString("Shape=1;LineColor=0,0,0,255;LineStyle=2;LineWidth=1;LineCount=3;"));
    e.w.ui->cmbShape->setCurrentText("円");
    QTest::mouseClick(e.w.ui->chkShapeCircleIsEllipse, Qt::LeftButton, Qt::NoModifier, {6, 10}); // on the box
    QVERIFY(a->shapeData.contains("IsEllipse=true;"));
}

void TstShapePage::colourCancelledChangesNothing()
{
    Editor e;
    DrawObject* a = e.box(10, 10, 100, 100);
    e.w.selectObject("new", a, false);
    e.w.ui->tabwgtObject->setCurrentWidget(e.w.ui->tabShape);
    e.w.ui->cmbShape->setCurrentText("星");
    const QString before = a->shapeData;
    const int undo = e.w.mListUndo.size();
    QTest::mouseClick(e.w.ui->btnShapeStarLineColor, Qt::LeftButton); // the seam answers cancel
    QCOMPARE(a->shapeData, before);
    QCOMPARE(e.w.mListUndo.size(), undo);
}

QTEST_MAIN(TstShapePage)
#include "tst_shapepage.moc"
