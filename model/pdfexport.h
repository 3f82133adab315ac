#ifndef PDFEXPORT_H
#define PDFEXPORT_H

#include <QPageLayout>
#include <QPageSize>
#include <QString>

#include <functional>

class QPrinter;

// Printer and PDF set-up shared by the print preview, the PDF button and the
// command line. Everything reads the document settings in Setting.
namespace PdfExport {

// Output layouts: the imposed sheet, one page per booklet page, one per spread.
enum Layout { LayoutSheet = 0, LayoutPages = 1, LayoutSpreads = 2 };

// "PdfView1" -> pages, "PdfView2" -> spreads, anything else -> sheet.
int layoutFromName(const QString& name);

// Whether the current formation offers the layout (one page offers only the
// sheet; landscape pages have no spread layout).
bool layoutAvailable(int layout);

// Resolution _PC_DPI, font embedding, the chosen printer.
void setupPrinter(QPrinter* printer);

// Full page with no margins; called last, after paper and orientation.
void setFullPageNoMargins(QPrinter* printer);

// Sets the paper by its Qt code, then replaces Qt's size where it differs
// from ours (Japanese B sizes).
void setPaper(QPrinter* printer, int pageSizeCode);
void correctPageSize(QPrinter* printer, int pageSizeCode);

// Our millimetre size (portrait) for a Qt code; false for a code outside the table.
bool paperMillimetres(int pageSizeCode, double* width, double* height);

// Orientation of the imposed sheet for the current formation.
QPageLayout::Orientation sheetOrientation();

// Our paper for a Qt code (Japanese B sizes).
QPageSize pageSize(int pageSizeCode);

// Paper and orientation of an output page in the given layout (PDF page or
// exported image), with no margins.
QPageLayout pageLayout(int layout);

// Paper and orientation of a PDF in the given layout.
void applyLayout(QPrinter* printer, int layout);

// Draws every output page of the layout on the printer (opens its own painter).
using Painter = std::function<void(QPrinter* printer, int layout)>;

// The PDF's creator: the program and its version.
QString creator();
// The PDF's title for a document file (its name without ".xml"), or
// "新しいファイル" for a document never saved.
QString titleFor(const QString& documentPath);

// Writes the PDF to a temporary file beside `path` and puts it in place only
// once it is complete, so a failed export never destroys the previous file.
// On failure returns false with a one-line reason in *error.
bool writePdf(const QString& path, int layout, const Painter& paint, QString* error,
              const QString& title = QString());

}

#endif
