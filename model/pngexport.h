#ifndef PNGEXPORT_H
#define PNGEXPORT_H

#include <QImage>
#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>

class DrawObject;

// The booklet as PNG images, for sharing: the same layouts and pages as the
// PDF output, each page rendered at a chosen resolution, with the sheet colour
// and without the editor's screen-only marks. Reads the document settings in
// Setting and the edit-area size.
namespace PngExport {

constexpr int DEFAULT_DPI = 150;
constexpr int MIN_DPI = 72;
constexpr int MAX_DPI = 600;

// Number of images of a layout (PdfExport::Layout): one for the sheet, one per
// booklet page or spread otherwise.
int imageCount(int layout);

// Pixel size of the images: the PDF page of the layout at dpi.
QSize imageSize(int layout, int dpi);

// Where the images go: path itself for one image, else path without its
// ".png" ending followed by "-1.png", "-2.png", ... in reading order.
QStringList fileNames(const QString& path, int count);

// Image `index` of the layout; a null image when it cannot be allocated.
QImage render(int layout, int dpi, int index, const QList<QList<DrawObject*>*>& lists);

// Writes every image of the layout. Each is written under a temporary name
// and all are put in place once all are complete; on failure nothing new is
// left behind and *error holds a one-line reason. *written gets the names.
bool writePngs(const QString& path, int layout, int dpi, const QList<QList<DrawObject*>*>& lists,
               QStringList* written, QString* error);

}

#endif
