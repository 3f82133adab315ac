#ifndef HITGEOMETRY_H
#define HITGEOMETRY_H

#include <QList>
#include <QRect>
#include <QString>

// Where a point lies on an object's box, and what dragging does to the box.
// Pure integer geometry in edit-area units, usable without a window.
namespace HitGeometry {

enum Zone { ZONE_NONE = 0, ZONE_INSIDE = 1, ZONE_TOP = 2, ZONE_BOTTOM = 3, ZONE_LEFT = 4, ZONE_RIGHT = 5 };

// The box grown by one unit on every side (strict bounds at two units).
bool onObject(const QRect& box, int px, int py);

// Inside the hit rectangle and within the three-unit band along any edge.
bool onObjectEdge(const QRect& box, int px, int py);

// Zone of a point for a single selected box; corners belong to left/right.
Zone zoneOf(const QRect& box, int px, int py);

// Rectangles with inclusive corners; touching counts as overlapping.
bool overlapRects(int ax1, int ay1, int ax2, int ay2, int bx1, int by1, int bx2, int by2);

// Change to x, y, w, h for one drag step.
struct RectDelta {
    int dx = 0;
    int dy = 0;
    int dw = 0;
    int dh = 0;
    bool operator==(const RectDelta& o) const { return dx == o.dx && dy == o.dy && dw == o.dw && dh == o.dh; }
};

// Dragging `edge` (ZONE_TOP ... ZONE_RIGHT) of box by (dx, dy). The opposite
// edge stays put and width and height never drop below 1, so an edge dragged
// past the opposite one stops one unit short of it. Other zones give no change.
RectDelta dragEdge(const QRect& box, Zone edge, int dx, int dy);

// One page-number box: its label, edit area and top-left corner.
struct PageNumberSlot {
    QString label;
    int area;
    int x;
    int y;
};

constexpr int PAGE_NUMBER_W = 70;
constexpr int PAGE_NUMBER_H = 20;

// The page-number boxes for a booklet, last page (the back cover) first, then
// pages 1, 2, ...; W and H are the edit-area size, marginMm the printer margin.
// Empty for a page count other than 1, 4 or 8.
QList<PageNumberSlot> pageNumberSlots(int pageMax, const QString& direction, int W, int H, int marginMm);

}

#endif
