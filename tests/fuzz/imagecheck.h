#ifndef IMAGECHECK_H
#define IMAGECHECK_H

// One file through the image decoder as the editor and output use it: the
// header, then the picture at full size, reduced and tiny. Shared by the
// image fuzz target and the test that reads its findings.
#include "imagedecoder.h"

#include <QImage>
#include <QSize>
#include <QString>

namespace ImageCheck {

// Pictures are decoded only up to this many pixels: larger ones are valid,
// just slow to decode many times over, and the suite covers them.
constexpr qint64 DECODE_PIXELS = 1 << 20;

inline QString checkDecoded(const QImage& image, ImageDecoder::Problem problem, QSize expected)
{
    if (problem != ImageDecoder::NoProblem)
        return image.isNull() ? QString() : QStringLiteral("an image despite a problem");
    if (image.size() != expected)
        return QStringLiteral("size %1x%2, asked for %3x%4")
            .arg(image.width()).arg(image.height()).arg(expected.width()).arg(expected.height());
    if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32_Premultiplied)
        return QStringLiteral("format %1").arg(int(image.format()));
    for (int y = 0; y < image.height() && image.hasAlphaChannel(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = reinterpret_cast<const QRgb*>(image.constScanLine(y))[x];
            if (qRed(p) > qAlpha(p) || qGreen(p) > qAlpha(p) || qBlue(p) > qAlpha(p))
                return QStringLiteral("not premultiplied at %1,%2").arg(x).arg(y);
        }
    return QString();
}

// What the decoder answered: the header, and the problem of each decode.
struct Outcome {
    ImageDecoder::Header header;
    ImageDecoder::Problem decoded[3] = {};
};

// What is wrong with the decoder's answers for path; empty when all is well.
inline QString check(const QString& path, Outcome* outcome = nullptr)
{
    using namespace ImageDecoder;
    Outcome scratch;
    Outcome& out = outcome ? *outcome : scratch;
    const Header h = out.header = probe(path);
    Problem problem = NoProblem;
    if (h.problem != NoProblem) {
        // A file refused by its header is refused by decoding as well.
        const QImage image = decode(path, QSize(3, 2), &problem);
        return problem == NoProblem || !image.isNull() ? QStringLiteral("decoded what the probe refused") : QString();
    }
    if (h.format.isEmpty() || h.size.isEmpty())
        return QStringLiteral("no format or size");
    const qint64 pixels = qint64(h.size.width()) * h.size.height();
    if (pixels > MAX_PIXELS)
        return QStringLiteral("accepted %1 pixels").arg(pixels);
    if (pixels > DECODE_PIXELS)
        return QString();
    // Full size, reduced, and tiny (never larger than the picture).
    const QSize wanted[3] = {h.size, QSize((h.size.width() + 1) / 2, (h.size.height() + 2) / 3), QSize(3, 2)};
    for (int i = 0; i < 3; ++i) {
        const QImage image = decode(path, i ? wanted[i] : QSize(), &problem);
        out.decoded[i] = problem;
        const QString wrong = checkDecoded(image, problem, wanted[i].boundedTo(h.size));
        if (!wrong.isEmpty())
            return wrong;
    }
    return QString();
}

}

#endif
