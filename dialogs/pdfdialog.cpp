#include "pdfdialog.h"
#include "ui_pdfdialog.h"

#include "pdfexport.h"

PdfDialog::PdfDialog(QWidget* parent) : QDialog(parent), ui(new Ui::PdfDialog)
{
    ui->setupUi(this);
    ui->radView1->setVisible(PdfExport::layoutAvailable(PdfExport::LayoutPages));
    ui->radView2->setVisible(PdfExport::layoutAvailable(PdfExport::LayoutSpreads));
}

PdfDialog::~PdfDialog()
{
    delete ui;
}

void PdfDialog::on_btnOk_clicked()
{
    if (ui->radView1->isChecked())
        choice = "PdfView1";
    else if (ui->radView2->isChecked())
        choice = "PdfView2";
    else
        choice = "PdfPrint";
    accept();
}

void PdfDialog::on_btnCancel_clicked()
{
    reject();
}
