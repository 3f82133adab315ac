#ifndef HITGEOMETRY_H
#define HITGEOMETRY_H

// Where a point lies on an object's box, and what dragging does to the box.
// Pure integer geometry in edit-area units, usable without a window. Sums are
// taken in 64 bits, so boxes read from damaged documents near the int limits
// give plain answers instead of overflowing.
namespace HitGeometry {

enum Zone { ZONE_NONE = 0, ZONE_INSIDE = 1, ZONE_TOP = 2, ZONE_BOTTOM = 3, ZONE_LEFT = 4, ZONE_RIGHT = 5 };

// An object's box as stored: left, top, width, height (any values).
struct Box {
    int x;
    int y;
    int w;
    int h;
};

// The box grown by one unit on every side (strict bounds at two units).
bool onObject(const Box& box, int px, int py);

// Inside the hit rectangle and within the three-unit band along any edge.
bool onObjectEdge(const Box& box, int px, int py);

// Zone of a point for a single selected box; corners belong to left/right.
Zone zoneOf(const Box& box, int px, int py);

// Rectangles with inclusive corners; touching counts as overlapping.
bool overlapRects(int ax1, int ay1, int ax2, int ay2, int bx1, int by1, int bx2, int by2);

// The last column and row a box covers, held within int.
int lastColumn(const Box& box);
int lastRow(const Box& box);

// Change to x, y, w, h for one drag step.
struct RectDelta {
    int dx = 0;
    int dy = 0;
    int dw = 0;
    int dh = 0;
    bool operator==(const RectDelta& o) const { return dx == o.dx && dy == o.dy && dw == o.dw && dh == o.dh; }
    bool isNull() const { return *this == RectDelta(); }
};

// Dragging `edge` (ZONE_TOP ... ZONE_RIGHT) of box by (dx, dy). The opposite
// edge stays put and width and height never drop below 1, so an edge dragged
// past the opposite one stops one unit short of it. Other zones give no change.
RectDelta dragEdge(const Box& box, Zone edge, int dx, int dy);

}

#endif
