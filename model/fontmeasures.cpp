#include "fontmeasures.h"

#include "drawobject.h"
#include "pagefont.h"

namespace {

// A run meets a handful of fonts; a document with very many is simply
// measured afresh once the table is full.
constexpr int MAX_FONTS = 64;

}

FontMeasures::FontMeasures(const QFontMetrics& fm) : FontMeasures(fm, fm.boundingRect(QStringLiteral("Q"))) {}

// q is the text box of "Q": it covers the whole line (ascent to descent),
// unlike the glyph box of the character, so lines never overlap.
FontMeasures::FontMeasures(const QFontMetrics& fm, const QRect& q)
    : ooW(fm.horizontalAdvance(QStringLiteral("oo"))), lineHeight(q.bottom() - q.top() - 1), qTop(q.top()),
      height(fm.height()), maxWidth(fm.maxWidth()), mFm(fm)
{
}

std::shared_ptr<FontMeasures> FontMeasures::of(const QFont& font)
{
    // Never destroyed: fonts must not outlive the application object, which
    // goes before static objects do.
    static auto& fonts = *new QHash<QString, std::shared_ptr<FontMeasures>>;
    const QFontMetrics fm = PageFont::metrics(font);
    // Measures depend on the resolution fonts are measured at as well.
    const QString key = font.key() + QLatin1Char('@') + QString::number(fm.fontDpi());
    auto it = fonts.constFind(key);
    if (it != fonts.constEnd())
        return *it;
    if (fonts.size() >= MAX_FONTS)
        fonts.clear(); // measures in use stay alive with their users
    auto measures = std::make_shared<FontMeasures>(fm);
    fonts.insert(key, measures);
    return measures;
}

int FontMeasures::width(QChar c)
{
    const ushort u = c.unicode();
    auto it = mWidths.constFind(u);
    if (it != mWidths.constEnd())
        return *it;
    const int w = mFm.horizontalAdvance(QString(c));
    mWidths.insert(u, w);
    return w;
}

int FontMeasures::charPitch(int spacing) const
{
    return DrawObject::pitchFromTop(qTop, spacing);
}
