#include "hitgeometry.h"

#include <QtGlobal>
#include <climits>

namespace HitGeometry {

namespace {

int toInt(qint64 v)
{
    return int(qBound<qint64>(INT_MIN, v, INT_MAX));
}

} // namespace

bool onObject(const Box& b, int px, int py)
{
    return qint64(b.x) - 2 < px && px < qint64(b.x) + b.w + 2 && qint64(b.y) - 2 < py && py < qint64(b.y) + b.h + 2;
}

bool onObjectEdge(const Box& b, int px, int py)
{
    return zoneOf(b, px, py) > ZONE_INSIDE;
}

Zone zoneOf(const Box& b, int px, int py)
{
    if (!onObject(b, px, py))
        return ZONE_NONE;
    if (px < qint64(b.x) + 3)
        return ZONE_LEFT;
    if (px > qint64(b.x) + b.w - 3)
        return ZONE_RIGHT;
    if (py < qint64(b.y) + 3)
        return ZONE_TOP;
    if (py > qint64(b.y) + b.h - 3)
        return ZONE_BOTTOM;
    return ZONE_INSIDE;
}

bool overlapRects(int ax1, int ay1, int ax2, int ay2, int bx1, int by1, int bx2, int by2)
{
    if (bx2 < ax1 || ax2 < bx1)
        return false;
    return ay2 >= by1 && by2 >= ay1;
}

int lastColumn(const Box& b)
{
    return toInt(qint64(b.x) + b.w - 1);
}

int lastRow(const Box& b)
{
    return toInt(qint64(b.y) + b.h - 1);
}

RectDelta dragEdge(const Box& b, Zone edge, int dx, int dy)
{
    const qint64 w = b.w;
    const qint64 h = b.h;
    RectDelta d;
    switch (edge) {
    case ZONE_TOP:
        d.dy = toInt(qMin<qint64>(dy, h - 1));
        d.dh = toInt(-qint64(d.dy));
        break;
    case ZONE_BOTTOM:
        d.dh = toInt(qMax<qint64>(dy, 1 - h));
        break;
    case ZONE_LEFT:
        d.dx = toInt(qMin<qint64>(dx, w - 1));
        d.dw = toInt(-qint64(d.dx));
        break;
    case ZONE_RIGHT:
        d.dw = toInt(qMax<qint64>(dx, 1 - w));
        break;
    default:
        break;
    }
    return d;
}

}
