// The window shell: start-up state, formation changes, zoom, message line, quit.
#include "drawobject.h"
#include "mainwindow.h"
#include "setting.h"
#include "testsupport.h"
#include "ui_mainwindow.h"

#include <QCloseEvent>
#include <QtTest>

class TstMainWindow : public QObject
{
    Q_OBJECT
private:
    ScriptedSeam* seam = nullptr;
    QStringList tabTexts(MainWindow& w)
    {
        QStringList t;
        for (int i = 0; i < w.ui->tabwgtMain->count(); ++i)
            t << w.ui->tabwgtMain->tabText(i);
        return t;
    }

private slots:
    void init()
    {
        Setting::resetDefaults();
        seam = ScriptedSeam::install();
    }
    void startupState();
    void formationChanges();
    void zoomTwiceRestores();
    void messageLine();
    void quitAnsweredNoKeepsWindow();
    void initEmptiesDocument();
    void helpOpensBundledPage();
};

void TstMainWindow::startupState()
{
    MainWindow w;
    QCOMPARE(w.windowTitle(), QString("Zamfu ver0.7.1"));
    QCOMPARE(tabTexts(w), QStringList({"8-1", "2-3", "4-5", "6-7"}));
    QCOMPARE(w.ui->lblMsg->text(), QString("本折り/左開き(横書用)"));
    QCOMPARE(_EDITAREA_W_PX, 560);
    QCOMPARE(_EDITAREA_H_PX, 397);
    QCOMPARE(w.ui->tab0->size(), QSize(560, 397));
    QCOMPARE(w.mListArea.size(), 4);
    for (auto* l : w.mListArea)
        QVERIFY(l->isEmpty());
    QVERIFY(!w.ui->wgtObj->isEnabled());
    QCOMPARE(w.ui->lblZoom->text(), QString("x1"));
    QCOMPARE(w.getCurrentArea(), 0);
    QCOMPARE(w.getAreaObjects(-1), w.mListArea.at(0));
    QVERIFY(w.acceptDrops());
    QVERIFY(!w.ui->btnNew->toolTip().isEmpty());
}

void TstMainWindow::formationChanges()
{
    MainWindow w;
    auto* keep = new DrawObject(10, 10, 50, 50);
    w.mListArea.at(3)->append(keep);
    QCOMPARE(w.getObjectArea(keep), 3);
    DrawObject stray(0, 0, 1, 1);
    QCOMPARE(w.getObjectArea(&stray), 4);

    Setting::PageMax = 4;
    Setting::PageDirection = "right";
    w.setPageFormation("A4", 4, "portrait", "right");
    QCOMPARE(tabTexts(w), QStringList({"1-4", "3-2"}));
    QCOMPARE(w.ui->tabwgtMain->layoutDirection(), Qt::RightToLeft);
    QCOMPARE(_EDITAREA_W_PX, 794);
    QCOMPARE(_EDITAREA_H_PX, 561);
    QCOMPARE(w.ui->lblMsg->text(), QString("本折り/右開き(縦書用)"));
    QCOMPARE(w.mListArea.at(3)->size(), 1); // hidden areas keep their objects

    Setting::PageMax = 1;
    Setting::PageOrientation = "landscape";
    Setting::PaperSize = "A3";
    w.setPageFormation("A3", 1, "landscape", "right");
    QCOMPARE(tabTexts(w), QStringList({" 1 "}));
    QCOMPARE(w.ui->tabwgtMain->layoutDirection(), Qt::LeftToRight);
    QCOMPARE(QSize(_EDITAREA_W_PX, _EDITAREA_H_PX), QSize(1587, 1122));
    QVERIFY(!w.ui->lblHCenter->isHidden());
    QVERIFY(w.ui->lblVCenter->isHidden());

    Setting::PageOrientation = "portrait";
    Setting::PaperSize = "A4";
    w.setPageFormation("A4", 1, "portrait", "left");
    QVERIFY(w.ui->lblHCenter->isHidden());
    QVERIFY(!w.ui->lblVCenter->isHidden());

    Setting::PageMax = 8;
    Setting::PageForm = "slim";
    Setting::PageDirection = "kannon-left";
    w.setPageFormation("A4", 8, "portrait", "kannon-left");
    QCOMPARE(QSize(_EDITAREA_W_PX, _EDITAREA_H_PX), QSize(397, 560));
    QCOMPARE(tabTexts(w).size(), 4);
    QCOMPARE(w.mListArea.at(3)->first(), keep);
    QCOMPARE(w.ui->lblMsg->text(), QString("観音折り/左開き(横書用)"));

    // An unknown paper keeps the previous size.
    w.setEditAreaSize("??", 8, "portrait");
    QCOMPARE(QSize(_EDITAREA_W_PX, _EDITAREA_H_PX), QSize(397, 560));
}

void TstMainWindow::zoomTwiceRestores()
{
    MainWindow w;
    w.ui->tabwgtMain->setCurrentIndex(2);
    const QSize before = w.ui->tab0->size();
    w.on_btnZoom_clicked();
    QCOMPARE(w.mZoom, 2.0);
    QCOMPARE(w.ui->lblZoom->text(), QString("x2"));
    QCOMPARE(w.ui->tab0->size(), QSize(1120, 794));
    QCOMPARE(_EDITAREA_W_PX, 560);
    QCOMPARE(w.getCurrentArea(), 2);
    w.on_btnZoom_clicked();
    QCOMPARE(w.ui->lblZoom->text(), QString("x1"));
    QCOMPARE(w.ui->tab0->size(), before);
    QCOMPARE(w.getCurrentArea(), 2);
}

void TstMainWindow::messageLine()
{
    MainWindow w;
    w.displayMessage("｛連結先のオブジェクトを選択｝", "#fff", "#f63");
    QCOMPARE(w.ui->lblMsg->text(), QString("｛連結先のオブジェクトを選択｝"));
    QVERIFY(w.ui->lblMsg->styleSheet().contains("background-color: #f63;"));
    w.displayMessage("", "#fff", QString());
    QCOMPARE(w.ui->lblMsg->text(), QString(""));
    QCOMPARE(w.ui->lblMsg->styleSheet(), QString("color: #fff;"));
    Setting::PageDirection = "jabara-right";
    w.displayMessage(QString(), "#fff", QString());
    QCOMPARE(w.ui->lblMsg->text(), QString("蛇腹折り/右開き(縦書用)"));
    Setting::PageDirection = "sideways";
    w.displayMessage(QString(), "#fff", QString());
    QCOMPARE(w.ui->lblMsg->text(), QString("蛇腹折り/右開き(縦書用)"));
}

void TstMainWindow::quitAnsweredNoKeepsWindow()
{
    MainWindow w;
    w.mListArea.at(0)->append(new DrawObject(1, 2, 3, 4));
    seam->questionAnswers << QMessageBox::No;
    QCloseEvent no;
    QApplication::sendEvent(&w, &no);
    QVERIFY(!no.isAccepted());
    QCOMPARE(w.mListArea.at(0)->size(), 1);
    QVERIFY(seam->log.last().contains("Zamfuを終了しますか？"));
    seam->questionAnswers << QMessageBox::Yes;
    QCloseEvent yes;
    QApplication::sendEvent(&w, &yes);
    QVERIFY(yes.isAccepted());
}

void TstMainWindow::initEmptiesDocument()
{
    MainWindow w;
    auto* a = new DrawObject(0, 0, 10, 10);
    w.mListArea.at(1)->append(a);
    w.mListSelected.append(a);
    w.mListClipboard.append(new DrawObject(0, 0, 5, 5));
    w.mPointerMode = 3;
    w.ui->wgtObj->setEnabled(true);
    w.init();
    QCOMPARE(w.mListArea.size(), 4);
    for (auto* l : w.mListArea)
        QVERIFY(l->isEmpty());
    QVERIFY(w.mListSelected.isEmpty());
    QVERIFY(w.mListClipboard.isEmpty());
    QVERIFY(w.mListUndo.isEmpty());
    QVERIFY(w.mListRedo.isEmpty());
    QVERIFY(!w.ui->wgtObj->isEnabled());
    QCOMPARE(w.mPointerMode, 0);
    QVERIFY(w.mNewObjHint);
}

void TstMainWindow::helpOpensBundledPage()
{
    MainWindow w;
    w.on_btnHelp_clicked();
    const QString url = seam->log.last().section('|', 1, 1);
    QVERIFY2(url.endsWith("/zamfu/help.html"), qPrintable(url));
    QFile f(QUrl(url).toLocalFile());
    QVERIFY(f.open(QIODevice::ReadOnly));
    QVERIFY(QString::fromUtf8(f.readAll()).contains("Zamfu"));
}

QTEST_MAIN(TstMainWindow)
#include "tst_mainwindow.moc"
