#ifndef TEXTREACH_H
#define TEXTREACH_H

#include <QRect>

class DrawObject;
class FontMeasures;

// Where a box's text can be seen. Text drawn directly may run past its box
// (the overflow of a chain's last member) as far as the page; text drawn
// through the text image stays inside the box. Layout places only the glyphs
// that can reach a page, and painting visits only those that reach the part
// being drawn. Rectangles are box-relative, like the layout's rectangles.
namespace TextReach {

// The edit area of the current formation, in page coordinates.
QRect pageRect();

// The box-relative rectangle whose glyphs can show through `area` (page
// coordinates), widened by how far ink may stray from a layout rectangle
// (outline, glyph overhang, vertical-writing corrections).
QRect reach(const DrawObject& obj, const QRect& area, const FontMeasures& font);

// Index range [*first, *last) of obj's layout entries that may intersect r;
// entries outside it are never visited. Lines are stacked monotonically, so
// the range is found by bisection.
void entrySpan(const DrawObject& obj, const QRect& r, int* first, int* last);

// For tests and benchmarks: lay out and paint every glyph, wherever it is.
void setUnbounded(bool on);
bool unbounded();

}

#endif
