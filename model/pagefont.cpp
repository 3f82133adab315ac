#include "pagefont.h"

#include <QImage>
#include <QPaintDevice>

namespace PageFont {

namespace {

// A device whose only use is to tell fonts the page resolution.
const QPaintDevice* pageDevice()
{
    static const QImage device = [] {
        QImage image(1, 1, QImage::Format_ARGB32_Premultiplied);
        const int dotsPerMeter = qRound(DPI / 0.0254);
        image.setDotsPerMeterX(dotsPerMeter);
        image.setDotsPerMeterY(dotsPerMeter);
        return image;
    }();
    return &device;
}

}

QFontMetrics metrics(const QFont& font)
{
    return QFontMetrics(font, const_cast<QPaintDevice*>(pageDevice()));
}

QFont forDevice(QFont font, const QPaintDevice* device)
{
    const int deviceDpi = device ? device->logicalDpiY() : 0;
    if (deviceDpi > 0 && deviceDpi != DPI)
        font.setPointSizeF(font.pointSizeF() * DPI / deviceDpi);
    return font;
}

}
