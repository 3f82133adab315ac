#ifndef PAGEFONT_H
#define PAGEFONT_H

#include <QFont>
#include <QFontMetrics>

class QPaintDevice;

// Document text is measured and drawn at the page's own scale: 96 program
// pixels per inch, whatever resolution a screen (or a scaled desktop) reports,
// so the editor shows the line breaks and glyph sizes that print.
namespace PageFont {

constexpr int DPI = 96;

// Metrics of font at 96 per inch; the layout measures with these.
QFontMetrics metrics(const QFont& font);

// Font sized so that on device it covers as many painter units as the layout
// measured, whatever the device's own resolution.
QFont forDevice(QFont font, const QPaintDevice* device);

}

#endif
