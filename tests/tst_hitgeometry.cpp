// Hit testing, edge zones, inclusive overlap and edge dragging.
#include "hitgeometry.h"

#include <QtTest>

using namespace HitGeometry;

class TstHitGeometry : public QObject
{
    Q_OBJECT
private slots:
    void hitRectangleAndEdgeBands();
    void zonesOfSingleBox();
    void overlapCountsTouching();
    void dragEdgeFollowsPointer();
    void dragEdgePastOppositeKeepsOneUnit();
};

void TstHitGeometry::hitRectangleAndEdgeBands()
{
    const QRect b(10, 20, 50, 30); // right edge at 60, bottom at 50
    for (const QPoint& p : {QPoint(8, 30), QPoint(62, 30), QPoint(30, 18), QPoint(30, 52)})
        QVERIFY(!onObject(b, p.x(), p.y()) && !onObjectEdge(b, p.x(), p.y()));
    for (int px : {9, 12, 58, 61})
        QVERIFY2(onObject(b, px, 35) && onObjectEdge(b, px, 35), qPrintable(QString::number(px)));
    for (int py : {19, 22, 48, 51})
        QVERIFY(onObjectEdge(b, 30, py));
    for (const QPoint& p : {QPoint(13, 35), QPoint(57, 35), QPoint(30, 23), QPoint(30, 47)})
        QVERIFY(onObject(b, p.x(), p.y()) && !onObjectEdge(b, p.x(), p.y()));
    QVERIFY(!onObject(QRect(10, 20, -5, 10), 10, 25)); // a damaged box with negative width
}

void TstHitGeometry::zonesOfSingleBox()
{
    const QRect b(10, 20, 50, 30);
    QCOMPARE(zoneOf(b, 8, 30), ZONE_NONE);
    QCOMPARE(zoneOf(b, 30, 35), ZONE_INSIDE);
    QCOMPARE(zoneOf(b, 30, 20), ZONE_TOP);
    QCOMPARE(zoneOf(b, 30, 50), ZONE_BOTTOM);
    QCOMPARE(zoneOf(b, 10, 35), ZONE_LEFT);
    QCOMPARE(zoneOf(b, 60, 35), ZONE_RIGHT);
    // Corners resize horizontally.
    QCOMPARE(zoneOf(b, 10, 20), ZONE_LEFT);
    QCOMPARE(zoneOf(b, 60, 50), ZONE_RIGHT);
    QCOMPARE(zoneOf(b, 9, 51), ZONE_LEFT);
    // A box too small for an interior is all edge.
    QCOMPARE(zoneOf(QRect(0, 0, 4, 4), 2, 2), ZONE_LEFT);
}

void TstHitGeometry::overlapCountsTouching()
{
    // Band (0,0)-(10,10) against boxes around it.
    QVERIFY(overlapRects(0, 0, 10, 10, 10, 10, 20, 20)); // shares one corner pixel
    QVERIFY(!overlapRects(0, 0, 10, 10, 11, 0, 20, 10));
    QVERIFY(!overlapRects(0, 0, 10, 10, 0, 11, 10, 20));
    QVERIFY(!overlapRects(0, 0, 10, 10, -10, 0, -1, 10));
    QVERIFY(!overlapRects(0, 0, 10, 10, 0, -10, 10, -1));
    QVERIFY(overlapRects(0, 0, 10, 10, 2, 2, 3, 3));     // inside
    QVERIFY(overlapRects(2, 2, 3, 3, 0, 0, 10, 10));     // around
    QVERIFY(overlapRects(5, 5, 5, 5, 5, 5, 5, 5));       // a click-sized band
    QVERIFY(overlapRects(0, 4, 20, 6, 8, 0, 9, 20));     // a cross
}

void TstHitGeometry::dragEdgeFollowsPointer()
{
    const QRect b(100, 100, 50, 40);
    QCOMPARE(dragEdge(b, ZONE_TOP, 7, -6), (RectDelta{0, -6, 0, 6}));
    QCOMPARE(dragEdge(b, ZONE_BOTTOM, 7, 5), (RectDelta{0, 0, 0, 5}));
    QCOMPARE(dragEdge(b, ZONE_LEFT, 4, 9), (RectDelta{4, 0, -4, 0}));
    QCOMPARE(dragEdge(b, ZONE_RIGHT, -3, 9), (RectDelta{0, 0, -3, 0}));
    QCOMPARE(dragEdge(b, ZONE_INSIDE, 5, 5), RectDelta());
    QCOMPARE(dragEdge(b, ZONE_NONE, 5, 5), RectDelta());
}

void TstHitGeometry::dragEdgePastOppositeKeepsOneUnit()
{
    const QRect b(100, 100, 50, 40); // right 150, bottom 140
    auto apply = [&](const RectDelta& d) { return QRect(b.x() + d.dx, b.y() + d.dy, b.width() + d.dw, b.height() + d.dh); };

    QRect r = apply(dragEdge(b, ZONE_RIGHT, -200, 0));
    QCOMPARE(r, QRect(100, 100, 1, 40));
    r = apply(dragEdge(b, ZONE_LEFT, 200, 0));
    QCOMPARE(r, QRect(149, 100, 1, 40));
    QCOMPARE(r.x() + r.width(), 150);
    r = apply(dragEdge(b, ZONE_BOTTOM, 0, -200));
    QCOMPARE(r, QRect(100, 100, 50, 1));
    r = apply(dragEdge(b, ZONE_TOP, 0, 200));
    QCOMPARE(r, QRect(100, 139, 50, 1));
    QCOMPARE(r.y() + r.height(), 140);

    // Exactly onto the opposite edge also stops one short; a box already at 1 stays.
    QCOMPARE(dragEdge(b, ZONE_RIGHT, -50, 0).dw, -49);
    QCOMPARE(dragEdge(QRect(0, 0, 1, 1), ZONE_LEFT, 3, 0), RectDelta());
    QCOMPARE(dragEdge(QRect(0, 0, 1, 1), ZONE_TOP, 0, 3), RectDelta());
    // A damaged box with no size is brought back to 1, never further below.
    QCOMPARE(dragEdge(QRect(0, 0, -4, 10), ZONE_RIGHT, -2, 0).dw, 5);
}

QTEST_APPLESS_MAIN(TstHitGeometry)
#include "tst_hitgeometry.moc"
