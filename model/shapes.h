#ifndef SHAPES_H
#define SHAPES_H

#include <QLineF>
#include <QList>
#include <QPainterPath>
#include <QRect>
#include <QString>

class QPainter;

// Shape kinds, the value of the "Shape" key in an object's shape data.
enum ShapeKind {
    SHAPE_NONE = 0,
    SHAPE_HLINE = 1,
    SHAPE_VLINE = 2,
    SHAPE_CIRCLE = 3,
    SHAPE_STAR = 4,
    SHAPE_HEART = 5,
    SHAPE_TRIANGLE = 6,
    SHAPE_DIAMOND = 7,
    SHAPE_BALLOON = 8
};

// The shape combo box lists the kinds in its own order; the table maps both
// ways (it is its own inverse). Values outside 0..8 pass through.
int shapeComboIndexToKind(int index);
int shapeKindToComboIndex(int kind);

// The keys a kind writes, in their order, with the values of a new shape.
struct ShapeKey {
    const char* key;
    const char* value;
};
QList<ShapeKey> shapeKeyDefaults(int kind);

// The shape data a kind starts with when it is chosen ("Shape=0;" for none).
QString defaultShapeData(int kind);

// Kind named by the data (0 when missing or not a number).
int shapeKindOf(const QString& data);
// True when the data asks for the background to be cut to the outline.
bool shapeMoldCut(const QString& data);

// Outlines of the closed kinds inside a box. Fractions of the box size are
// computed in integers, as the editor always has, so pixels stay stable.
QRectF circleRect(const QRect& box, bool ellipse);
QPainterPath circleOutline(const QRect& box, bool ellipse);
QPainterPath starOutline(const QRect& box);
QPainterPath heartOutline(const QRect& box);
QPainterPath triangleOutline(const QRect& box, const QString& direction);
QPainterPath diamondOutline(const QRect& box);
QPainterPath balloonOutline(const QRect& box, int radius, const QString& direction,
                            int tailPos, int tailWidth, int tailLength);

// Outline of whatever closed kind the data names; empty for lines and none.
QPainterPath shapeOutline(const QRect& box, const QString& data);

// The lines of a line kind (1 horizontal, 2 vertical), count of them.
QList<QLineF> shapeLines(const QRect& box, int kind, int count);

// Draws the shape of the data in the box with the painter's clip as it is.
void paintShape(QPainter* painter, const QRect& box, const QString& data);

#endif
