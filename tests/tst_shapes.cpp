#include "drawobject.h"
#include "shapes.h"

#include <QPainter>
#include <QtTest>

namespace {

// Paints a text-less object carrying the shape data (optionally on a blue
// background) onto white.
QImage paintShapeObject(const QRect& box, const QString& data, bool bg = false)
{
    QImage image(300, 200, QImage::Format_RGB32);
    image.fill(Qt::white);
    DrawObject obj(box.x(), box.y(), box.width(), box.height());
    obj.text.clear();
    obj.shapeData = data;
    obj.bgColorEnabled = bg;
    obj.bgColor = Qt::blue;
    QPainter p(&image);
    obj.paint(&p, image.rect(), QRect());
    return image;
}

bool is(const QImage& image, int x, int y, QColor c)
{
    const QColor got = image.pixelColor(x, y);
    return qAbs(got.red() - c.red()) < 8 && qAbs(got.green() - c.green()) < 8 && qAbs(got.blue() - c.blue()) < 8;
}

QString moldCut(int kind)
{
    return defaultShapeData(kind).replace("MoldCut=none", "MoldCut=inside");
}

} // namespace

class TestShapes : public QObject
{
    Q_OBJECT
private slots:
    void kindsAndDefaults();
    void linesSplitTheBoxEvenly();
    void outlinesCoverTheirShape();
    void paintedShapes();
    void moldCutKeepsOnlyTheShapedBackground();
    void damagedDataIsHarmless();
};

void TestShapes::kindsAndDefaults()
{
    QCOMPARE(shapeComboIndexToKind(4), int(SHAPE_TRIANGLE));
    QCOMPARE(shapeKindToComboIndex(SHAPE_TRIANGLE), 4);
    QCOMPARE(shapeKindToComboIndex(SHAPE_HEART), 7);
    for (int i = 0; i <= 8; ++i)
        QCOMPARE(shapeKindToComboIndex(shapeComboIndexToKind(i)), i);
    QCOMPARE(defaultShapeData(SHAPE_HEART),
             QString("Shape=5;BodyColor=255,0,0,255;LineColor=0,0,0,255;LineWidth=1;MoldCut=none;"));
    QCOMPARE(shapeKindOf(QString()), 0);
    QCOMPARE(shapeKindOf("Shape=3;Shape=4;"), 3); // first entry wins
}

void TestShapes::linesSplitTheBoxEvenly()
{
    const QList<QLineF> h = shapeLines(QRect(0, 0, 80, 100), SHAPE_HLINE, 3);
    QCOMPARE(h, QList<QLineF>({QLineF(0, 25, 80, 25), QLineF(0, 50, 80, 50), QLineF(0, 75, 80, 75)}));
    const QList<QLineF> v = shapeLines(QRect(10, 5, 90, 40), SHAPE_VLINE, 2);
    QCOMPARE(v, QList<QLineF>({QLineF(40, 5, 40, 45), QLineF(70, 5, 70, 45)}));
    QVERIFY(shapeLines(QRect(0, 0, 80, 100), SHAPE_HLINE, 0).isEmpty());
    // Painted: without LineCount there is one line, at mid height.
    const QImage one = paintShapeObject(QRect(0, 0, 100, 100), "Shape=1;LineColor=0,0,0,255;LineStyle=1;LineWidth=1;");
    QVERIFY(is(one, 50, 50, Qt::black));
    QVERIFY(is(one, 50, 40, Qt::white));
}

void TestShapes::outlinesCoverTheirShape()
{
    const QRect box(0, 0, 200, 160);
    QCOMPARE(circleRect(QRect(0, 0, 200, 100), false), QRectF(50, 0, 100, 100));
    QCOMPARE(circleRect(QRect(0, 0, 200, 100), true), QRectF(0, 0, 200, 100));

    const QPainterPath star = starOutline(box);
    QVERIFY(star.contains(QPointF(100, 80))); // inner pentagon filled
    QVERIFY(!star.contains(QPointF(100, 150)));
    const QPainterPath heart = heartOutline(box);
    QVERIFY(heart.contains(QPointF(100, 80)));
    QVERIFY(!heart.contains(QPointF(100, 5))); // dip between the lobes
    QVERIFY(diamondOutline(box).contains(QPointF(100, 80)) && !diamondOutline(box).contains(QPointF(195, 155)));

    struct Probe { const char* dir; QPointF in, out; };
    for (const Probe& pr : {Probe{"N", {100, 150}, {10, 10}}, Probe{"S", {100, 10}, {10, 150}},
                            Probe{"E", {10, 80}, {190, 10}}, Probe{"W", {190, 80}, {10, 10}}}) {
        QVERIFY2(triangleOutline(box, pr.dir).contains(pr.in), pr.dir);
        QVERIFY2(!triangleOutline(box, pr.dir).contains(pr.out), pr.dir);
    }

    const QRect b(0, 0, 200, 100);
    const QPainterPath s = balloonOutline(b, 0, "S", 50, 20, 20);
    QCOMPARE(s.boundingRect(), QRectF(0, 0, 200, 120));
    QVERIFY(s.contains(QPointF(100, 115)));
    QVERIFY(!s.contains(QPointF(85, 110)));
    QCOMPARE(balloonOutline(b, 0, "N", 25, 20, 30).boundingRect(), QRectF(0, -30, 200, 130));
    QCOMPARE(balloonOutline(b, 0, "S", 50, 20, -20).boundingRect(), QRectF(b)); // tail points inward
    QVERIFY(!balloonOutline(b, 30, "S", 50, 20, 20).contains(QPointF(2, 2)));

    // Through the data, and again: reused outlines follow box and data.
    QCOMPARE(shapeOutline(b, defaultShapeData(SHAPE_BALLOON)).boundingRect(), QRectF(0, 0, 200, 120));
    QCOMPARE(shapeOutline(QRect(10, 0, 200, 100), defaultShapeData(SHAPE_BALLOON)).boundingRect(), QRectF(10, 0, 200, 120));
    for (int i = 0; i < 1200; ++i) {
        const QString data = QString("Shape=8;Direction=S;SippoP=50;SippoW=10;SippoH=%1;").arg(i);
        QCOMPARE(shapeOutline(b, data).boundingRect().height(), 100.0 + i);
    }
    QVERIFY(shapeOutline(b, "Shape=1;").isEmpty());
}

void TestShapes::paintedShapes()
{
    const QImage circle = paintShapeObject(QRect(50, 50, 200, 100), defaultShapeData(SHAPE_CIRCLE));
    QVERIFY(is(circle, 150, 100, Qt::yellow));
    QVERIFY(is(circle, 70, 100, Qt::white));
    QVERIFY(is(circle, 150, 50, Qt::black)); // outline
    const QImage balloon = paintShapeObject(QRect(50, 20, 200, 100), defaultShapeData(SHAPE_BALLOON));
    QVERIFY(is(balloon, 150, 130, Qt::yellow)); // tail outside the box
    // Incomplete data draws nothing.
    for (const QString d : {"Shape=3;LineColor=0,0,0,255;LineWidth=1;", "Shape=1;LineColor=0,0,0,255;LineStyle=;LineWidth=1;",
                            "Shape=12;BodyColor=255,0,0,255;LineColor=0,0,0,255;LineWidth=1;"}) {
        const QImage img = paintShapeObject(QRect(0, 0, 300, 200), d);
        QImage white(img.size(), img.format());
        white.fill(Qt::white);
        QCOMPARE(img, white);
    }
}

void TestShapes::moldCutKeepsOnlyTheShapedBackground()
{
    const QImage heart = paintShapeObject(QRect(50, 20, 200, 160), moldCut(SHAPE_HEART), true);
    QVERIFY(is(heart, 150, 100, Qt::blue)); // background, no red body
    QVERIFY(is(heart, 52, 22, Qt::white));
    QVERIFY(is(heart, 150, 24, Qt::white));
    const QImage circle = paintShapeObject(QRect(50, 50, 200, 100), moldCut(SHAPE_CIRCLE), true);
    QVERIFY(is(circle, 150, 100, Qt::blue));
    QVERIFY(is(circle, 70, 100, Qt::white));
    QVERIFY(is(circle, 150, 50, Qt::black)); // still outlined
    // Lines have no outline: nothing is cut, not even to a rounded box.
    QVERIFY(is(paintShapeObject(QRect(50, 50, 200, 100), "Shape=1;MoldCut=inside;", true), 51, 51, Qt::blue));
}

void TestShapes::damagedDataIsHarmless()
{
    QCOMPARE(shapeLines(QRect(0, 0, 50, 40), SHAPE_HLINE, 2000000000).size(), 40);
    QVERIFY(shapeLines(QRect(0, 0, 50, 40), SHAPE_HLINE, -5).isEmpty());
    const QImage img = paintShapeObject(QRect(0, 0, 300, 200),
                                        "Shape=8;BodyColor=255,255,0,255;LineColor=0,0,0,255;LineWidth=99999;"
                                        "Radius=2147483647;Direction=N;SippoP=2000000000;SippoW=99999999;SippoH=-99999999;");
    QVERIFY(!img.isNull());
    const QRectF r = shapeOutline(QRect(0, 0, 100, 100), "Shape=8;Direction=E;SippoP=99999999999;SippoW=5;SippoH=5;").boundingRect();
    QVERIFY(qIsFinite(r.height()) && r.height() < 1e9);
}

QTEST_MAIN(TestShapes)
#include "tst_shapes.moc"
