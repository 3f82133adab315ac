#include "imagescene.h"

#include "drawobject.h"
#include "objectpainter.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

namespace ImageScene {

const QRect AREA(0, 0, 560, 397);

DrawObject* picture(const QString& file, int x, int y, int w, int h, bool keep, bool centre)
{
    auto* o = new DrawObject(x, y, w, h);
    o->text.clear();
    o->setImgPath(file);
    o->imgRatioKeep = keep, o->imgCenter = centre;
    o->relocateText(QString());
    return o;
}

void writeImages(const QString& dir)
{
    const QDir d(dir);
    QImage quadrants(400, 300, QImage::Format_RGB32), photo(1200, 900, QImage::Format_RGB32), tall(150, 300, QImage::Format_RGB32);
    QPainter p(&quadrants);
    for (int i = 0; i < 4; ++i)
        p.fillRect(200 * (i % 2), 150 * (i / 2), 200, 150, QColor::fromRgb(QList<QRgb>{0xdc2828, 0x28aa3c, 0x2846d2, 0xf0d228}[i]));
    QLinearGradient g(0, 120, 400, 180);
    g.setStops({{0, Qt::white}, {1, Qt::black}});
    p.fillRect(0, 120, 400, 60, g);
    p.end();
    p.begin(&photo);
    QRadialGradient r(500, 400, 700);
    r.setStops({{0, QColor(250, 230, 180)}, {1, QColor(60, 90, 140)}});
    p.fillRect(photo.rect(), r);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 60, 50));
    p.drawEllipse(QPointF(800, 550), 220, 220);
    p.setBrush(QColor(30, 120, 60));
    p.drawRect(100, 600, 500, 300);
    p.end();
    p.begin(&tall);
    g = QLinearGradient(0, 0, 0, 300);
    g.setStops({{0, QColor(250, 160, 40)}, {1, QColor(90, 20, 120)}});
    p.fillRect(tall.rect(), g);
    p.fillRect(0, 140, 150, 20, Qt::black);
    p.end();
    quadrants.save(d.filePath("quadrants.png"));
    photo.save(d.filePath("photo.jpg"), "JPEG", 90);
    tall.save(d.filePath("tall.png"));
    QFile::copy(sourceDir() + "/examples/images/yama.png", d.filePath("yama.png"));
}

QList<DrawObject*> objects(const QString& dir)
{
    const QDir d(dir);
    const QList<DrawObject*> out = {
        picture(d.filePath("quadrants.png"), 20, 20, 200, 150),             // stretched
        picture(d.filePath("quadrants.png"), 240, 20, 120, 150, true, true), // taller box, centred
        picture(d.filePath("tall.png"), 380, 20, 160, 80, true),             // wider box, at the left
        picture(d.filePath("tall.png"), 380, 110, 160, 80, true, true),      // wider box, centred
        picture(d.filePath("photo.jpg"), 30, 200, 180, 140),                 // rounded, bordered, turned
        picture(d.filePath("quadrants.png"), 230, 190, 150, 150),            // cut out as a heart
        picture(d.filePath("yama.png"), 400, 210, 200, 160, true, true),     // past the page edge, text on top
        picture(d.filePath("photo.jpg"), 40, 350, 300, 60, true)};           // wide strip cut by the page bottom
    out[4]->bgRadius = 30, out[4]->r = 30, out[4]->borderStyle = 1, out[4]->borderWidth = 3;
    out[5]->shapeData = "Shape=5;BodyColor=255,0,0,255;LineColor=200,0,0,255;LineWidth=2;MoldCut=inside;";
    out[6]->text = "山の上の文字 Text", out[6]->textSize = 16, out[6]->textWeight = 75;
    out[6]->relocateText(QString());
    return out;
}

QImage render(const QList<DrawObject*>& objects, double zoom, bool printer)
{
    QImage img(AREA.size() * zoom, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::white);
    QPainter p(&img);
    p.scale(zoom, zoom);
    for (DrawObject* o : objects)
        paintObject(o, &p, AREA, QRect(), printer);
    p.end();
    return img;
}

}
