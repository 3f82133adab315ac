#ifndef IMAGEKINDS_H
#define IMAGEKINDS_H

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>

// One small picture in every kind of file the image decoder treats apart:
// baseline, progressive, arithmetic, restart, grey, CMYK and YCCK JPEG;
// 1- to 16-bit, grey, palette, alpha, colour-key and interlaced PNG; GIF and
// the other formats read through Qt. The tests check each decodes to what it
// encodes; the image fuzz target starts from them.
namespace ImageKinds {

// Four quarters: red, green / blue, yellow. With alpha, the green quarter is
// half transparent and the blue one fully.
QImage picture(bool alpha);

struct Kind {
    QString name;     // file name, with the format's usual suffix
    QByteArray bytes;
    QImage encoded;   // what the file holds (ARGB32, not premultiplied)
    int tolerance;    // per channel: lossy formats differ a little
};
QList<Kind> all();

// Writes every kind into dir; false when a file could not be written.
bool writeAll(const QString& dir);

// Pieces for hostile files: a PNG chunk, a baseline JPEG of an image, and a
// flat grey progressive JPEG whose first AC scan is repeated `repeats` times
// (a few bytes each, however large the picture).
QByteArray pngChunk(const char* type, const QByteArray& data);
QByteArray jpegOf(const QImage& image);
QByteArray repeatedScans(QSize size, int repeats);

}

#endif
