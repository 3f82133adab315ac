#include "pdfexport.h"

#include "outputfile.h"
#include "setting.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPageSize>
#include <QPrinter>
#include <QTemporaryFile>

namespace PdfExport {

namespace {

struct PrinterPaper { int code; double w; double h; };

// Qt's B codes are the international sizes; the program uses the Japanese ones.
const PrinterPaper PRINTER_PAPERS[] = {
    {0, 210, 297},    {1, 182, 257.1}, {8, 297, 420},   {9, 148, 210},
    {10, 105, 148},   {11, 74, 105},   {12, 52, 74},    {19, 257.1, 364},
    {20, 128, 182},   {21, 91, 128},   {22, 64, 91},
};

struct SlimPage { const char* name; double w; double h; };

// A slim page is half as wide as the normal page of the same sheet.
const SlimPage SLIM_PAGES[] = {
    {"A6", 74, 210}, {"B7", 64, 182}, {"A7", 52, 148}, {"B8", 45, 128}, {"A8", 37, 105},
};

QPageSize millimetres(double w, double h)
{
    // Exact match: a fuzzy match would snap 182 x 257.1 back to a stock size.
    return QPageSize(QSizeF(w, h), QPageSize::Millimeter, QString(), QPageSize::ExactMatch);
}

void setMillimetres(QPrinter* printer, double w, double h)
{
    printer->setPageSize(millimetres(w, h));
}

// A complete PDF starts with its header and ends with the end-of-file marker.
bool looksComplete(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly) || f.size() < 16)
        return false;
    if (!f.read(5).startsWith("%PDF-"))
        return false;
    const qint64 tail = qMin<qint64>(f.size(), 64);
    f.seek(f.size() - tail);
    return f.read(tail).contains("%%EOF");
}

}

int layoutFromName(const QString& name)
{
    if (name == "PdfView1")
        return LayoutPages;
    if (name == "PdfView2")
        return LayoutSpreads;
    return LayoutSheet;
}

bool layoutAvailable(int layout)
{
    if (layout == LayoutSheet)
        return true;
    if (Setting::PageMax == 1)
        return false;
    if (layout == LayoutSpreads)
        return Setting::PageOrientation != "landscape";
    return layout == LayoutPages;
}

void setupPrinter(QPrinter* printer)
{
    if (!Setting::PrinterName.isEmpty())
        printer->setPrinterName(Setting::PrinterName);
    printer->setResolution(int(_PC_DPI));
    printer->setFontEmbeddingEnabled(true);
    qDebug() << "QPrinter Resolution:" << printer->resolution();
    qDebug() << "  Supported Resolutions:" << printer->supportedResolutions();
}

void setFullPageNoMargins(QPrinter* printer)
{
    printer->setFullPage(true);
    printer->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

bool paperMillimetres(int pageSizeCode, double* width, double* height)
{
    for (const PrinterPaper& p : PRINTER_PAPERS) {
        if (p.code == pageSizeCode) {
            *width = p.w;
            *height = p.h;
            return true;
        }
    }
    return false;
}

void setPaper(QPrinter* printer, int pageSizeCode)
{
    printer->setPageSize(QPageSize(QPageSize::PageSizeId(pageSizeCode)));
    correctPageSize(printer, pageSizeCode);
}

void correctPageSize(QPrinter* printer, int pageSizeCode)
{
    double w = 0, h = 0;
    if (!paperMillimetres(pageSizeCode, &w, &h))
        return;
    const QSizeF actual = printer->pageLayout().pageSize().size(QPageSize::Millimeter);
    if (int(w + 0.5) != int(actual.width() + 0.5) || int(h + 0.5) != int(actual.height() + 0.5))
        setMillimetres(printer, w, h);
}

QPageLayout::Orientation sheetOrientation()
{
    const bool portraitPages = Setting::PageOrientation == "portrait";
    switch (Setting::PageMax) {
    case 1:
        return portraitPages ? QPageLayout::Portrait : QPageLayout::Landscape;
    case 4:
        return portraitPages ? QPageLayout::Landscape : QPageLayout::Portrait;
    case 8:
        return Setting::PageForm == "slim" ? QPageLayout::Landscape : QPageLayout::Portrait;
    default:
        return QPageLayout::Portrait;
    }
}

QPageSize pageSize(int pageSizeCode)
{
    const QPageSize qt{QPageSize::PageSizeId(pageSizeCode)};
    double w = 0, h = 0;
    if (!paperMillimetres(pageSizeCode, &w, &h))
        return qt;
    const QSizeF actual = qt.size(QPageSize::Millimeter);
    if (int(w + 0.5) != int(actual.width() + 0.5) || int(h + 0.5) != int(actual.height() + 0.5))
        return millimetres(w, h);
    return qt;
}

QPageLayout pageLayout(int layout)
{
    const bool slim = Setting::PageForm == "slim";
    QPageSize size;
    QPageLayout::Orientation orientation;
    if (layout == LayoutSpreads) {
        size = pageSize(Setting::paperSizeToEnum(Setting::getEditAreaSize(Setting::PaperSize, Setting::PageMax)));
        orientation = slim ? QPageLayout::Portrait : QPageLayout::Landscape;
    } else if (layout == LayoutPages) {
        const QString f = Setting::getFinalSize(Setting::PaperSize, Setting::PageMax);
        if (slim) {
            for (const SlimPage& s : SLIM_PAGES)
                if (f == QLatin1String(s.name))
                    size = millimetres(s.w, s.h);
        } else {
            size = pageSize(Setting::paperSizeToEnum(f));
        }
        orientation = Setting::PageOrientation == "portrait" ? QPageLayout::Portrait : QPageLayout::Landscape;
    } else {
        size = pageSize(Setting::paperSizeToEnum(Setting::PaperSize));
        orientation = sheetOrientation();
    }
    return QPageLayout(size, orientation, QMarginsF());
}

void applyLayout(QPrinter* printer, int layout)
{
    const QPageLayout page = pageLayout(layout);
    if (page.pageSize().isValid())
        printer->setPageSize(page.pageSize());
    printer->setPageOrientation(page.orientation());
}

QString creator()
{
    return QStringLiteral("Zamfu " ZAMFU_VERSION);
}

QString titleFor(const QString& documentPath)
{
    if (documentPath.isEmpty())
        return QStringLiteral("新しいファイル");
    const QString name = QFileInfo(documentPath).fileName();
    return name.endsWith(".xml", Qt::CaseInsensitive) ? name.chopped(4) : name;
}

bool writePdf(const QString& path, int layout, const Painter& paint, QString* error, const QString& title)
{
    *error = OutputFile::targetProblem(path);
    if (!error->isEmpty())
        return false;
    const QFileInfo target(path);
    const QDir dir = target.absoluteDir();

    QTemporaryFile tmp(OutputFile::temporaryPattern(path, ".pdf"));
    if (!tmp.open()) {
        *error = QString("cannot create a file in %1").arg(QDir::toNativeSeparators(dir.path()));
        return false;
    }
    const QString tmpPath = tmp.fileName();
    tmp.close();

    {
        QPrinter printer(QPrinter::ScreenResolution);
        setupPrinter(&printer);
        printer.setOutputFileName(tmpPath);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setDocName(title.isEmpty() ? titleFor(QString()) : title);
        printer.setCreator(creator());
        applyLayout(&printer, layout);
        setFullPageNoMargins(&printer);
        paint(&printer, layout);
    }

    if (!looksComplete(tmpPath)) {
        *error = QString("the PDF could not be written to %1").arg(QDir::toNativeSeparators(dir.path()));
        return false; // tmp removes its file
    }

    if (!OutputFile::replace(tmpPath, target.absoluteFilePath(), error))
        return false;
    tmp.setAutoRemove(false);
    return true;
}

}
