#ifndef FONTMEASURES_H
#define FONTMEASURES_H

#include <QFont>
#include <QFontMetrics>
#include <QHash>

#include <memory>

// What layout and painting measure of one font. Measuring shapes text, and
// every layout asks again for the same few hundred characters, so each font's
// measures are kept for the rest of the run.
class FontMeasures
{
public:
    explicit FontMeasures(const QFontMetrics& fm);

    // The shared measures of a font (as DrawObject::makeFont gives it).
    static std::shared_ptr<FontMeasures> of(const QFont& font);

    const QFontMetrics& metrics() const { return mFm; }
    // Advance of one code unit measured as a text of its own.
    int width(QChar c);
    // Vertical character pitch with `spacing` (see DrawObject::charPitch).
    int charPitch(int spacing) const;

    const int ooW;        // width of "oo", about one full-width character
    const int lineHeight; // text box of "Q" (ascent to descent) less 2
    const int qTop;       // top of that box, above the baseline
    const int height;
    const int maxWidth;

private:
    FontMeasures(const QFontMetrics& fm, const QRect& q);

    QFontMetrics mFm;
    QHash<ushort, int> mWidths;
};

#endif
