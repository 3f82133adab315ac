// Sheet geometry: every booklet page lands in its cell turned the right way;
// editor flags, output order, margins, grid and fold lines.
#include "editarea.h"
#include "sheet.h"
#include "sheetlayouts.h"

#include <QtTest>

using namespace Sheet;

namespace {

QTransform frameOf(const SheetLayout& lay, const Piece& p)
{
    const QSize s = lay.spread();
    return frameTransform(areaFrame(lay.direction, lay.pageMax, p.area, p.part), p.part, s.width(), s.height());
}

}

class TstSheet : public QObject
{
    Q_OBJECT
private slots:
    void everyPageLandsInItsCellTurned();
    void editorFlags();
    void outputOrderAndOddInputs();
    void marginsAndSplit();
    void gridAndFoldLines();
};

void TstSheet::everyPageLandsInItsCellTurned()
{
    QCOMPARE(sheetSize(8, 560, 397), QSize(794, 1120)); // upright A4
    QCOMPARE(sheetSize(4, 1122, 397), QSize(794, 1122));
    for (const SheetLayout& lay : sheetLayouts()) {
        const int W = lay.spread().width(), H = lay.spread().height(), half = W / 2;
        const QVector<Piece> list = drawList(ALL_AREAS, 0, lay.pageMax, lay.direction);
        for (int cell = 0; cell < lay.cells.size(); ++cell) {
            const int page = lay.cells[cell];
            const QString msg = QString("%1/%2 page %3").arg(lay.direction).arg(lay.pageMax).arg(page);
            int area, side;
            EditArea::pageLocation(page, lay.pageMax, lay.direction, &area, &side);
            auto p = std::find_if(list.begin(), list.end(), [&](const Piece& p) {
                return p.area == area && (p.part == side || p.part == PART_WHOLE);
            });
            QVERIFY2(p != list.end(), qPrintable(msg));
            const QTransform t = frameOf(lay, *p);
            const QRectF cellRect((cell % 2) * H, (cell / 2) * half, H, half);
            QVERIFY2(t.mapRect(QRectF(side * half, 0, half, H)) == cellRect, qPrintable(msg));
            // Clockwise: the page's top edge lies along the cell's right side.
            const bool cw = cell % 2 == 0;
            const QPointF topLeft = t.map(QPointF(side * half, 0)), topRight = t.map(QPointF(side * half + half, 0));
            QVERIFY2(topLeft == (cw ? cellRect.topRight() : cellRect.bottomLeft()), qPrintable(msg));
            QVERIFY2(topRight == (cw ? cellRect.bottomRight() : cellRect.topLeft()), qPrintable(msg));
        }
    }
}

void TstSheet::editorFlags()
{
    auto editor = [](int area, int pm, const char* dir) { return drawList(area, 0, pm, dir).value(0).flags; };
    // The standard fold's editor shows each spread with its printed margins.
    for (int k = 0; k < 4; ++k)
        QCOMPARE(editor(k, 8, "right"), drawList(ALL_AREAS, 0, 8, "right")[k].flags);
    QCOMPARE(editor(0, 8, "jabara-right"), EDGE_LEFT | EDGE_BOTTOM | EDGE_RIGHT);    // cover: both ends
    QCOMPARE(editor(1, 8, "kannon-left"), EDGE_SPLIT | EDGE_BOTTOM);                 // inner spread
    QCOMPARE(editor(2, 8, "jabara-left"), EDGE_RIGHT | EDGE_BOTTOM);
    QCOMPARE(editor(1, 4, "right"), 14);
    QCOMPARE(editor(0, 1, "left"), 15);
    QCOMPARE(drawList(ALL_AREAS, 0, 1, "left"), (QVector<Piece>{{0, PART_WHOLE, 15}}));
}

void TstSheet::outputOrderAndOddInputs()
{
    for (const SheetLayout& lay : sheetLayouts()) {
        const QVector<Piece> list = drawList(ALL_AREAS, 1, lay.pageMax, lay.direction);
        QCOMPARE(list.size(), lay.pageMax);
        for (int i = 0; i < list.size(); ++i) {
            int area, side;
            EditArea::pageLocation(i + 1, lay.pageMax, lay.direction, &area, &side);
            QCOMPARE(list[i], (Piece{area, side, 0}));
        }
        QCOMPARE(drawList(ALL_AREAS, 2, lay.pageMax, lay.direction).size(), lay.pageMax / 2);
    }
    // A single page is one whole output page, not two halves of it.
    QCOMPARE(drawList(ALL_AREAS, 1, 1, "left"), (QVector<Piece>{{0, PART_WHOLE, 0}}));
    QVERIFY(drawList(ALL_AREAS, 0, 6, "left").isEmpty());
    QVERIFY(drawList(ALL_AREAS, 3, 8, "left").isEmpty());
    QVERIFY(drawList(7, 0, 8, "left").isEmpty());
    QCOMPARE(areaFrame("Left", 8, 0, PART_WHOLE), TF_NONE);
    QCOMPARE(areaFrame("left", 1, 0, PART_WHOLE), TF_NONE);
    // A gatefold or accordion document with 4 pages is imposed as the standard
    // fold rather than piling both spreads onto one corner.
    QCOMPARE(areaFrame("kannon-left", 4, 1, PART_WHOLE), TF_C);
    QVERIFY(frameTransform(TF_B, PART_WHOLE, 560, 397).isIdentity());
}

void TstSheet::marginsAndSplit()
{
    // Full margins and the split strip are checked on rendered pixels; here
    // the cases those cannot show.
    const int W = 560, H = 397;
    QCOMPARE(marginPx(5), 18);
    QCOMPARE(clipRects(PART_RIGHT, 15, 1, 5, W, H).rect1, QRect(W / 2, 0, W / 2, H)); // per-page output
    QVERIFY(!clipRects(PART_WHOLE, 15, 0, 5, W, H).rect2.isValid());
    // Absurd margins leave nothing to draw instead of a flipped rectangle.
    const ClipRects c = clipRects(PART_WHOLE, 15 | EDGE_SPLIT, 0, 100000, W, H);
    QVERIFY(!c.rect1.isValid() && !c.rect2.isValid());
    QVERIFY(!clipRects(5, 0, 0, 0, W, H).rect1.isValid());
}

void TstSheet::gridAndFoldLines()
{
    QVector<int> xs, ys;
    for (const QLine& l : gridLines(560, 397)) {
        const bool vertical = l.x1() == l.x2();
        QVERIFY(vertical ? l.y1() == 5 && l.y2() == 389 : l.x1() == 7 && l.x2() == 551 && l.y1() == l.y2());
        (vertical ? xs : ys) << (vertical ? l.x1() : l.y1());
    }
    QCOMPARE(xs.size(), 35);
    QVERIFY(xs.first() == 7 && xs.last() == 551 && ys.first() == 5 && ys.last() == 389);
    QVERIFY(xs.contains(279) && ys.contains(197)); // through the spread's centre
    QVERIFY(gridLines(0, 397).isEmpty());

    const int W = 560, H = 397;
    auto lines = [](const char* kind, const char* dir, int pm = 8, FoldPen only = FoldPen(-1)) {
        QVector<QLine> out;
        for (const FoldLine& l : foldLines(kind, dir, pm, 560, 397))
            if (only == FoldPen(-1) || l.pen == only)
                out << l.line;
        return out;
    };
    // Standard fold: slit through rows 2 and 3 only; the openings fold the
    // quarter lines opposite ways.
    QCOMPARE(lines("line1", "left", 8, PEN_CUT), (QVector<QLine>{QLine(H, W / 2, H, 3 * W / 2)}));
    QVERIFY(lines("line1", "left", 8, PEN_VALLEY).contains(QLine(0, 3 * W / 2, 2 * H, 3 * W / 2)));
    QVERIFY(lines("line1", "right", 8, PEN_VALLEY).contains(QLine(0, W / 2, 2 * H, W / 2)));
    // Gatefold folds sit 2 pixels inside the outer rows, the accordion's 1.
    QVERIFY(lines("line1", "kannon-right").contains(QLine(H, 3 * W / 2 + 2, 2 * H, 3 * W / 2 + 2)));
    QVERIFY(lines("line1", "jabara-left").contains(QLine(0, W / 2 - 1, H, W / 2 - 1)));
    QVERIFY(lines("line1", "kannon-left", 8, PEN_CUT).isEmpty());
    QCOMPARE(lines("line2", "kannon-left")[1], QLine(0, W / 2 - 2, 2 * H, W / 2 - 2));
    QCOMPARE(lines("line2", "left", 8, PEN_DOT).size(), 4);
    QCOMPARE(lines("line2", "right", 4).size(), 2);
    QVERIFY(lines("none", "left").isEmpty() && lines("line3", "left").isEmpty());
    // A single page has nothing to fold, whatever direction a document holds.
    QVERIFY(lines("line1", "jabara-left", 1).isEmpty());
    QCOMPARE(lines("line1", "kannon-left", 4), lines("line1", "left", 4));

    QCOMPARE(foldPen(PEN_MOUNTAIN).dashPattern(), (QVector<qreal>{9, 4, 1, 4}));
    QCOMPARE(foldPen(PEN_VALLEY).dashPattern(), (QVector<qreal>{5, 4}));
    QCOMPARE(foldPen(PEN_DOT).dashPattern(), (QVector<qreal>{1, 4}));
    const QPen cut = foldPen(PEN_CUT);
    QVERIFY(cut.style() == Qt::SolidLine && cut.width() == 1 && cut.capStyle() == Qt::SquareCap);
    QCOMPARE(cut.color(), QColor(153, 153, 153, 255));
}

QTEST_MAIN(TstSheet)
#include "tst_sheet.moc"
