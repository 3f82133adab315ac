#include "imagekinds.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <QtEndian>

#include <cstdlib>

#include <jpeglib.h>
#include <png.h>
#include <zlib.h>

namespace ImageKinds {

namespace {

const int W = 64, H = 32; // quarters on whole 16 x 16 JPEG blocks

QRgb quarter(int i, bool alpha)
{
    static const QRgb colours[4] = {qRgb(220, 40, 40), qRgb(40, 170, 60), qRgb(40, 70, 210), qRgb(240, 210, 40)};
    const int a = !alpha ? 255 : i == 1 ? 128 : i == 2 ? 0 : 255;
    return (colours[i] & 0xffffff) | (uint(a) << 24);
}

int quarterAt(int x, int y)
{
    return (y >= H / 2 ? 2 : 0) + (x >= W / 2 ? 1 : 0);
}

QImage grey(QImage out, int depth)
{
    const int top = (1 << depth) - 1;
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x) {
            const QRgb p = out.pixel(x, y);
            const int v = (qGray(p) * top + 127) / 255 * 255 / top;
            out.setPixel(x, y, qRgba(v, v, v, qAlpha(p)));
        }
    return out;
}

// Inverted CMYK, as Adobe applications write it, or YCCK (progressive);
// Qt writes only RGB and grey JPEG.
QByteArray cmyk(const QImage& image, bool ycck)
{
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &out, &size);
    c.image_width = JDIMENSION(image.width()), c.image_height = JDIMENSION(image.height());
    c.input_components = 4, c.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&c);
    jpeg_set_colorspace(&c, ycck ? JCS_YCCK : JCS_CMYK);
    jpeg_set_quality(&c, 95, TRUE);
    if (ycck)
        jpeg_simple_progression(&c);
    jpeg_start_compress(&c, TRUE);
    std::vector<JSAMPLE> row(size_t(image.width()) * 4);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            const int m = qMax(1, qMax(qRed(p), qMax(qGreen(p), qBlue(p))));
            JSAMPLE* s = row.data() + x * 4;
            s[0] = JSAMPLE(qRed(p) * 255 / m), s[1] = JSAMPLE(qGreen(p) * 255 / m), s[2] = JSAMPLE(qBlue(p) * 255 / m), s[3] = JSAMPLE(m);
        }
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&c, &r, 1);
    }
    jpeg_finish_compress(&c);
    const QByteArray bytes(reinterpret_cast<const char*>(out), int(size));
    jpeg_destroy_compress(&c);
    free(out);
    return bytes;
}

// Grey of any depth or 8-bit colour, written here rather than by the
// library the decoder uses; key: the blue quarter transparent through a
// tRNS colour (RGB only).
QByteArray png(const QImage& image, int colour, int depth, bool interlaced = false, bool key = false)
{
    // The whole picture, or Adam7's passes: first column and row, steps across and down.
    static const int passes[8][4] = {{0, 0, 1, 1}, {0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8},
                                     {2, 0, 4, 4}, {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
    QByteArray raw;
    for (int i = interlaced; i < (interlaced ? 8 : 1); ++i) {
        const int* p = passes[i];
        for (int y = p[1]; y < image.height(); y += p[3]) {
            raw.append('\0'); // no filter
            int acc = 0, bits = 0;
            for (int x = p[0]; x < image.width(); x += p[2]) {
                const QRgb c = image.pixel(x, y);
                QList<int> samples = {(qGray(c) * ((1 << depth) - 1) + 127) / 255};
                if (colour & PNG_COLOR_MASK_COLOR)
                    samples = {qRed(c), qGreen(c), qBlue(c)};
                if (colour & PNG_COLOR_MASK_ALPHA)
                    samples << qAlpha(c);
                for (int v : samples)
                    for (acc = (acc << depth | v) & 0xffff, bits += depth; bits >= 8; bits -= 8)
                        raw.append(char(acc >> (bits - 8)));
            }
            if (bits)
                raw.append(char(acc << (8 - bits)));
        }
    }
    const QRgb blue = quarter(2, false);
    const QByteArray trns = key ? pngChunk("tRNS", QByteArray::fromHex("00")
        + QByteArray(1, char(qRed(blue))) + '\0' + char(qGreen(blue)) + '\0' + char(qBlue(blue))) : QByteArray();
    return pngHeader(image.width(), image.height(), depth, colour, interlaced) + trns
           + pngChunk("IDAT", qCompress(raw).mid(4)) + pngChunk("IEND", {});
}

QByteArray qtFile(const QImage& image, const char* format, bool progressive = false)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    QImageWriter writer(&buffer, format);
    writer.setQuality(95);
    writer.setProgressiveScanWrite(progressive);
    writer.write(image);
    return bytes;
}

}

QList<Kind> all()
{
    QImage rgb(W, H, QImage::Format_ARGB32), rgba = rgb, keyed = rgb, indexed(W, H, QImage::Format_Indexed8);
    indexed.setColorTable({quarter(0, true), quarter(1, true), quarter(2, true), quarter(3, true)});
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const int q = quarterAt(x, y);
            rgb.setPixel(x, y, quarter(q, false)), rgba.setPixel(x, y, quarter(q, true)), indexed.setPixel(x, y, uint(q));
            keyed.setPixel(x, y, q == 2 ? 0 : quarter(q, false)); // the blue quarter transparent
        }
    return {
        {"baseline.jpg", qtFile(rgb, "JPEG"), rgb, 24},
        {"progressive.jpg", qtFile(rgb, "JPEG", true), rgb, 24},
        {"grey.jpg", qtFile(grey(rgb, 8).convertToFormat(QImage::Format_Grayscale8), "JPEG"), grey(rgb, 8), 12},
        // CMYK's integer samples lose a unit or two, well within the tolerance.
        {"cmyk.jpg", cmyk(rgb, false), rgb, 24},
        {"ycck.jpg", cmyk(rgb, true), rgb, 24},
        {"rgb8.png", png(rgb, PNG_COLOR_TYPE_RGB, 8), rgb, 0},
        {"rgba16.png", qtFile(rgba.convertToFormat(QImage::Format_RGBA64), "PNG"), rgba, 1},
        {"grey1.png", png(rgb, PNG_COLOR_TYPE_GRAY, 1), grey(rgb, 1), 0},
        {"greyalpha.png", png(grey(rgba, 8), PNG_COLOR_TYPE_GRAY_ALPHA, 8), grey(rgba, 8), 1},
        {"palette-alpha.png", qtFile(indexed, "PNG"), rgba, 1},
        {"rgb-key.png", png(rgb, PNG_COLOR_TYPE_RGB, 8, false, true), keyed, 0},
        {"interlaced.png", png(rgba, PNG_COLOR_TYPE_RGB_ALPHA, 8, true), rgba, 1},
        {"picture.bmp", qtFile(rgb, "BMP"), rgb, 0},
        {"picture.ico", qtFile(rgb, "ICO"), rgb, 0},
    };
}

bool write(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

bool writeAll(const QString& dir)
{
    for (const Kind& k : all())
        if (k.bytes.isEmpty() || !write(QDir(dir).filePath(k.name), k.bytes))
            return false;
    return true;
}

QByteArray pngChunk(const char* type, const QByteArray& data)
{
    const QByteArray body = QByteArray(type, 4) + data;
    QByteArray out(4, 0), crc(4, 0);
    qToBigEndian<quint32>(quint32(data.size()), out.data());
    qToBigEndian<quint32>(quint32(crc32(0, reinterpret_cast<const Bytef*>(body.constData()), uInt(body.size()))), crc.data());
    return out + body + crc;
}

QByteArray pngHeader(int w, int h, int depth, int colour, bool interlaced)
{
    QByteArray ihdr(13, 0);
    qToBigEndian<quint32>(quint32(w), ihdr.data());
    qToBigEndian<quint32>(quint32(h), ihdr.data() + 4);
    ihdr[8] = char(depth), ihdr[9] = char(colour), ihdr[12] = char(interlaced);
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", ihdr);
}

QByteArray repeatedScans(QSize size, int repeats)
{
    QImage flat(size, QImage::Format_RGB32);
    flat.fill(qRgb(128, 128, 128));
    const QByteArray file = qtFile(flat.convertToFormat(QImage::Format_Grayscale8), "JPEG", true);
    // Scan starts; the first scan's data ends at the next marker that is
    // neither a stuffed byte nor a restart.
    QList<int> scans;
    for (int i = 0; i + 1 < file.size(); ++i)
        if (uchar(file[i]) == 0xff && uchar(file[i + 1]) == 0xda)
            scans << i;
    int end = scans[0] + 2 + (uchar(file[scans[0] + 2]) << 8 | uchar(file[scans[0] + 3]));
    while (!(uchar(file[end]) == 0xff && file[end + 1] != 0 && (uchar(file[end + 1]) < 0xd0 || uchar(file[end + 1]) > 0xd7)))
        ++end;
    // The tables and the second scan, repeated.
    const QByteArray piece = file.mid(end, scans[2] - end);
    return file.left(scans[2]) + piece.repeated(repeats) + file.mid(scans[2]);
}

}
