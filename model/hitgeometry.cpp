#include "hitgeometry.h"

#include "editarea.h"

#include <QtGlobal>

namespace HitGeometry {

// QRect(x, y, w, h) keeps left() == x, top() == y, width() == w and
// height() == h for any w and h, so the raw box survives the round trip.

bool onObject(const QRect& b, int px, int py)
{
    return b.x() - 2 < px && px < b.x() + b.width() + 2 && b.y() - 2 < py && py < b.y() + b.height() + 2;
}

bool onObjectEdge(const QRect& b, int px, int py)
{
    if (!onObject(b, px, py))
        return false;
    return px < b.x() + 3 || px > b.x() + b.width() - 3 || py < b.y() + 3 || py > b.y() + b.height() - 3;
}

Zone zoneOf(const QRect& b, int px, int py)
{
    if (!onObject(b, px, py))
        return ZONE_NONE;
    if (px < b.x() + 3)
        return ZONE_LEFT;
    if (px > b.x() + b.width() - 3)
        return ZONE_RIGHT;
    if (py < b.y() + 3)
        return ZONE_TOP;
    if (py > b.y() + b.height() - 3)
        return ZONE_BOTTOM;
    return ZONE_INSIDE;
}

bool overlapRects(int ax1, int ay1, int ax2, int ay2, int bx1, int by1, int bx2, int by2)
{
    if (bx2 < ax1 || ax2 < bx1)
        return false;
    return ay2 >= by1 && by2 >= ay1;
}

RectDelta dragEdge(const QRect& b, Zone edge, int dx, int dy)
{
    const int w = b.width();
    const int h = b.height();
    RectDelta d;
    switch (edge) {
    case ZONE_TOP:
        d.dy = qMin(dy, h - 1);
        d.dh = -d.dy;
        break;
    case ZONE_BOTTOM:
        d.dh = qMax(dy, 1 - h);
        break;
    case ZONE_LEFT:
        d.dx = qMin(dx, w - 1);
        d.dw = -d.dx;
        break;
    case ZONE_RIGHT:
        d.dw = qMax(dx, 1 - w);
        break;
    default:
        break;
    }
    return d;
}

QList<PageNumberSlot> pageNumberSlots(int pageMax, const QString& direction, int W, int H, int marginMm)
{
    QList<PageNumberSlot> result;
    if (pageMax != 1 && pageMax != 4 && pageMax != 8)
        return result;
    // The box's bottom edge sits on the printer margin at the page foot.
    const int y = int(H - (marginMm * 96 / 25.4 + PAGE_NUMBER_H));
    for (int i = 0; i < pageMax; ++i) {
        const int page = i == 0 ? pageMax : i;
        int area = 0;
        int half = 0;
        EditArea::pageLocation(page, pageMax, direction, &area, &half);
        if (area < 0)
            continue;
        int x;
        if (pageMax == 1)
            x = W / 2 - PAGE_NUMBER_W / 2;
        else
            x = W / 4 - PAGE_NUMBER_W / 2 + (half == 1 ? W / 2 : 0);
        result.append({QString("- %1 -").arg(page), area, x, y});
    }
    return result;
}

}
