#ifndef OBJECTPAINTER_H
#define OBJECTPAINTER_H

#include <QRect>
#include <QSize>

class DrawObject;
class QPainter;
class QPaintDevice;

// Printing and PDF export paint on a QPrinter; everything else is the screen.
// Screen-only marks (chain number, selection frame) are left out on a printer,
// and outlined or imaged text gets a finer off-screen image there.
bool isPrinterDevice(const QPaintDevice* device);

// Paints obj as DrawObject::paint does, with the device kind given instead of
// detected, so print output can be rendered into an image and inspected.
void paintObject(DrawObject* obj, QPainter* painter, QRect clip1, QRect clip2, bool printer);

// Where an image of imageSize lands in box when it keeps its aspect ratio
// (optionally centred); the whole box otherwise.
QRect imageTargetRect(const QRect& box, QSize imageSize, bool ratioKeep, bool center);

#endif
