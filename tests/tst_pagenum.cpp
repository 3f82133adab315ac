// Page numbers placed by the header button: the boxes, their pages, one undo.
#include "editorfixture.h"
#include "setting.h"
#include "testsupport.h"
#include "ui_mainwindow.h"

class TstPageNum : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        Setting::resetDefaults();
        ScriptedSeam::install();
    }
    void defaultBookletInOneStep();
    void otherFormations();
};

static QStringList placed(MainWindow& w)
{
    QStringList out;
    for (int a = 0; a < 4; ++a)
        for (DrawObject* o : *w.getAreaObjects(a))
            out << QString("%1@%2:%3,%4").arg(o->text).arg(a).arg(o->x).arg(o->y);
    return out;
}

void TstPageNum::defaultBookletInOneStep()
{
    Editor e;
    e.box(5, 5, 10, 10, 2)->text = "keep"; // numbers go on top of what is there
    const int undo = e.w.mListUndo.size();
    QTest::mouseClick(e.w.ui->btnPageNum, Qt::LeftButton);
    QCOMPARE(placed(e.w), QStringList({"- 8 -@0:105,358", "- 1 -@0:385,358", "- 2 -@1:105,358", "- 3 -@1:385,358",
                                       "keep@2:5,5", "- 4 -@2:105,358", "- 5 -@2:385,358", "- 6 -@3:105,358",
                                       "- 7 -@3:385,358"}));
    QCOMPARE(e.w.mListSelected.size(), 8);
    for (DrawObject* o : e.w.mListSelected) {
        QCOMPARE(QSize(o->w, o->h), QSize(70, 20));
        QCOMPARE(o->textSize, 10);
        QCOMPARE(o->textAlign, 132);
        QCOMPARE(o->textMargin, 0);
        QVERIFY(!o->bgColorEnabled);
    }
    QCOMPARE(e.w.mListUndo.size(), undo + 1);
    e.w.on_btnPageNum_clicked();
    QCOMPARE(placed(e.w).size(), 17);
    e.w.undo();
    e.w.undo();
    QCOMPARE(placed(e.w), QStringList({"keep@2:5,5"}));
}

void TstPageNum::otherFormations()
{
    {
        Setting::PageDirection = "right";
        Editor e;
        e.w.on_btnPageNum_clicked();
        QCOMPARE(placed(e.w).mid(0, 2), QStringList({"- 8 -@0:385,358", "- 1 -@0:105,358"}));
    }
    {
        Setting::resetDefaults();
        Setting::PaperMargin = 10;
        Editor e;
        e.w.on_btnPageNum_clicked();
        QCOMPARE(e.w.getAreaObjects(0)->first()->y, 339);
    }
    {
        Setting::resetDefaults();
        Setting::PageMax = 1;
        Setting::PaperMargin = 0;
        Editor e;
        e.w.setPageFormation("A4", 1, "portrait", "left");
        e.w.on_btnPageNum_clicked();
        QCOMPARE(placed(e.w), QStringList({"- 1 -@0:362,1102"}));
    }
}

QTEST_MAIN(TstPageNum)
#include "tst_pagenum.moc"
