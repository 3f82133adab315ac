#include "imagekinds.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QtEndian>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <functional>

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

QImage grey(const QImage& in, int depth)
{
    QImage out = in;
    const int top = (1 << depth) - 1;
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x) {
            const QRgb p = out.pixel(x, y);
            const int v = (qGray(p) * top + 127) / 255 * 255 / top;
            out.setPixel(x, y, qRgba(v, v, v, qAlpha(p)));
        }
    return out;
}

// ---- JPEG ----

enum JpegColour { JPEG_RGB, JPEG_GREY, JPEG_CMYK, JPEG_YCCK };

QByteArray jpeg(const QImage& image, JpegColour colour = JPEG_RGB, bool progressive = false, bool arithmetic = false,
                int restart = 0)
{
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &out, &size);
    c.image_width = JDIMENSION(image.width());
    c.image_height = JDIMENSION(image.height());
    c.input_components = colour == JPEG_GREY ? 1 : colour == JPEG_RGB ? 3 : 4;
    c.in_color_space = colour == JPEG_GREY ? JCS_GRAYSCALE : colour == JPEG_RGB ? JCS_RGB : JCS_CMYK;
    jpeg_set_defaults(&c);
    if (colour == JPEG_YCCK)
        jpeg_set_colorspace(&c, JCS_YCCK);
    jpeg_set_quality(&c, 95, TRUE);
    if (progressive)
        jpeg_simple_progression(&c);
    c.arith_code = arithmetic ? TRUE : FALSE;
    c.restart_interval = unsigned(restart);
    jpeg_start_compress(&c, TRUE);
    std::vector<JSAMPLE> row(size_t(image.width()) * 4);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            JSAMPLE* s = row.data() + x * c.input_components;
            if (colour == JPEG_GREY) {
                s[0] = JSAMPLE(qRed(p));
            } else if (colour == JPEG_RGB) {
                s[0] = JSAMPLE(qRed(p)), s[1] = JSAMPLE(qGreen(p)), s[2] = JSAMPLE(qBlue(p));
            } else {
                // Inverted CMYK, as Adobe applications write it.
                const int m = qMax(1, qMax(qRed(p), qMax(qGreen(p), qBlue(p))));
                s[0] = JSAMPLE(qRed(p) * 255 / m), s[1] = JSAMPLE(qGreen(p) * 255 / m), s[2] = JSAMPLE(qBlue(p) * 255 / m);
                s[3] = JSAMPLE(m);
            }
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

// ---- PNG ----

struct PngOptions {
    int colour = PNG_COLOR_TYPE_RGB;
    int depth = 8;
    bool interlaced = false;
    bool key = false; // a tRNS colour key for the blue quarter
};

QByteArray png(const QImage& image, PngOptions o, const QList<QRgb>& palette = {})
{
    QByteArray bytes;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    std::vector<std::vector<png_byte>> rows(size_t(image.height()));
    std::vector<png_bytep> pointers;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return QByteArray();
    }
    png_set_write_fn(
        png, &bytes,
        [](png_structp p, png_bytep data, png_size_t n) {
            static_cast<QByteArray*>(png_get_io_ptr(p))->append(reinterpret_cast<const char*>(data), int(n));
        },
        [](png_structp) {});
    png_set_IHDR(png, info, png_uint_32(image.width()), png_uint_32(image.height()), o.depth, o.colour,
                 o.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    const int top = (1 << qMin(o.depth, 8)) - 1;
    if (o.colour == PNG_COLOR_TYPE_PALETTE) {
        std::vector<png_color> entries;
        std::vector<png_byte> alphas;
        for (QRgb p : palette) {
            entries.push_back({png_byte(qRed(p)), png_byte(qGreen(p)), png_byte(qBlue(p))});
            alphas.push_back(png_byte(qAlpha(p)));
        }
        png_set_PLTE(png, info, entries.data(), int(entries.size()));
        png_set_tRNS(png, info, alphas.data(), int(alphas.size()), nullptr);
    }
    if (o.key) {
        const QRgb blue = quarter(2, false);
        png_color_16 key{};
        if (o.colour == PNG_COLOR_TYPE_GRAY)
            key.gray = png_uint_16((qGray(blue) * top + 127) / 255);
        else
            key.red = png_uint_16(qRed(blue)), key.green = png_uint_16(qGreen(blue)), key.blue = png_uint_16(qBlue(blue));
        png_set_tRNS(png, info, nullptr, 0, &key);
    }
    png_write_info(png, info);
    const int scale = o.depth == 16 ? 257 : 1;
    for (int y = 0; y < image.height(); ++y) {
        std::vector<png_byte>& row = rows[size_t(y)];
        // 16-bit samples big-endian; below 8 bits packed into bytes.
        auto put = [&](int v) {
            if (o.depth == 16)
                row.push_back(png_byte(v >> 8));
            row.push_back(png_byte(v));
        };
        int bits = 0, acc = 0;
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (o.colour == PNG_COLOR_TYPE_PALETTE || (o.colour == PNG_COLOR_TYPE_GRAY && o.depth < 8)) {
                const int v = o.colour == PNG_COLOR_TYPE_PALETTE ? int(palette.indexOf(p)) : (qGray(p) * top + 127) / 255;
                acc = (acc << o.depth) | v;
                bits += o.depth;
                if (bits == 8)
                    row.push_back(png_byte(acc)), bits = 0, acc = 0;
                continue;
            }
            if (o.colour & PNG_COLOR_MASK_COLOR)
                put(qRed(p) * scale), put(qGreen(p) * scale), put(qBlue(p) * scale);
            else
                put(qGray(p) * scale);
            if (o.colour & PNG_COLOR_MASK_ALPHA)
                put(qAlpha(p) * scale);
        }
        if (bits)
            row.push_back(png_byte(acc << (8 - bits)));
        pointers.push_back(row.data());
    }
    png_write_image(png, pointers.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return bytes;
}

// ---- GIF: four colours, codes kept at three bits by a clear code every two ----

QByteArray gif(const QImage& image, bool transparent)
{
    QList<QRgb> palette;
    for (int i = 0; i < 4; ++i)
        palette << quarter(i, false);
    QByteArray out("GIF89a");
    auto le16 = [&](int v) { out.append(char(v & 0xff)).append(char(v >> 8)); };
    le16(image.width()), le16(image.height());
    out.append(char(0x91)).append(char(0)).append(char(0));
    for (QRgb p : palette)
        out.append(char(qRed(p))).append(char(qGreen(p))).append(char(qBlue(p)));
    if (transparent)
        out.append(QByteArray::fromHex("21f9040100000200"));
    out.append(char(0x2c));
    le16(0), le16(0), le16(image.width()), le16(image.height());
    out.append(char(0)).append(char(2));
    QByteArray data;
    quint32 acc = 0;
    int bits = 0;
    auto code = [&](int c) {
        acc |= quint32(c) << bits;
        for (bits += 3; bits >= 8; bits -= 8, acc >>= 8)
            data.append(char(acc & 0xff));
    };
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x, ++n) {
            if (n % 2 == 0)
                code(4);
            code(int(palette.indexOf(image.pixel(x, y) | 0xff000000)));
        }
    code(5);
    if (bits)
        data.append(char(acc & 0xff));
    for (int at = 0; at < data.size(); at += 255) {
        const QByteArray block = data.mid(at, 255);
        out.append(char(block.size())).append(block);
    }
    out.append(char(0)).append(char(0x3b));
    return out;
}

QByteArray qtFile(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

}

QImage picture(bool alpha)
{
    QImage img(W, H, QImage::Format_ARGB32);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            img.setPixel(x, y, quarter((y >= H / 2 ? 2 : 0) + (x >= W / 2 ? 1 : 0), alpha));
    return img;
}

QList<Kind> all()
{
    const QImage rgb = picture(false), rgba = picture(true);
    auto keyedOut = [](QImage img) { // the blue quarter transparent
        for (int y = H / 2; y < H; ++y)
            for (int x = 0; x < W / 2; ++x)
                img.setPixel(x, y, 0);
        return img;
    };
    const QImage keyed = keyedOut(rgb);
    QList<QRgb> opaque, translucent;
    for (int i = 0; i < 4; ++i)
        opaque << quarter(i, false), translucent << quarter(i, true);

    using O = PngOptions;
    return {
        {"baseline.jpg", jpeg(rgb), rgb, 24},
        {"progressive.jpg", jpeg(rgb, JPEG_RGB, true), rgb, 24},
        {"arithmetic.jpg", jpeg(rgb, JPEG_RGB, true, true), rgb, 24},
        {"restart.jpg", jpeg(rgb, JPEG_RGB, false, false, 1), rgb, 24},
        {"grey.jpg", jpeg(grey(rgb, 8), JPEG_GREY), grey(rgb, 8), 12},
        // CMYK's integer samples lose a unit or two, well within the tolerance.
        {"cmyk.jpg", jpeg(rgb, JPEG_CMYK), rgb, 24},
        {"ycck.jpg", jpeg(rgb, JPEG_YCCK, true), rgb, 24},
        {"rgb8.png", png(rgb, O{}), rgb, 0},
        {"rgba8.png", png(rgba, O{PNG_COLOR_TYPE_RGB_ALPHA, 8}), rgba, 1},
        {"rgb16.png", png(rgb, O{PNG_COLOR_TYPE_RGB, 16}), rgb, 0},
        {"rgba16.png", png(rgba, O{PNG_COLOR_TYPE_RGB_ALPHA, 16}), rgba, 1},
        {"grey1.png", png(rgb, O{PNG_COLOR_TYPE_GRAY, 1}), grey(rgb, 1), 0},
        {"grey4.png", png(rgb, O{PNG_COLOR_TYPE_GRAY, 4}), grey(rgb, 4), 0},
        {"grey8.png", png(grey(rgb, 8), O{PNG_COLOR_TYPE_GRAY, 8}), grey(rgb, 8), 0},
        {"grey16.png", png(grey(rgb, 8), O{PNG_COLOR_TYPE_GRAY, 16}), grey(rgb, 8), 0},
        {"greyalpha.png", png(grey(rgba, 8), O{PNG_COLOR_TYPE_GRAY_ALPHA, 8}), grey(rgba, 8), 1},
        {"palette8.png", png(rgb, O{PNG_COLOR_TYPE_PALETTE, 8}, opaque), rgb, 0},
        {"palette2-alpha.png", png(rgba, O{PNG_COLOR_TYPE_PALETTE, 2}, translucent), rgba, 1},
        {"rgb-key.png", png(rgb, O{PNG_COLOR_TYPE_RGB, 8, false, true}), keyed, 0},
        {"grey-key.png", png(grey(rgb, 8), O{PNG_COLOR_TYPE_GRAY, 8, false, true}), keyedOut(grey(rgb, 8)), 0},
        {"interlaced.png", png(rgba, O{PNG_COLOR_TYPE_RGB_ALPHA, 8, true}), rgba, 1},
        {"interlaced-grey2.png", png(rgb, O{PNG_COLOR_TYPE_GRAY, 2, true}), grey(rgb, 2), 0},
        {"opaque.gif", gif(rgb, false), rgb, 0},
        {"transparent.gif", gif(rgb, true), keyed, 0},
        {"picture.bmp", qtFile(rgb, "BMP"), rgb, 0},
        {"picture.ico", qtFile(rgb, "ICO"), rgb, 0},
        {"picture.ppm", qtFile(rgb, "PPM"), rgb, 0},
    };
}

bool writeAll(const QString& dir)
{
    for (const Kind& k : all()) {
        QFile f(QDir(dir).filePath(k.name));
        if (k.bytes.isEmpty() || !f.open(QIODevice::WriteOnly) || f.write(k.bytes) != k.bytes.size())
            return false;
    }
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

QByteArray jpegOf(const QImage& image)
{
    return jpeg(image);
}

QByteArray repeatedScans(QSize size, int repeats)
{
    QImage flat(size, QImage::Format_RGB32);
    flat.fill(qRgb(128, 128, 128));
    const QByteArray file = jpeg(flat, JPEG_GREY, true);
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
