#ifndef PDFDIALOG_H
#define PDFDIALOG_H

#include <QDialog>
#include <QString>

namespace Ui {
class PdfDialog;
}

// Asks which PDF layout to write: the imposed sheet or one of the reading layouts.
class PdfDialog : public QDialog
{
    Q_OBJECT

public:
    explicit PdfDialog(QWidget* parent = nullptr);
    ~PdfDialog() override;

    Ui::PdfDialog* ui;
    QString choice; // "PdfPrint", "PdfView1" or "PdfView2" once accepted

public slots:
    void on_btnOk_clicked();
    void on_btnCancel_clicked();
};

#endif
