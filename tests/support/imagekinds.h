#ifndef IMAGEKINDS_H
#define IMAGEKINDS_H

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>

// One small picture in every kind of file the image decoder treats apart
// (RGB, grey, CMYK, YCCK and progressive JPEG; packed, 16-bit, palette,
// alpha, colour-key and interlaced PNG; formats read through Qt). The tests
// check each decodes to what it encodes; the image fuzz target starts from
// them.
namespace ImageKinds {

struct Kind {
    QString name;     // file name, with the format's usual suffix
    QByteArray bytes;
    QImage encoded;   // what the file holds (ARGB32, not premultiplied)
    int tolerance;    // per channel: lossy formats differ a little
};
// Four quarters: red, green / blue, yellow; where the kind holds alpha the
// green quarter is half transparent and the blue one fully. The first kind
// is a baseline JPEG, the second a progressive one.
QList<Kind> all();

// Writes every kind into dir, or bytes to path; false when a file could not
// be written.
bool writeAll(const QString& dir);
bool write(const QString& path, const QByteArray& bytes);

// Pieces for hostile files: a PNG chunk, a PNG signature and header, and a
// flat grey progressive JPEG whose first AC scan is repeated `repeats` times
// (a few bytes each, however large the picture).
QByteArray pngChunk(const char* type, const QByteArray& data);
QByteArray pngHeader(int w, int h, int depth, int colour, bool interlaced = false);
QByteArray repeatedScans(QSize size, int repeats);

}

#endif
