// Hit rectangle, edge bands and zones at their exact bounds, and boxes at the
// int limits (drags and bands through the window are in tst_pointer).
#include "hitgeometry.h"

#include <QtTest>
#include <climits>

using namespace HitGeometry;

class TstHitGeometry : public QObject
{
    Q_OBJECT
private slots:
    void zonesAtTheirBoundsAndAtTheIntLimits()
    {
        const Box b{10, 20, 50, 30}; // right edge at 60, bottom at 50
        const QList<QVector<int>> rows = {
            {8, 30, ZONE_NONE},    {62, 30, ZONE_NONE},   {30, 18, ZONE_NONE},   {30, 52, ZONE_NONE},
            {9, 35, ZONE_LEFT},    {12, 35, ZONE_LEFT},   {58, 35, ZONE_RIGHT},  {61, 35, ZONE_RIGHT},
            {30, 19, ZONE_TOP},    {30, 22, ZONE_TOP},    {30, 48, ZONE_BOTTOM}, {30, 51, ZONE_BOTTOM},
            {13, 35, ZONE_INSIDE}, {57, 35, ZONE_INSIDE}, {30, 23, ZONE_INSIDE}, {30, 47, ZONE_INSIDE},
            {10, 20, ZONE_LEFT},   {60, 50, ZONE_RIGHT},  {9, 51, ZONE_LEFT}, // corners resize horizontally
        };
        for (const QVector<int>& r : rows) {
            const QByteArray at = QByteArray::number(r[0]) + "," + QByteArray::number(r[1]);
            QVERIFY2(zoneOf(b, r[0], r[1]) == r[2], at);
            QVERIFY2(onObject(b, r[0], r[1]) == (r[2] != ZONE_NONE), at);
            QVERIFY2(onObjectEdge(b, r[0], r[1]) == (r[2] > ZONE_INSIDE), at);
        }
        QVERIFY(!onObject({10, 20, -5, 10}, 10, 25)); // damaged, negative width
        // Boxes at the int limits.
        QVERIFY(onObject({INT_MAX - 1, 0, INT_MAX, 5}, INT_MAX, 2) && !onObject({INT_MAX - 1, 0, INT_MAX, 5}, 0, 2));
        QCOMPARE(lastColumn({INT_MAX, 0, INT_MAX, 1}), INT_MAX);
        QCOMPARE(lastRow({0, INT_MIN, 1, INT_MIN}), INT_MIN);
        QCOMPARE(dragEdge({0, 0, 10, INT_MIN}, ZONE_BOTTOM, 0, 0).dh, INT_MAX);
        QCOMPARE(dragEdge({0, 0, INT_MAX, 10}, ZONE_LEFT, INT_MAX, 0).dx, INT_MAX - 1);
        QCOMPARE(dragEdge({0, 0, -4, 10}, ZONE_RIGHT, -2, 0).dw, 5); // no size: back to 1
    }
};

QTEST_APPLESS_MAIN(TstHitGeometry)
#include "tst_hitgeometry.moc"
