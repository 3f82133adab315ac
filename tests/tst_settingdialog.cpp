// The settings dialog: loading, the controls that depend on the page count,
// the refused formations, the sheet colour and what OK stores.
#include "drawobject.h"
#include "mainwindow.h"
#include "setting.h"
#include "settingdialog.h"
#include "testsupport.h"
#include "ui_mainwindow.h"
#include "ui_settingdialog.h"

#include <QtTest>

#include <functional>

namespace {
// Lets a test work the dialog that the window runs, then answers.
struct DialogSeam : ScriptedSeam {
    std::function<int(QDialog*)> onDialog;
    int execDialog(QDialog* dialog) override
    {
        ScriptedSeam::execDialog(dialog);
        return onDialog ? onDialog(dialog) : int(QDialog::Rejected);
    }
};
}

class TstSettingDialog : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void loadsEverySetting();
    void pageCountControls();
    void refusesFoldsWithFourPages();
    void sheetColourKeepsAlpha();
    void styleValue();
    void missingPrinterStoresDefault();
    void windowAppliesFormation();
};

void TstSettingDialog::init()
{
    Setting::resetDefaults();
    ScriptedSeam::install();
}

void TstSettingDialog::loadsEverySetting()
{
    Setting::PaperSize = "B5";
    Setting::PaperMargin = 12;
    Setting::PageMax = 8;
    Setting::PageForm = "slim";
    Setting::PageDirection = "jabara-right";
    Setting::PageFoldLine = "line2";
    Setting::EditAreaPattern = "mesh";
    Setting::PageColor = QColor(10, 20, 30, 40);
    SettingDialog d;
    QCOMPARE(d.ui->cmbPaperSize->currentText(), QString("B5"));
    QCOMPARE(d.ui->spnPaperMargin->value(), 12);
    QCOMPARE(d.ui->cmbPageMax->currentText(), QString("8"));
    QVERIFY(d.ui->radSlimOn->isChecked());
    QCOMPARE(d.ui->cmbPageDirection->currentIndex(), 5);
    QCOMPARE(d.ui->cmbFoldLine->currentIndex(), 2);
    QVERIFY(d.ui->radMeshOn->isChecked());
    QVERIFY(!d.ui->radSlimOff->isChecked()); // the two pairs are separate groups
    QCOMPARE(d.getColorButtonColor(d.ui->btnPaperColor), QColor(10, 20, 30, 40));
    QCOMPARE(d.ui->lblFinalSize->text(), QString("B8（スリム型）"));
    QCOMPARE(d.ui->cmbPrinter->itemText(0), QString("（デフォルト）"));

    // Pressing OK without changes stores the same values.
    d.ui->btnOk->click();
    QCOMPARE(d.result(), int(QDialog::Accepted));
    QCOMPARE(Setting::PaperSize, QString("B5"));
    QCOMPARE(Setting::PaperMargin, 12);
    QCOMPARE(Setting::PageForm, QString("slim"));
    QCOMPARE(Setting::PageDirection, QString("jabara-right"));
    QCOMPARE(Setting::PageFoldLine, QString("line2"));
    QCOMPARE(Setting::EditAreaPattern, QString("mesh"));
    QCOMPARE(Setting::PageColor, QColor(10, 20, 30, 40));
    QCOMPARE(Setting::PrinterName, QString(""));

    // Unknown values fall back to the first choice.
    Setting::PageDirection = "sideways";
    Setting::PageFoldLine = "line9";
    SettingDialog d2;
    QCOMPARE(d2.ui->cmbPageDirection->currentIndex(), 0);
    QCOMPARE(d2.ui->cmbFoldLine->currentIndex(), 0);
}

void TstSettingDialog::pageCountControls()
{
    Setting::PageMax = 4;
    Setting::PageOrientation = "landscape";
    SettingDialog d;
    QVERIFY(!d.ui->cmbPageOrientation->isHidden());
    QCOMPARE(d.ui->cmbPageOrientation->currentIndex(), 1);
    QVERIFY(d.ui->radSlimOn->isHidden() && d.ui->lblSlim->isHidden());
    QCOMPARE(d.ui->lblFinalSize->text(), QString("A6"));

    // 8 pages: upright forced, slim offered.
    d.ui->cmbPageMax->setCurrentText("8");
    QVERIFY(d.ui->cmbPageOrientation->isHidden());
    QCOMPARE(d.ui->cmbPageOrientation->currentIndex(), 0);
    QVERIFY(!d.ui->radSlimOn->isHidden() && !d.ui->radSlimOff->isHidden() && !d.ui->lblSlim->isHidden());
    d.ui->radSlimOn->click();
    QCOMPARE(d.ui->lblFinalSize->text(), QString("A7（スリム型）"));
    d.ui->cmbPaperSize->setCurrentText("A3");
    QCOMPARE(d.ui->lblFinalSize->text(), QString("A6（スリム型）"));

    // Back to 4: orientation shown again upright, slim switched off.
    d.ui->cmbPageMax->setCurrentText("4");
    QVERIFY(!d.ui->cmbPageOrientation->isHidden());
    QCOMPARE(d.ui->cmbPageOrientation->currentIndex(), 0);
    QVERIFY(d.ui->radSlimOff->isChecked());
    QCOMPARE(d.ui->lblFinalSize->text(), QString("A5"));

    // 1 page: no formation, no fold lines, both reset.
    d.ui->cmbPageDirection->setCurrentIndex(1);
    d.ui->cmbFoldLine->setCurrentIndex(1);
    d.ui->cmbPageMax->setCurrentText("1");
    for (QWidget* w : {static_cast<QWidget*>(d.ui->lblPageDirection), static_cast<QWidget*>(d.ui->cmbPageDirection),
                       static_cast<QWidget*>(d.ui->lblFoldLine), static_cast<QWidget*>(d.ui->cmbFoldLine)})
        QVERIFY(w->isHidden());
    QCOMPARE(d.ui->lblFinalSize->text(), QString("A3"));
    Setting::PageDirection = "right";
    Setting::PageFoldLine = "line1";
    d.ui->btnOk->click();
    QCOMPARE(Setting::PageMax, 1);
    QCOMPARE(Setting::PageDirection, QString("left"));
    QCOMPARE(Setting::PageFoldLine, QString("none"));
    QCOMPARE(Setting::PageForm, QString("normal"));
    QCOMPARE(Setting::PaperSize, QString("A3"));
}

void TstSettingDialog::refusesFoldsWithFourPages()
{
    auto* seam = ScriptedSeam::install();
    SettingDialog d;
    d.ui->cmbPageMax->setCurrentText("4");
    d.ui->cmbPaperSize->setCurrentText("B4");
    d.ui->cmbPageDirection->setCurrentIndex(2); // gatefold
    d.ui->btnOk->click();
    QCOMPARE(seam->log, QStringList{"information|設定確認|4ページ構成の時、観音折り・蛇腹折りはできません。"});
    QCOMPARE(d.result(), int(QDialog::Rejected));
    QCOMPARE(Setting::PageMax, 8);
    QCOMPARE(Setting::PaperSize, QString("A4"));

    // The accordion is refused too; the standard fold passes.
    d.ui->cmbPageDirection->setCurrentIndex(5);
    d.ui->btnOk->click();
    QCOMPARE(seam->log.size(), 2);
    d.ui->cmbPageDirection->setCurrentIndex(1);
    d.ui->btnOk->click();
    QCOMPARE(d.result(), int(QDialog::Accepted));
    QCOMPARE(Setting::PageMax, 4);
    QCOMPARE(Setting::PageDirection, QString("right"));

    // With 8 pages every formation is allowed.
    SettingDialog d8;
    d8.ui->cmbPageMax->setCurrentText("8");
    d8.ui->cmbPageDirection->setCurrentIndex(3);
    d8.ui->btnOk->click();
    QCOMPARE(Setting::PageDirection, QString("kannon-right"));
    QCOMPARE(seam->log.size(), 2);
}

void TstSettingDialog::sheetColourKeepsAlpha()
{
    auto* seam = ScriptedSeam::install();
    SettingDialog d;
    seam->colorAnswers << QColor(200, 100, 50, 77);
    d.ui->btnPaperColor->click();
    QVERIFY(d.ui->btnPaperColor->styleSheet().startsWith("background-color:rgba(200,100,50,77);"));
    seam->colorAnswers << QColor(); // closed without a choice
    d.ui->btnPaperColor->click();
    QCOMPARE(seam->log, (QStringList{"color|Color|", "color|Color|"}));
    QCOMPARE(d.getColorButtonColor(d.ui->btnPaperColor), QColor(200, 100, 50, 77));
    d.ui->btnOk->click();
    QCOMPARE(Setting::PageColor, QColor(200, 100, 50, 77));
    QCOMPARE(Setting::PageColor.alpha(), 77);
}

void TstSettingDialog::styleValue()
{
    QCOMPARE(SettingDialog::getStyleValue("a:b(1,2);c", "b(", ")"), QString("1,2"));
    QCOMPARE(SettingDialog::getStyleValue("a:b(1,2", "b(", ")"), QString("1,2"));
    QCOMPARE(SettingDialog::getStyleValue("a:b(1,2)", "B(", ")"), QString());
    QCOMPARE(SettingDialog::getStyleValue("x(1) b(2)", "b(", ")"), QString("2"));
}

void TstSettingDialog::missingPrinterStoresDefault()
{
    Setting::PrinterName = "a printer that was unplugged";
    SettingDialog d;
    QCOMPARE(d.ui->cmbPrinter->currentIndex(), -1);
    d.ui->btnOk->click();
    QCOMPARE(Setting::PrinterName, QString(""));
}

void TstSettingDialog::windowAppliesFormation()
{
    auto* seam = new DialogSeam;
    UiSeam::install(seam);
    MainWindow w;
    auto* obj = new DrawObject(500, 300, 40, 30);
    w.mListArea.at(3)->append(obj);
    w.ui->tabwgtMain->setCurrentIndex(2);

    // Cancel changes nothing.
    seam->onDialog = [](QDialog* d) {
        static_cast<SettingDialog*>(d)->ui->cmbPageMax->setCurrentText("4");
        return int(QDialog::Rejected);
    };
    w.on_btnSetting_clicked();
    QCOMPARE(seam->log.last(), QString("dialog|設定|"));
    QCOMPARE(Setting::PageMax, 8);
    QCOMPARE(w.ui->tabwgtMain->count(), 4);

    seam->onDialog = [](QDialog* d) {
        auto* sd = static_cast<SettingDialog*>(d);
        sd->ui->cmbPageMax->setCurrentText("4");
        sd->ui->cmbPageOrientation->setCurrentIndex(1);
        sd->ui->btnOk->click();
        return sd->result();
    };
    w.on_btnSetting_clicked();
    QCOMPARE(w.ui->tabwgtMain->count(), 2);
    QCOMPARE(w.ui->tabwgtMain->currentIndex(), 0);
    QCOMPARE(_EDITAREA_W_PX, 1122);
    QCOMPARE(_EDITAREA_H_PX, 397);
    // The object of an area the formation no longer shows stays where it was.
    QCOMPARE(w.mListArea.at(3)->size(), 1);
    QCOMPARE(obj->x, 500);
    QCOMPARE(obj->y, 300);
}

QTEST_MAIN(TstSettingDialog)
#include "tst_settingdialog.moc"
