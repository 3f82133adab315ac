#ifndef SETTINGDIALOG_H
#define SETTINGDIALOG_H

#include <QColor>
#include <QDialog>
#include <QString>

class QPushButton;

namespace Ui {
class SettingDialog;
}

// Edits the document settings (sheet, formation, fold lines, margin, colour,
// grid, printer). Nothing changes in Setting until OK passes its check.
class SettingDialog : public QDialog
{
    Q_OBJECT

public:
    explicit SettingDialog(QWidget* parent = nullptr);
    ~SettingDialog() override;

    Ui::SettingDialog* ui;

    void changeView();
    void setColorButtonColor(QPushButton* button, QString colorText);
    QColor getColorButtonColor(QPushButton* button);
    static QString getStyleValue(QString style, QString key, QString end);

public slots:
    void on_btnOk_clicked();
    void on_btnCancel_clicked();
    void on_cmbPageMax_currentIndexChanged(int index);
    void on_cmbPaperSize_currentIndexChanged(int index);
    void on_radSlimOn_clicked(bool checked);
    void on_radSlimOff_clicked(bool checked);
    void on_btnPaperColor_clicked();
};

#endif
