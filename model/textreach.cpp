#include "textreach.h"

#include "drawobject.h"
#include "fontmeasures.h"
#include "setting.h"

#include <QTransform>

#include <algorithm>

namespace TextReach {

namespace {

bool g_unbounded = false;

// The widest outline painting draws; wider stored widths are cut to it.
constexpr int MAX_OUTLINE = 8;

qint64 magnitude(qint64 v)
{
    return v < 0 ? -v : v;
}

}

QRect pageRect()
{
    return QRect(0, 0, _EDITAREA_W_PX, _EDITAREA_H_PX);
}

QRect reach(const DrawObject& obj, const QRect& area, const FontMeasures& font)
{
    if (area.isEmpty())
        return QRect();
    // Painting turns the box about its centre; turn the area back into the
    // box's own frame.
    QRectF local(area);
    if (obj.r != 0) {
        const qreal cx = qint64(obj.x) + obj.w / 2, cy = qint64(obj.y) + obj.h / 2;
        QTransform t;
        t.translate(cx, cy);
        t.rotate(obj.r);
        t.translate(-cx, -cy);
        local = t.inverted().mapRect(local);
    }
    // Ink strays from a glyph's rectangle by up to a few characters (wide or
    // slanted glyphs, marks), the outline and the vertical-writing corrections.
    qint64 margin = 3 * qint64(qMax(qMax(font.ooW, font.height), font.maxWidth)) + MAX_OUTLINE + 4;
    if (obj.textTategaki)
        margin += qMax(qMax(magnitude(obj.textTateRevRotateX), magnitude(obj.textTateRevRotateY)),
                       qMax(qMax(magnitude(obj.textTateRevMiniX), magnitude(obj.textTateRevMiniY)),
                            qMax(magnitude(obj.textTateRevPuncX), magnitude(obj.textTateRevPuncY))));
    const qreal m = qreal(qMin<qint64>(margin, 1 << 28));
    local.translate(-qreal(obj.x), -qreal(obj.y));
    if (obj.textImaging) // drawn through the image of the box, never past it
        local &= QRectF(0, 0, obj.w, obj.h);
    if (local.isEmpty())
        return QRect();
    local.adjust(-m - 1, -m - 1, m + 1, m + 1);
    const qreal limit = 1 << 29; // layout rectangles are pinned to this range
    local &= QRectF(-limit, -limit, 2 * limit, 2 * limit);
    return local.toAlignedRect();
}

void entrySpan(const DrawObject& obj, const QRect& r, int* first, int* last)
{
    const int n = qMin(obj.layoutRects.size(), qMin(obj.layoutFlags.size(), obj.layoutTexts.size()));
    *first = 0;
    *last = n;
    // Short lists (and hand-made ones) are simply checked one by one.
    if (g_unbounded || n < 64)
        return;
    const QList<QRect>& rects = obj.layoutRects;
    const bool vertical = obj.textTategaki;
    // Lines (columns) are stacked along y (x); the stacking may run either way.
    auto lo = [vertical](const QRect& q) { return vertical ? q.left() : q.top(); };
    auto hi = [vertical](const QRect& q) { return vertical ? q.right() : q.bottom(); };
    const int from = vertical ? r.left() : r.top();
    const int to = vertical ? r.right() : r.bottom();
    if (lo(rects.first()) <= lo(rects.last())) {
        *first = int(std::partition_point(rects.begin(), rects.end(), [&](const QRect& q) { return hi(q) < from; })
                     - rects.begin());
        *last = int(std::partition_point(rects.begin() + *first, rects.end(), [&](const QRect& q) { return lo(q) <= to; })
                    - rects.begin());
    } else {
        *first = int(std::partition_point(rects.begin(), rects.end(), [&](const QRect& q) { return lo(q) > to; })
                     - rects.begin());
        *last = int(std::partition_point(rects.begin() + *first, rects.end(), [&](const QRect& q) { return hi(q) >= from; })
                    - rects.begin());
    }
}

void setUnbounded(bool on)
{
    g_unbounded = on;
}

bool unbounded()
{
    return g_unbounded;
}

}
