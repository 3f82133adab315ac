// The settings dialog: loading, controls that depend on the page count, the
// refused formations, the sheet colour, and what OK stores and rebuilds.
#include "mainwindow.h"
#include "seamtestcase.h"
#include "settingdialog.h"
#include "ui_mainwindow.h"
#include "ui_settingdialog.h"

#include <QtTest>

class TstSettingDialog : public SeamTestCase
{
    Q_OBJECT
private slots:
    void loadsAndStoresEverySetting()
    {
        Setting::PaperSize = "B5", Setting::PaperMargin = 12, Setting::PageForm = "slim", Setting::PageDirection = "jabara-right";
        Setting::PageFoldLine = "line2", Setting::EditAreaPattern = "mesh", Setting::PageColor = QColor(1, 2, 3, 4);
        Setting::PrinterName = "a printer that was unplugged";
        SettingDialog d;
        QVERIFY(d.ui->radSlimOn->isChecked() && d.ui->radMeshOn->isChecked() && d.ui->lblFinalSize->text() == "B8（スリム型）");
        QVERIFY(d.ui->cmbPrinter->itemText(0) == "（デフォルト）" && d.ui->cmbPrinter->currentIndex() == -1);
        // The colour keeps its alpha; a colour dialog closed without a choice changes nothing.
        seam->colorAnswers << QColor(200, 100, 50, 77) << QColor();
        d.ui->btnPaperColor->click();
        d.ui->btnPaperColor->click();

        // OK keeps every other setting; the vanished printer becomes the default.
        d.ui->btnOk->click();
        QCOMPARE(QStringList({Setting::PaperSize, QString::number(Setting::PaperMargin), Setting::PageForm,
                              Setting::PageDirection, Setting::PageFoldLine, Setting::EditAreaPattern, Setting::PrinterName}),
                 QStringList({"B5", "12", "slim", "jabara-right", "line2", "mesh", ""}));
        QVERIFY(d.result() == QDialog::Accepted && Setting::PageColor == QColor(200, 100, 50, 77));
    }

    void pageCountControls()
    {
        Setting::PageMax = 4, Setting::PageOrientation = "landscape";
        SettingDialog d;
        QVERIFY(d.ui->cmbPageOrientation->currentIndex() == 1 && d.ui->radSlimOn->isHidden() && d.ui->lblSlim->isHidden());
        // 8 pages: upright forced, slim offered; back to 4: orientation back, slim off.
        d.ui->cmbPageMax->setCurrentText("8");
        QVERIFY(d.ui->cmbPageOrientation->isHidden() && d.ui->cmbPageOrientation->currentIndex() == 0 && !d.ui->radSlimOn->isHidden());
        d.ui->radSlimOn->click();
        QCOMPARE(d.ui->lblFinalSize->text(), QString("A7（スリム型）"));
        d.ui->cmbPageMax->setCurrentText("4");
        QVERIFY(!d.ui->cmbPageOrientation->isHidden() && d.ui->radSlimOff->isChecked() && d.ui->lblFinalSize->text() == "A6");

        // 1 page: no formation and no fold lines, both reset, and OK stores them reset.
        d.ui->cmbPageDirection->setCurrentIndex(1);
        d.ui->cmbFoldLine->setCurrentIndex(1);
        d.ui->cmbPageMax->setCurrentText("1");
        QVERIFY(d.ui->cmbPageDirection->isHidden() && d.ui->lblFoldLine->isHidden());
        Setting::PageDirection = "right";
        d.ui->btnOk->click();
        QCOMPARE(QString("%1 %2 %3").arg(Setting::PageMax).arg(Setting::PageDirection, Setting::PageFoldLine),
                 QString("1 left none"));
    }

    void refusesFoldsWithFourPages()
    {
        SettingDialog d;
        d.ui->cmbPageMax->setCurrentText("4");
        d.ui->cmbPaperSize->setCurrentText("B4");
        for (int fold : {2, 5}) { // gatefold, accordion
            d.ui->cmbPageDirection->setCurrentIndex(fold);
            d.ui->btnOk->click();
            QCOMPARE(seam->log.last(), QString("information|設定確認|4ページ構成の時、観音折り・蛇腹折りはできません。"));
        }
        QVERIFY(d.result() == QDialog::Rejected && Setting::PageMax == 8 && Setting::PaperSize == "A4");
        d.ui->cmbPageDirection->setCurrentIndex(1);
        d.ui->btnOk->click();
        QVERIFY(d.result() == QDialog::Accepted && Setting::PageDirection == "right");
    }

    void windowAppliesFormation()
    {
        MainWindow w;
        w.ui->tabwgtMain->setCurrentIndex(2);
        seam->onDialog = [](QDialog* d) {
            auto* sd = static_cast<SettingDialog*>(d);
            sd->ui->cmbPageMax->setCurrentText("4");
            sd->ui->cmbPageOrientation->setCurrentIndex(1);
            sd->ui->btnOk->click();
            return sd->result();
        };
        w.on_btnSetting_clicked();
        QVERIFY(w.ui->tabwgtMain->count() == 2 && w.ui->tabwgtMain->currentIndex() == 0);
        QCOMPARE(QSize(_EDITAREA_W_PX, _EDITAREA_H_PX), QSize(1122, 397));
    }

};

QTEST_MAIN(TstSettingDialog)
#include "tst_settingdialog.moc"
