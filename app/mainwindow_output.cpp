#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "document.h"
#include "imagestore.h"
#include "pdfdialog.h"
#include "outputfile.h"
#include "pdfexport.h"
#include "pngexport.h"
#include "setting.h"
#include "settingdialog.h"
#include "sheet.h"
#include "uiseam.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QStandardPaths>

namespace {
const QString DOC_PATH = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
const QString FILTER_PDF = "PDF(*.pdf)";
const QString FILTER_PNG = "PNG画像 (*.png)";

QString reasonText(ImageDecoder::Problem problem)
{
    switch (problem) {
    case ImageDecoder::Missing: return "ファイルが見つかりません";
    case ImageDecoder::NotRegular: return "通常のファイルではありません";
    case ImageDecoder::Unreadable: return "読み込めません";
    case ImageDecoder::Unsupported: return "対応していない形式です";
    case ImageDecoder::TooLarge: return "大きすぎます";
    case ImageDecoder::Damaged: return "壊れているか、途中で切れています";
    case ImageDecoder::NoProblem: break;
    }
    return QString();
}

// One warning listing every image the output could not draw.
void warnImagesNotDrawn(QWidget* parent, const QString& title, const ImageOutputReport& report)
{
    const QList<ImageOutputReport::Failure> failures = report.failures();
    if (failures.isEmpty())
        return;
    const int shown = 20;
    QStringList lines;
    for (int i = 0; i < failures.size() && i < shown; ++i)
        lines << QDir::toNativeSeparators(failures[i].path) + "（" + reasonText(failures[i].problem) + "）";
    if (failures.size() > shown)
        lines << QString("ほか%1件").arg(failures.size() - shown);
    UiSeam::instance()->warning(parent, title, "次の画像を描画できませんでした。\n" + lines.join("\n"));
}
}

void MainWindow::on_btnSetting_clicked()
{
    SettingDialog dialog(nullptr);
    const DocumentSettings before = DocumentSettings::fromSetting();
    if (UiSeam::instance()->execDialog(&dialog) != QDialog::Accepted)
        return;
    if (!(DocumentSettings::fromSetting() == before))
        mDocState.changeOutsideHistory();
    // Objects keep their lists and coordinates; only tabs and sizes change.
    setPageFormation(Setting::PaperSize, Setting::PageMax, Setting::PageOrientation, Setting::PageDirection);
    ui->tabwgtMain->setCurrentIndex(0);
    updateCurrentPage();
}

void MainWindow::on_btnPrint_clicked()
{
    QPrinter printer(QPrinter::ScreenResolution);
    PdfExport::setupPrinter(&printer);
    QPrintPreviewDialog preview(&printer, this, Qt::Tool);
    printer.setFromTo(1, 1);
    PdfExport::setPaper(&printer, Setting::paperSizeToEnum(Setting::PaperSize));
    printer.setPageOrientation(PdfExport::sheetOrientation());
    qDebug() << "Setting::PaperMargin = " << Setting::PaperMargin;
    PdfExport::setFullPageNoMargins(&printer);
    preview.setWindowTitle("印刷プレビュー");
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, &MainWindow::paintPrinter);
    {
        ImageOutputReport report;
        Sheet::prepareImages(Sheet::Context::fromSettings(mZoom, true), mListArea);
        warnImagesNotDrawn(this, "印刷", report);
    }
    UiSeam::instance()->execDialog(&preview);
    qDebug() << "--- preview end. ---";
}

void MainWindow::paintPrinter(QPrinter* printer)
{
    paint(printer, 4, 0);
}

void MainWindow::correctPageSize(QPrinter* printer, int pageSizeCode)
{
    PdfExport::correctPageSize(printer, pageSizeCode);
}

void MainWindow::setExportDir(QString path)
{
    const QFileInfo fi(path);
    Setting::ExportDir = fi.absolutePath();
    Setting::ExportFile = fi.fileName();
}

void MainWindow::on_btnExport_clicked()
{
    PdfDialog dialog(nullptr);
    if (UiSeam::instance()->execDialog(&dialog) != QDialog::Accepted)
        return;
    const int mode = PdfExport::layoutFromName(dialog.choice);

    const QString dir = Setting::ExportDir.isEmpty() ? DOC_PATH : Setting::ExportDir;
    const QString file = Setting::ExportFile.isEmpty() ? QString("新しいファイル.pdf") : Setting::ExportFile;
    QString filter;
    QString name = UiSeam::instance()->getSaveFileNameAndFilter(
        this, "PDF出力", QDir::toNativeSeparators(dir + "/" + file), FILTER_PDF + ";;" + FILTER_PNG, &filter);
    if (name.isEmpty())
        return;
    // The same layouts as PNG images, for sharing.
    const bool png = filter == FILTER_PNG;
    if (png) {
        if (name.endsWith(".pdf", Qt::CaseInsensitive))
            name.chop(4);
        if (!name.endsWith(".png", Qt::CaseInsensitive))
            name += ".png";
    } else if (!name.endsWith(".pdf", Qt::CaseInsensitive)) {
        name += ".pdf";
    }
    setExportDir(name);

    const QStringList targets = png ? PngExport::fileNames(name, PngExport::imageCount(mode)) : QStringList(name);
    for (const QString& t : targets) {
        if (!OutputFile::canReplace(t)) {
            UiSeam::instance()->warning(this, "PDF出力", "PDF出力できません。\n指定されたファイル名は、他のアプリが使用中です。");
            return;
        }
    }

    changeCursor(Qt::WaitCursor);
    ImageOutputReport report;
    QString error;
    QStringList written;
    const bool done = png ? PngExport::writePngs(name, mode, PngExport::DEFAULT_DPI, mListArea, &written, &error)
                          : PdfExport::writePdf(
                                name, mode, [this](QPrinter* printer, int layout) { paint(printer, 4, layout); }, &error,
                                PdfExport::titleFor(documentPath()));
    changeCursor(-1);
    if (!done) {
        qDebug() << "export failed:" << error;
        UiSeam::instance()->warning(this, "PDF出力",
                                    "PDF出力できません。\nファイルを書き込めませんでした。\n" + QDir::toNativeSeparators(name));
        return;
    }
    UiSeam::instance()->information(this, "PDF出力", "PDF出力が完了しました。");
    warnImagesNotDrawn(this, "PDF出力", report);
}
