#include "drawobject.h"
#include "objectpainter.h"
#include "shapes.h"

#include <QImage>
#include <QPainter>
#include <QtTest>

namespace {

const QRgb WHITE = qRgb(255, 255, 255);

// Paints a text-less object carrying only the shape data, on white.
QImage paintShapeObject(const QRect& box, const QString& data, bool bg = false)
{
    QImage image(300, 200, QImage::Format_RGB32);
    image.fill(Qt::white);
    DrawObject obj(box.x(), box.y(), box.width(), box.height());
    obj.text.clear();
    obj.shapeData = data;
    if (bg) {
        obj.bgColorEnabled = true;
        obj.bgColor = QColor(0, 0, 255);
    }
    QPainter p(&image);
    obj.paint(&p, image.rect(), QRect());
    p.end();
    return image;
}

bool isColor(const QImage& image, int x, int y, QColor c)
{
    const QColor got = image.pixelColor(x, y);
    return qAbs(got.red() - c.red()) < 8 && qAbs(got.green() - c.green()) < 8 && qAbs(got.blue() - c.blue()) < 8;
}

} // namespace

class TestShapes : public QObject
{
    Q_OBJECT
private slots:
    void comboTableMapsBothWays();
    void defaultDataPerKind();
    void circleSitsInTheMiddleOfTheLongerSide();
    void linesSplitTheBoxEvenly();
    void outlinesCoverTheirShape();
    void balloonTailFollowsDirection();
    void closedShapePaintsBodyAndOutline();
    void incompleteDataDrawsNothing();
    void moldCutKeepsOnlyTheShapedBackground();
    void absurdValuesStayBounded();
    void repeatedLookupsFollowTheirInput();
};

void TestShapes::comboTableMapsBothWays()
{
    QCOMPARE(shapeComboIndexToKind(4), int(SHAPE_TRIANGLE));
    QCOMPARE(shapeKindToComboIndex(SHAPE_TRIANGLE), 4);
    QCOMPARE(shapeComboIndexToKind(6), int(SHAPE_STAR));
    QCOMPARE(shapeKindToComboIndex(SHAPE_HEART), 7);
    for (int i = 0; i <= 8; ++i)
        QCOMPARE(shapeKindToComboIndex(shapeComboIndexToKind(i)), i);
    QCOMPARE(shapeComboIndexToKind(9), 9);
    QCOMPARE(shapeKindToComboIndex(-1), -1);
}

void TestShapes::defaultDataPerKind()
{
    QCOMPARE(defaultShapeData(SHAPE_CIRCLE),
             QString("Shape=3;BodyColor=255,255,0,255;LineColor=0,0,0,255;LineWidth=1;IsEllipse=false;MoldCut=none;"));
    QCOMPARE(defaultShapeData(SHAPE_HEART),
             QString("Shape=5;BodyColor=255,0,0,255;LineColor=0,0,0,255;LineWidth=1;MoldCut=none;"));
    QCOMPARE(defaultShapeData(SHAPE_VLINE), QString("Shape=2;LineColor=0,0,0,255;LineStyle=1;LineWidth=1;LineCount=1;"));
    QCOMPARE(defaultShapeData(SHAPE_BALLOON),
             QString("Shape=8;BodyColor=255,255,0,255;LineColor=0,0,0,255;LineWidth=1;MoldCut=none;"
                     "Radius=0;Direction=S;SippoP=50;SippoW=20;SippoH=20;"));
    QCOMPARE(defaultShapeData(SHAPE_NONE), QString("Shape=0;"));
    QCOMPARE(shapeKindOf(defaultShapeData(SHAPE_TRIANGLE)), int(SHAPE_TRIANGLE));
    QCOMPARE(DrawObject::findValue("Direction", defaultShapeData(SHAPE_TRIANGLE), ""), QString("N"));
    QCOMPARE(shapeKindOf(QString()), 0);
    QVERIFY(!shapeMoldCut(defaultShapeData(SHAPE_STAR)));
    QVERIFY(shapeMoldCut("Shape=4;MoldCut=inside;"));
}

void TestShapes::circleSitsInTheMiddleOfTheLongerSide()
{
    QCOMPARE(circleRect(QRect(0, 0, 200, 100), false), QRectF(50, 0, 100, 100));
    QCOMPARE(circleRect(QRect(0, 0, 200, 100), true), QRectF(0, 0, 200, 100));
    QCOMPARE(circleRect(QRect(10, 20, 60, 101), false), QRectF(10, 40, 60, 60));
    QCOMPARE(circleOutline(QRect(0, 0, 200, 100), false).boundingRect(), QRectF(50, 0, 100, 100));
}

void TestShapes::linesSplitTheBoxEvenly()
{
    const QList<QLineF> h = shapeLines(QRect(0, 0, 80, 100), SHAPE_HLINE, 3);
    QCOMPARE(h.size(), 3);
    QCOMPARE(h.at(0), QLineF(0, 25, 80, 25));
    QCOMPARE(h.at(1).y1(), 50.0);
    QCOMPARE(h.at(2).y1(), 75.0);
    const QList<QLineF> v = shapeLines(QRect(10, 5, 90, 40), SHAPE_VLINE, 2);
    QCOMPARE(v, QList<QLineF>({QLineF(40, 5, 40, 45), QLineF(70, 5, 70, 45)}));
    QVERIFY(shapeLines(QRect(0, 0, 80, 100), SHAPE_HLINE, 0).isEmpty());
    QVERIFY(shapeLines(QRect(0, 0, 80, 100), SHAPE_CIRCLE, 3).isEmpty());

    // Painted: a line of the default data at mid height, and a missing
    // LineCount counts as one line.
    const QImage one = paintShapeObject(QRect(0, 0, 100, 100), "Shape=1;LineColor=0,0,0,255;LineStyle=1;LineWidth=1;");
    QVERIFY(isColor(one, 50, 50, Qt::black));
    QVERIFY(isColor(one, 50, 40, Qt::white));
    const QImage none =
        paintShapeObject(QRect(0, 0, 100, 100), "Shape=1;LineColor=0,0,0,255;LineStyle=1;LineWidth=1;LineCount=0;");
    QVERIFY(isColor(none, 50, 50, Qt::white));
}

void TestShapes::outlinesCoverTheirShape()
{
    const QRect box(0, 0, 200, 160);
    const QPointF centre(100, 80);

    const QPainterPath star = starOutline(box);
    QVERIFY(star.contains(centre)); // the inner pentagon is part of the star
    QVERIFY(star.contains(QPointF(100, 10)));
    QVERIFY(!star.contains(QPointF(100, 150))); // between the two lower points
    QVERIFY(!star.contains(QPointF(5, 5)));

    const QPainterPath heart = heartOutline(box);
    QVERIFY(heart.contains(centre));
    QVERIFY(heart.contains(QPointF(50, 30)));
    QVERIFY(!heart.contains(QPointF(100, 5))); // the dip between the lobes
    QVERIFY(!heart.contains(QPointF(10, 150)));
    QCOMPARE(heart.boundingRect().bottom(), 160.0);

    struct Probe { const char* dir; QPointF in; QPointF out; };
    const Probe probes[] = {{"N", {100, 150}, {10, 10}},
                            {"S", {100, 10}, {10, 150}},
                            {"E", {10, 80}, {190, 10}},
                            {"W", {190, 80}, {10, 10}}};
    for (const Probe& pr : probes) {
        const QPainterPath t = triangleOutline(box, pr.dir);
        QVERIFY2(t.contains(pr.in), pr.dir);
        QVERIFY2(!t.contains(pr.out), pr.dir);
    }
    QVERIFY(triangleOutline(box, "X").isEmpty());
    QVERIFY(triangleOutline(box, QString()).isEmpty());

    const QPainterPath diamond = diamondOutline(box);
    QVERIFY(diamond.contains(centre));
    for (const QPointF& corner : {QPointF(5, 5), QPointF(195, 5), QPointF(5, 155), QPointF(195, 155)})
        QVERIFY(!diamond.contains(corner));

    // The generic entry point follows the data.
    QCOMPARE(shapeOutline(box, "Shape=7;").boundingRect(), diamond.boundingRect());
    QCOMPARE(shapeOutline(box, "Shape=3;IsEllipse=true;").boundingRect(), QRectF(box));
    QVERIFY(shapeOutline(box, "Shape=1;").isEmpty());
    QVERIFY(shapeOutline(box, "Shape=0;").isEmpty());
}

void TestShapes::balloonTailFollowsDirection()
{
    const QRect box(0, 0, 200, 100);
    const QPainterPath s = balloonOutline(box, 0, "S", 50, 20, 20);
    QCOMPARE(s.boundingRect(), QRectF(0, 0, 200, 120));
    QVERIFY(s.contains(QPointF(100, 115)));
    QVERIFY(!s.contains(QPointF(85, 110)));
    QVERIFY(s.contains(QPointF(100, 50)));

    QCOMPARE(balloonOutline(box, 0, "N", 25, 20, 30).boundingRect(), QRectF(0, -30, 200, 130));
    QVERIFY(balloonOutline(box, 0, "N", 25, 20, 30).contains(QPointF(50, -20)));
    QCOMPARE(balloonOutline(box, 0, "E", 50, 20, 15).boundingRect(), QRectF(0, 0, 215, 100));
    QVERIFY(balloonOutline(box, 0, "W", 50, 20, 15).contains(QPointF(-10, 50)));
    QCOMPARE(balloonOutline(box, 0, "?", 50, 20, 15).boundingRect(), QRectF(box));
    // A negative length points the tail into the body, never past the box.
    QCOMPARE(balloonOutline(box, 0, "S", 50, 20, -20).boundingRect(), QRectF(box));
    // Rounded body: the corner is cut away.
    const QPainterPath round = balloonOutline(box, 30, "S", 50, 20, 20);
    QVERIFY(!round.contains(QPointF(2, 2)));
    QVERIFY(round.contains(QPointF(30, 30)));
    // Through the data string.
    QCOMPARE(shapeOutline(box, defaultShapeData(SHAPE_BALLOON)).boundingRect(), QRectF(0, 0, 200, 120));
}

void TestShapes::closedShapePaintsBodyAndOutline()
{
    // Circle in a 200x100 box at (50,50): body (100,50)-(200,150).
    const QImage img = paintShapeObject(QRect(50, 50, 200, 100), defaultShapeData(SHAPE_CIRCLE));
    QVERIFY(isColor(img, 150, 100, Qt::yellow));
    QVERIFY(isColor(img, 70, 100, Qt::white)); // beside the circle
    QVERIFY(isColor(img, 150, 50, Qt::black));  // outline at the top
    const QImage heart = paintShapeObject(QRect(50, 20, 200, 160), defaultShapeData(SHAPE_HEART));
    QVERIFY(isColor(heart, 150, 100, Qt::red));
    QVERIFY(isColor(heart, 150, 23, Qt::white));
    // The balloon's tail is drawn outside the box.
    const QImage balloon = paintShapeObject(QRect(50, 20, 200, 100), defaultShapeData(SHAPE_BALLOON));
    QVERIFY(isColor(balloon, 150, 130, Qt::yellow));
    // Line width 0: body only, no outline.
    const QImage noLine = paintShapeObject(QRect(50, 50, 200, 100),
                                           "Shape=7;BodyColor=0,255,0,255;LineColor=255,0,0,255;LineWidth=0;MoldCut=none;");
    QVERIFY(isColor(noLine, 150, 100, Qt::green));
    for (int x = 40; x < 260; ++x)
        QVERIFY(!isColor(noLine, x, 100, Qt::red));
}

void TestShapes::incompleteDataDrawsNothing()
{
    const QStringList data = {"Shape=3;LineColor=0,0,0,255;LineWidth=1;",
                              "Shape=4;BodyColor=255,0,0,255;LineWidth=1;",
                              "Shape=1;LineColor=0,0,0,255;LineWidth=1;",
                              "Shape=1;LineColor=0,0,0,255;LineStyle=;LineWidth=1;",
                              "Shape=12;BodyColor=255,0,0,255;LineColor=0,0,0,255;LineWidth=1;",
                              "Shape=abc;BodyColor=255,0,0,255;LineColor=0,0,0,255;LineWidth=1;"};
    for (const QString& d : data) {
        const QImage img = paintShapeObject(QRect(0, 0, 300, 200), d);
        for (int y = 0; y < 200; y += 7)
            for (int x = 0; x < 300; x += 7)
                QVERIFY2(img.pixel(x, y) == WHITE, qPrintable(d));
    }
}

void TestShapes::moldCutKeepsOnlyTheShapedBackground()
{
    QString heart = defaultShapeData(SHAPE_HEART);
    heart.replace("MoldCut=none", "MoldCut=inside");
    const QImage img = paintShapeObject(QRect(50, 20, 200, 160), heart, true);
    QVERIFY(isColor(img, 150, 100, Qt::blue));  // background inside, no red body
    QVERIFY(isColor(img, 52, 22, Qt::white));   // box corner stays clear
    QVERIFY(isColor(img, 150, 24, Qt::white));  // dip between the lobes
    QVERIFY(isColor(img, 60, 170, Qt::white));

    QString circle = defaultShapeData(SHAPE_CIRCLE);
    circle.replace("MoldCut=none", "MoldCut=inside");
    const QImage c = paintShapeObject(QRect(50, 50, 200, 100), circle, true);
    QVERIFY(isColor(c, 150, 100, Qt::blue));
    QVERIFY(isColor(c, 70, 100, Qt::white));
    QVERIFY(isColor(c, 150, 50, Qt::black)); // still outlined

    // Lines have no outline: mold cut clips nothing, not even a rounded box.
    const QImage lines = paintShapeObject(QRect(50, 50, 200, 100), "Shape=1;MoldCut=inside;", true);
    QVERIFY(isColor(lines, 51, 51, Qt::blue));
}

void TestShapes::absurdValuesStayBounded()
{
    // Damaged data: huge counts and sizes must neither hang nor overflow.
    const QList<QLineF> many = shapeLines(QRect(0, 0, 50, 40), SHAPE_HLINE, 2000000000);
    QCOMPARE(many.size(), 40);
    for (const QLineF& l : many)
        QVERIFY(l.y1() >= 0 && l.y1() < 40);
    QVERIFY(shapeLines(QRect(0, 0, 50, 40), SHAPE_HLINE, -5).isEmpty());
    const QImage img = paintShapeObject(
        QRect(0, 0, 300, 200),
        "Shape=8;BodyColor=255,255,0,255;LineColor=0,0,0,255;LineWidth=99999;MoldCut=none;"
        "Radius=2147483647;Direction=N;SippoP=2000000000;SippoW=99999999;SippoH=-99999999;");
    QVERIFY(!img.isNull());
    const QPainterPath p = shapeOutline(QRect(0, 0, 100, 100), "Shape=8;Direction=E;SippoP=99999999999;SippoW=5;SippoH=5;");
    QVERIFY(qIsFinite(p.boundingRect().height()));
}

void TestShapes::repeatedLookupsFollowTheirInput()
{
    // Parsed data and outlines are reused between paints; a changed box or
    // string must never get a stale answer, however many have been seen.
    const QString star = defaultShapeData(SHAPE_STAR);
    QCOMPARE(shapeOutline(QRect(0, 0, 100, 100), star).boundingRect(), QRectF(0, 0, 100, 100));
    QCOMPARE(shapeOutline(QRect(10, 0, 100, 100), star).boundingRect(), QRectF(10, 0, 100, 100));
    QCOMPARE(shapeOutline(QRect(0, 0, 100, 50), star).boundingRect(), QRectF(0, 0, 100, 50));
    for (int i = 0; i < 1500; ++i) {
        const QString data = QString("Shape=8;Direction=S;SippoP=50;SippoW=10;SippoH=%1;").arg(i);
        QCOMPARE(shapeOutline(QRect(0, 0, 100, 100), data).boundingRect().height(), 100.0 + i);
        QCOMPARE(shapeKindOf(QString("Shape=%1;").arg(i % 9 + 10 * i)), i % 9 + 10 * i);
    }
    QCOMPARE(shapeOutline(QRect(0, 0, 100, 100), star).boundingRect(), QRectF(0, 0, 100, 100));
    // The first entry of a key wins, as in any key lookup of the data.
    QCOMPARE(shapeKindOf("Shape=3;Shape=4;"), 3);
    QVERIFY(!shapeMoldCut("Shape=3;XMoldCut=inside;"));
    QVERIFY(shapeMoldCut("Shape=3;MoldCut=inside;MoldCut=none;"));
}

QTEST_MAIN(TestShapes)
#include "tst_shapes.moc"
