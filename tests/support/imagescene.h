#ifndef IMAGESCENE_H
#define IMAGESCENE_H

#include <QImage>
#include <QList>
#include <QString>

class DrawObject;

// Image boxes in every arrangement painting treats differently: stretched,
// ratio kept with and without centring, rounded and page-edge clipping,
// rotation, mold cut, text on top, the sample's own picture. Their renderings
// are kept in tests/data/rendering, so a change in how images look is caught.
namespace ImageScene {

// Writes the scene's image files into dir.
void writeImages(const QString& dir);

// The scene's objects on a 560 x 397 edit area, using the images in dir.
// The caller owns them.
QList<DrawObject*> objects(const QString& dir);

// An image box showing file, without text; keep: the picture's ratio kept,
// centre: and centred.
DrawObject* picture(const QString& file, int x, int y, int w, int h, bool keep = false, bool centre = false);

// The objects painted bottom first: on screen at zoom, or as print output
// drawn at the program's own 96 per inch.
QImage render(const QList<DrawObject*>& objects, double zoom, bool printer);

}

#endif
