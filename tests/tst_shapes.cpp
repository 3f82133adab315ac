#include "shapes.h"

#include <QPainter>
#include <QtTest>

class TestShapes : public QObject
{
    Q_OBJECT
private slots:
    void kindsLinesAndOutlines()
    {
        // Combo entries and kinds map both ways; anything else passes through.
        for (int i = -1; i <= 9; ++i)
            QVERIFY(shapeKindToComboIndex(shapeComboIndexToKind(i)) == i && ((i >= 0 && i <= 8) || shapeComboIndexToKind(i) == i));
        QCOMPARE(shapeKindOf(QString()), 0);
        QCOMPARE(shapeKindOf("Shape=3;Shape=4;"), 3); // first entry wins, as findValue reads it

        QCOMPARE(shapeLines(QRect(0, 0, 80, 100), SHAPE_HLINE, 3),
                 QList<QLineF>({QLineF(0, 25, 80, 25), QLineF(0, 50, 80, 50), QLineF(0, 75, 80, 75)}));
        QCOMPARE(shapeLines(QRect(10, 5, 90, 40), SHAPE_VLINE, 2), QList<QLineF>({QLineF(40, 5, 40, 45), QLineF(70, 5, 70, 45)}));
        QVERIFY(shapeLines(QRect(0, 0, 80, 100), SHAPE_HLINE, 0).isEmpty());
        QCOMPARE(circleRect(QRect(0, 0, 200, 100), false), QRectF(50, 0, 100, 100));
        QCOMPARE(circleRect(QRect(0, 0, 200, 100), true), QRectF(0, 0, 200, 100));
        // A point inside and one outside each outline.
        const QRect box(0, 0, 200, 160), b(0, 0, 200, 100);
        const QList<std::tuple<QPainterPath, QPointF, QPointF>> probes = {
            {starOutline(box), {100, 80}, {100, 150}}, // inner pentagon filled
            {heartOutline(box), {100, 80}, {100, 5}},  // dip between the lobes
            {diamondOutline(box), {100, 80}, {195, 155}},
            {triangleOutline(box, "N"), {100, 150}, {10, 10}},
            {triangleOutline(box, "S"), {100, 10}, {10, 150}},
            {triangleOutline(box, "E"), {10, 80}, {190, 10}},
            {triangleOutline(box, "W"), {190, 80}, {10, 10}},
            {balloonOutline(b, 0, "S", 50, 20, 20), {100, 115}, {85, 110}},
            {balloonOutline(b, 30, "S", 50, 20, 20), {100, 50}, {2, 2}},
        };
        for (const auto& [path, in, out] : probes)
            QVERIFY(path.contains(in) && !path.contains(out));
        QCOMPARE(balloonOutline(b, 0, "N", 25, 20, 30).boundingRect(), QRectF(0, -30, 200, 130));
        QCOMPARE(balloonOutline(b, 0, "S", 50, 20, -20).boundingRect(), QRectF(b)); // tail points inward
        // Through the data; reused outlines follow both box and data.
        QCOMPARE(shapeOutline(QRect(10, 0, 200, 100), defaultShapeData(SHAPE_BALLOON)).boundingRect(), QRectF(10, 0, 200, 120));
        for (int i = 0; i < 600; ++i)
            QCOMPARE(shapeOutline(b, QString("Shape=8;Direction=S;SippoW=10;SippoH=%1;").arg(i)).boundingRect().height(), 100.0 + i);
        QVERIFY(shapeOutline(b, "Shape=1;").isEmpty());
        // Damaged data is harmless.
        QCOMPARE(shapeLines(QRect(0, 0, 50, 40), SHAPE_HLINE, 2000000000).size(), 40);
        QVERIFY(shapeLines(QRect(0, 0, 50, 40), SHAPE_HLINE, -5).isEmpty());
        QImage image(300, 200, QImage::Format_RGB32);
        QPainter p(&image);
        paintShape(&p, image.rect(), "Shape=8;BodyColor=255,255,0,255;LineColor=0,0,0,255;LineWidth=99999;"
                                     "Radius=2147483647;Direction=N;SippoP=2000000000;SippoW=99999999;SippoH=-99999999;");
        const QRectF r = shapeOutline(QRect(0, 0, 100, 100), "Shape=8;Direction=E;SippoP=99999999999;SippoW=5;SippoH=5;").boundingRect();
        QVERIFY(qIsFinite(r.height()) && r.height() < 1e9);
    }
};

QTEST_MAIN(TestShapes)
#include "tst_shapes.moc"
