#include "settingdialog.h"
#include "ui_settingdialog.h"

#include "drawobject.h"
#include "setting.h"
#include "uiseam.h"

#include <QPrinterInfo>
#include <QStringList>

namespace {
const QString BTN_COLOR_STYLE = "background-color:rgba(%1,%2,%3,%4);\nborder-radius:0px;\nborder:1px solid #6666cc;";
const QStringList DIRECTIONS = {"left", "right", "kannon-left", "kannon-right", "jabara-left", "jabara-right"};
const QString DEFAULT_PRINTER = "（デフォルト）";
}

SettingDialog::SettingDialog(QWidget* parent) : QDialog(parent), ui(new Ui::SettingDialog)
{
    ui->setupUi(this);

    // Loading must not run changeView on half-loaded controls; it runs once at the end.
    const bool blocked = ui->cmbPaperSize->blockSignals(true);
    ui->cmbPageMax->blockSignals(true);
    ui->cmbPaperSize->setCurrentIndex(ui->cmbPaperSize->findText(Setting::PaperSize, Qt::MatchExactly | Qt::MatchCaseSensitive));
    ui->spnPaperMargin->setValue(Setting::PaperMargin);
    ui->cmbPageMax->setCurrentIndex(ui->cmbPageMax->findText(QString::number(Setting::PageMax), Qt::MatchExactly));
    ui->cmbPageOrientation->setCurrentIndex(Setting::PageOrientation == "portrait" ? 0 : 1);
    if (Setting::PageForm == "slim")
        ui->radSlimOn->setChecked(true);
    ui->cmbPageDirection->setCurrentIndex(qMax(0, DIRECTIONS.indexOf(Setting::PageDirection)));
    ui->cmbFoldLine->setCurrentIndex(Setting::PageFoldLine == "line1" ? 1 : Setting::PageFoldLine == "line2" ? 2 : 0);
    setColorButtonColor(ui->btnPaperColor, DrawObject::colorToStr(Setting::PageColor));
    if (Setting::EditAreaPattern == "mesh")
        ui->radMeshOn->setChecked(true);
    ui->cmbPaperSize->blockSignals(blocked);
    ui->cmbPageMax->blockSignals(blocked);
    changeView();

    ui->cmbPrinter->addItem(DEFAULT_PRINTER);
    for (const QPrinterInfo& p : QPrinterInfo::availablePrinters())
        ui->cmbPrinter->addItem(p.printerName());
    if (!Setting::PrinterName.isEmpty())
        ui->cmbPrinter->setCurrentIndex(ui->cmbPrinter->findText(Setting::PrinterName, Qt::MatchExactly | Qt::MatchCaseSensitive));
}

SettingDialog::~SettingDialog()
{
    delete ui;
}

void SettingDialog::changeView()
{
    const int n = ui->cmbPageMax->currentText().toInt();
    if (n < 8) {
        ui->cmbPageOrientation->show();
        ui->lblSlim->hide();
        ui->radSlimOff->hide();
        ui->radSlimOn->hide();
        ui->radSlimOff->setChecked(true);
    } else {
        ui->cmbPageOrientation->hide();
        ui->cmbPageOrientation->setCurrentIndex(0);
        ui->lblSlim->show();
        ui->radSlimOff->show();
        ui->radSlimOn->show();
    }
    const bool folds = n != 1;
    for (QWidget* w : {static_cast<QWidget*>(ui->lblPageDirection), static_cast<QWidget*>(ui->cmbPageDirection),
                       static_cast<QWidget*>(ui->lblFoldLine), static_cast<QWidget*>(ui->cmbFoldLine)})
        w->setVisible(folds);
    if (!folds) {
        ui->cmbPageDirection->setCurrentIndex(0);
        ui->cmbFoldLine->setCurrentIndex(0);
    }
    QString finalSize = Setting::getFinalSize(ui->cmbPaperSize->currentText(), n);
    if (ui->radSlimOn->isChecked())
        finalSize += "（スリム型）";
    ui->lblFinalSize->setText(finalSize);
}

void SettingDialog::on_btnOk_clicked()
{
    const int n = ui->cmbPageMax->currentText().toInt();
    if (n < 5 && ui->cmbPageDirection->currentIndex() > 1) {
        UiSeam::instance()->information(this, "設定確認",
                                        QString::number(n) + "ページ構成の時、観音折り・蛇腹折りはできません。");
        return;
    }
    Setting::PaperSize = ui->cmbPaperSize->currentText();
    Setting::PaperMargin = ui->spnPaperMargin->value();
    Setting::PageMax = n;
    Setting::PageOrientation = ui->cmbPageOrientation->currentIndex() == 0 ? "portrait" : "landscape";
    const int dir = ui->cmbPageDirection->currentIndex();
    if (dir >= 0 && dir < DIRECTIONS.size())
        Setting::PageDirection = DIRECTIONS.at(dir);
    const int fold = ui->cmbFoldLine->currentIndex();
    Setting::PageFoldLine = fold == 1 ? "line1" : fold == 2 ? "line2" : "none";
    Setting::PageForm = ui->radSlimOn->isChecked() ? "slim" : "normal";
    Setting::PageColor = getColorButtonColor(ui->btnPaperColor);
    Setting::EditAreaPattern = ui->radMeshOn->isChecked() ? "mesh" : "none";
    Setting::PrinterName = ui->cmbPrinter->currentIndex() > 0 ? ui->cmbPrinter->currentText() : QString("");
    accept();
}

void SettingDialog::on_btnCancel_clicked()
{
    reject();
}

void SettingDialog::on_cmbPageMax_currentIndexChanged(int)
{
    changeView();
}

void SettingDialog::on_cmbPaperSize_currentIndexChanged(int)
{
    changeView();
}

void SettingDialog::on_radSlimOn_clicked(bool)
{
    changeView();
}

void SettingDialog::on_radSlimOff_clicked(bool)
{
    changeView();
}

void SettingDialog::on_btnPaperColor_clicked()
{
    auto* b = qobject_cast<QPushButton*>(sender());
    if (!b)
        b = ui->btnPaperColor;
    const QColor chosen = UiSeam::instance()->getColor(getColorButtonColor(b), this, "Color");
    if (chosen.isValid())
        setColorButtonColor(b, DrawObject::colorToStr(chosen));
}

void SettingDialog::setColorButtonColor(QPushButton* button, QString colorText)
{
    const QStringList v = colorText.split(',');
    button->setStyleSheet(BTN_COLOR_STYLE.arg(v.value(0), v.value(1), v.value(2), v.value(3)));
}

QColor SettingDialog::getColorButtonColor(QPushButton* button)
{
    return DrawObject::strToColor(getStyleValue(button->styleSheet(), "background-color:rgba(", ")"));
}

QString SettingDialog::getStyleValue(QString style, QString key, QString end)
{
    const int k = style.indexOf(key, 0, Qt::CaseSensitive);
    if (k < 0)
        return QString();
    const int start = k + key.size();
    const int e = style.indexOf(end, start, Qt::CaseSensitive);
    return e < 0 ? style.mid(start) : style.mid(start, e - start);
}
