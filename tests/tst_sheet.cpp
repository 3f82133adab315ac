// Sheet geometry: every booklet page lands in its cell, turned the right way;
// outer-edge flags, margins, grid and fold lines.
#include "editarea.h"
#include "sheet.h"

#include <QtTest>

using namespace Sheet;

namespace {

// Expected layouts, rows from the top, left column then right column.
// In every formation the left column is turned clockwise, the right one
// counter-clockwise.
struct Layout {
    const char* direction;
    int pageMax;
    QVector<int> cells;
};

const Layout LAYOUTS[] = {
    {"left", 8, {8, 7, 1, 6, 2, 5, 3, 4}},
    {"right", 8, {3, 4, 2, 5, 1, 6, 8, 7}},
    {"kannon-left", 8, {3, 7, 8, 6, 1, 5, 2, 4}},
    {"kannon-right", 8, {2, 4, 1, 5, 8, 6, 3, 7}},
    {"jabara-left", 8, {8, 5, 6, 4, 7, 3, 1, 2}},
    {"jabara-right", 8, {1, 2, 7, 3, 6, 4, 8, 5}},
    {"left", 4, {4, 3, 1, 2}},
    {"right", 4, {1, 2, 4, 3}},
};

// W x H of the default spreads: A4 with 8 pages, A4 with 4 pages.
QSize spread(int pageMax)
{
    return pageMax == 8 ? QSize(560, 397) : QSize(794, 561);
}

// The printed piece that carries a half of an area.
bool findPiece(const QVector<Piece>& list, int area, int half, Piece* out)
{
    for (const Piece& p : list) {
        if (p.area == area && (p.part == half || p.part == PART_WHOLE)) {
            *out = p;
            return true;
        }
    }
    return false;
}

QRect pieceRect(int part, int W, int H)
{
    if (part == PART_LEFT)
        return QRect(0, 0, W / 2, H);
    if (part == PART_RIGHT)
        return QRect(W / 2, 0, W / 2, H);
    return QRect(0, 0, W, H);
}

// Sides of a rectangle (in edit-area coordinates) that land on the sheet edge.
int outerSides(const QTransform& t, const QRectF& r, const QSize& sheet)
{
    auto onEdge = [&](QPointF a, QPointF b) {
        const QPointF p = t.map(a), q = t.map(b);
        auto same = [](double u, double v, double e) { return qFuzzyCompare(u + 1, e + 1) && qFuzzyCompare(v + 1, e + 1); };
        return same(p.x(), q.x(), 0) || same(p.y(), q.y(), 0) || same(p.x(), q.x(), sheet.width())
            || same(p.y(), q.y(), sheet.height());
    };
    int flags = 0;
    if (onEdge(r.topLeft(), r.topRight())) flags |= EDGE_TOP;
    if (onEdge(r.topRight(), r.bottomRight())) flags |= EDGE_RIGHT;
    if (onEdge(r.bottomLeft(), r.bottomRight())) flags |= EDGE_BOTTOM;
    if (onEdge(r.topLeft(), r.bottomLeft())) flags |= EDGE_LEFT;
    return flags;
}

}

class TstSheet : public QObject
{
    Q_OBJECT
private slots:
    void sheetSizes();
    void everyPageLandsInItsCellTurned();
    void printedFlagsNameTheOuterEdges();
    void editorFlags();
    void pageByPageAndSpreadOrder();
    void unsupportedInputsGiveNothing();
    void marginsAndSplit();
    void marginsKeepSheetEdgesEmpty();
    void grid();
    void foldLinesLine1();
    void foldLinesLine2AndOddFormations();
    void foldPens();
};

void TstSheet::sheetSizes()
{
    QCOMPARE(sheetSize(8, 560, 397), QSize(794, 1120)); // upright A4
    QCOMPARE(sheetSize(4, 794, 561), QSize(1122, 794));
    QCOMPARE(sheetSize(4, 1122, 397), QSize(794, 1122)); // landscape pages, upright sheet
    QCOMPARE(sheetSize(1, 794, 1122), QSize(794, 1122));
    QVERIFY(!sheetSize(6, 560, 397).isValid());
}

void TstSheet::everyPageLandsInItsCellTurned()
{
    for (const Layout& lay : LAYOUTS) {
        const QString dir = lay.direction;
        const int W = spread(lay.pageMax).width(), H = spread(lay.pageMax).height();
        const QVector<Piece> list = drawList(ALL_AREAS, 0, lay.pageMax, dir);
        const QString where = QString("%1/%2").arg(dir).arg(lay.pageMax);
        for (int cell = 0; cell < lay.cells.size(); ++cell) {
            const int page = lay.cells[cell];
            const int row = cell / 2, col = cell % 2;
            const bool cw = col == 0;
            int area, half;
            EditArea::pageLocation(page, lay.pageMax, dir, &area, &half);
            Piece piece;
            QVERIFY2(findPiece(list, area, half, &piece), qPrintable(where));
            const QTransform t = frameTransform(areaFrame(dir, lay.pageMax, area, piece.part), piece.part, W, H);
            const QRect pageRect(half * (W / 2), 0, W / 2, H);
            const QRect cellRect(col * H, row * (W / 2), H, W / 2);
            const QString msg = QString("%1 page %2").arg(where).arg(page);
            QVERIFY2(t.mapRect(QRectF(pageRect)) == QRectF(cellRect), qPrintable(msg));
            // The page's top-left corner goes to the cell's top-right (cw) or
            // bottom-left (ccw) corner; its top-right corner follows the turn.
            const QPointF tl = t.map(QPointF(pageRect.left(), 0));
            const QPointF tr = t.map(QPointF(pageRect.left() + W / 2, 0));
            if (cw) {
                QCOMPARE(tl, QPointF(cellRect.left() + H, cellRect.top()));
                QCOMPARE(tr, QPointF(cellRect.left() + H, cellRect.top() + W / 2));
            } else {
                QCOMPARE(tl, QPointF(cellRect.left(), cellRect.top() + W / 2));
                QCOMPARE(tr, QPointF(cellRect.left(), cellRect.top()));
            }
        }
    }
}

void TstSheet::printedFlagsNameTheOuterEdges()
{
    for (const Layout& lay : LAYOUTS) {
        const QString dir = lay.direction;
        const QSize s = spread(lay.pageMax);
        const QSize sheet = sheetSize(lay.pageMax, s.width(), s.height());
        const QVector<Piece> list = drawList(ALL_AREAS, 0, lay.pageMax, dir);
        QCOMPARE(list.size(), lay.pageMax == 8 && dir.contains('-') ? 5 : lay.pageMax / 2);
        for (const Piece& p : list) {
            const QTransform t = frameTransform(areaFrame(dir, lay.pageMax, p.area, p.part), p.part, s.width(), s.height());
            QVERIFY2(!t.isIdentity(), qPrintable(dir));
            QCOMPARE(p.flags, outerSides(t, pieceRect(p.part, s.width(), s.height()), sheet));
        }
    }
    QCOMPARE(drawList(ALL_AREAS, 0, 1, "left"), (QVector<Piece>{{0, PART_WHOLE, 15}}));
}

void TstSheet::editorFlags()
{
    auto flagsOf = [](int area, int pm, const QString& dir) { return drawList(area, 0, pm, dir).value(0).flags; };
    // Standard fold: the editor shows each spread with the margins it prints with.
    for (const QString dir : {"left", "right"}) {
        const QVector<Piece> printed = drawList(ALL_AREAS, 0, 8, dir);
        for (int k = 0; k < 4; ++k)
            QCOMPARE(flagsOf(k, 8, dir), printed[k].flags);
    }
    // Accordion cover: both outer sides; gatefold inner spread: split.
    QCOMPARE(flagsOf(0, 8, "jabara-left"), 14);
    QCOMPARE(flagsOf(0, 8, "jabara-right"), 14);
    QCOMPARE(flagsOf(1, 8, "kannon-left"), EDGE_SPLIT | EDGE_BOTTOM);
    QCOMPARE(flagsOf(1, 8, "kannon-right"), EDGE_SPLIT | EDGE_BOTTOM);
    QCOMPARE(flagsOf(2, 8, "jabara-left"), 6);
    QCOMPARE(flagsOf(2, 8, "kannon-right"), 6);
    QCOMPARE(flagsOf(1, 4, "right"), 14);
    QCOMPARE(flagsOf(0, 1, "left"), 15);
    const QVector<Piece> one = drawList(3, 0, 8, "left");
    QCOMPARE(one.size(), 1);
    QCOMPARE(one[0].area, 3);
    QCOMPARE(one[0].part, int(PART_WHOLE));
}

void TstSheet::pageByPageAndSpreadOrder()
{
    for (const Layout& lay : LAYOUTS) {
        if (QString(lay.direction).contains('-'))
            continue;
        const QVector<Piece> list = drawList(ALL_AREAS, 1, lay.pageMax, lay.direction);
        QCOMPARE(list.size(), lay.pageMax);
        for (int i = 0; i < list.size(); ++i) {
            int area, half;
            EditArea::pageLocation(i + 1, lay.pageMax, lay.direction, &area, &half);
            QCOMPARE(list[i].area, area);
            QCOMPARE(list[i].part, half);
            QCOMPARE(list[i].flags, 0);
        }
    }
    // A single page is one whole output page, not two halves of it.
    QCOMPARE(drawList(ALL_AREAS, 1, 1, "left"), (QVector<Piece>{{0, PART_WHOLE, 0}}));
    // One spread per output page, in tab order, even for the split formations.
    const QVector<Piece> spreads = drawList(ALL_AREAS, 2, 8, "kannon-left");
    QCOMPARE(spreads.size(), 4);
    for (int k = 0; k < 4; ++k)
        QVERIFY(spreads[k].area == k && spreads[k].part == PART_WHOLE);
    QCOMPARE(drawList(ALL_AREAS, 2, 4, "right").size(), 2);
}

void TstSheet::unsupportedInputsGiveNothing()
{
    QVERIFY(drawList(ALL_AREAS, 0, 6, "left").isEmpty());
    QVERIFY(drawList(ALL_AREAS, 1, 6, "left").isEmpty());
    QVERIFY(drawList(ALL_AREAS, 3, 8, "left").isEmpty());
    QVERIFY(drawList(7, 0, 8, "left").isEmpty());
    QVERIFY(drawList(-1, 0, 8, "left").isEmpty());
    QCOMPARE(areaFrame("Left", 8, 0, PART_WHOLE), TF_NONE);
    QCOMPARE(areaFrame("left", 1, 0, PART_WHOLE), TF_NONE);
    QCOMPARE(areaFrame("left", 8, 4, PART_WHOLE), TF_NONE);
    // A gatefold or accordion document with 4 pages is imposed as the
    // standard fold instead of piling both spreads onto one corner.
    QCOMPARE(areaFrame("kannon-left", 4, 0, PART_WHOLE), areaFrame("left", 4, 0, PART_WHOLE));
    QCOMPARE(areaFrame("jabara-right", 4, 1, PART_WHOLE), areaFrame("right", 4, 1, PART_WHOLE));
    QVERIFY(frameTransform(TF_B, PART_WHOLE, 560, 397).isIdentity());
}

void TstSheet::marginsAndSplit()
{
    const int W = 560, H = 397;
    QCOMPARE(marginPx(5), 18);
    QCOMPARE(marginPx(0), 0);
    QCOMPARE(marginPx(-3), 0);

    ClipRects c = clipRects(PART_WHOLE, 15, 0, 5, W, H);
    QCOMPARE(c.rect1, QRect(QPoint(18, 18), QPoint(W - 19, H - 19)));
    QVERIFY(!c.rect2.isValid());
    QCOMPARE(clipRects(PART_LEFT, 12, 0, 5, W, H).rect1, QRect(QPoint(18, 0), QPoint(W / 2 - 1, H - 19)));
    QCOMPARE(clipRects(PART_RIGHT, 6, 0, 5, W, H).rect1, QRect(QPoint(W / 2, 0), QPoint(W - 19, H - 19)));
    // No margin without a margin setting or on per-page output.
    QCOMPARE(clipRects(PART_WHOLE, 15, 0, 0, W, H).rect1, QRect(0, 0, W, H));
    QCOMPARE(clipRects(PART_RIGHT, 15, 1, 5, W, H).rect1, QRect(W / 2, 0, W / 2, H));
    QCOMPARE(clipRects(PART_WHOLE, 15, 2, 5, W, H).rect1, QRect(0, 0, W, H));

    // Split: a gap of 2m centred on the spread's middle.
    c = clipRects(PART_WHOLE, EDGE_SPLIT | EDGE_BOTTOM, 0, 5, W, H);
    QCOMPARE(c.rect1, QRect(QPoint(0, 0), QPoint(W / 2 - 1 - 18, H - 19)));
    QCOMPARE(c.rect2, QRect(QPoint(W / 2 + 18, 0), QPoint(W - 1, H - 19)));
    QCOMPARE(c.rect2.left() - c.rect1.right() - 1, 36);

    // Absurd margins leave nothing to draw instead of a flipped rectangle.
    c = clipRects(PART_WHOLE, 15 | EDGE_SPLIT, 0, 100000, W, H);
    QVERIFY(!c.rect1.isValid());
    QVERIFY(!c.rect2.isValid());
    QVERIFY(!clipRects(5, 0, 0, 0, W, H).rect1.isValid());
}

void TstSheet::marginsKeepSheetEdgesEmpty()
{
    for (const Layout& lay : LAYOUTS) {
        const QSize s = spread(lay.pageMax);
        const QRect sheet(QPoint(0, 0), sheetSize(lay.pageMax, s.width(), s.height()));
        const QRect inner = sheet.adjusted(18, 18, -18, -18);
        QRect drawn;
        for (const Piece& p : drawList(ALL_AREAS, 0, lay.pageMax, lay.direction)) {
            const QTransform t = frameTransform(areaFrame(lay.direction, lay.pageMax, p.area, p.part), p.part, s.width(), s.height());
            const ClipRects c = clipRects(p.part, p.flags, 0, 5, s.width(), s.height());
            // Inclusive pixel rectangles: map the covered area.
            const QRectF r = t.mapRect(QRectF(c.rect1.left(), c.rect1.top(), c.rect1.width(), c.rect1.height()));
            drawn |= r.toRect();
        }
        QCOMPARE(drawn, inner);
    }
}

void TstSheet::grid()
{
    const QVector<QLine> lines = gridLines(560, 397);
    QVector<int> xs, ys;
    for (const QLine& l : lines) {
        if (l.x1() == l.x2()) {
            QCOMPARE(l.y1(), 5);
            QCOMPARE(l.y2(), 389);
            xs << l.x1();
        } else {
            QCOMPARE(l.y1(), l.y2());
            QCOMPARE(l.x1(), 7);
            QCOMPARE(l.x2(), 551);
            ys << l.y1();
        }
    }
    QCOMPARE(xs.first(), 7);
    QCOMPARE(xs.last(), 551);
    QCOMPARE(xs.size(), (551 - 7) / 16 + 1);
    QCOMPARE(ys.first(), 5);
    QCOMPARE(ys.last(), 389);
    QVERIFY(xs.contains(279) && ys.contains(197)); // through the spread's centre
    QVERIFY(gridLines(0, 397).isEmpty());
    QVERIFY(gridLines(10, 10).size() <= 2);
}

void TstSheet::foldLinesLine1()
{
    const int W = 560, H = 397;
    auto withPen = [](const QVector<FoldLine>& lines, FoldPen pen) {
        QVector<QLine> out;
        for (const FoldLine& l : lines)
            if (l.pen == pen)
                out << l.line;
        return out;
    };
    // Standard fold, 8 pages: the slit runs down the middle through rows 2
    // and 3 only; mountain folds continue it to the sheet's ends.
    for (const QString dir : {"left", "right"}) {
        const QVector<FoldLine> lines = foldLines("line1", dir, 8, W, H);
        QCOMPARE(withPen(lines, PEN_CUT), (QVector<QLine>{QLine(H, W / 2, H, 3 * W / 2)}));
        QVERIFY(withPen(lines, PEN_MOUNTAIN).contains(QLine(H, 0, H, W / 2)));
        QVERIFY(withPen(lines, PEN_MOUNTAIN).contains(QLine(H, 3 * W / 2, H, 2 * W)));
        QVERIFY(withPen(lines, PEN_MOUNTAIN).contains(QLine(0, W, 2 * H, W)));
    }
    // The two openings fold the quarter lines the opposite way.
    QVERIFY(withPen(foldLines("line1", "left", 8, W, H), PEN_VALLEY).contains(QLine(0, 3 * W / 2, 2 * H, 3 * W / 2)));
    QVERIFY(withPen(foldLines("line1", "right", 8, W, H), PEN_VALLEY).contains(QLine(0, W / 2, 2 * H, W / 2)));

    // Gatefold folds sit 2 pixels inside the outer rows, accordion 1 pixel.
    QVector<int> kannonYs, jabaraYs;
    for (const FoldLine& l : foldLines("line1", "kannon-right", 8, W, H))
        if (l.line.y1() == l.line.y2())
            kannonYs << l.line.y1();
    for (const FoldLine& l : foldLines("line1", "jabara-left", 8, W, H))
        if (l.line.y1() == l.line.y2())
            jabaraYs << l.line.y1();
    QCOMPARE(kannonYs, (QVector<int>{W / 2 - 2, W / 2 - 2, W, W, 3 * W / 2 + 2, 3 * W / 2 + 2}));
    QCOMPARE(jabaraYs, (QVector<int>{W / 2 - 1, W / 2 - 1, W, W, 3 * W / 2 + 1, 3 * W / 2 + 1}));
    QVERIFY(withPen(foldLines("line1", "kannon-left", 8, W, H), PEN_CUT).isEmpty());

    // Every line of every formation stays on the sheet.
    for (const Layout& lay : LAYOUTS) {
        const QSize s = spread(lay.pageMax);
        const QRect sheet(QPoint(0, 0), sheetSize(lay.pageMax, s.width(), s.height()));
        for (const QString kind : {"line1", "line2"}) {
            const QVector<FoldLine> lines = foldLines(kind, lay.direction, lay.pageMax, s.width(), s.height());
            QVERIFY(!lines.isEmpty());
            for (const FoldLine& l : lines)
                QVERIFY2(sheet.adjusted(0, 0, 1, 1).contains(l.line.p1()) && sheet.adjusted(0, 0, 1, 1).contains(l.line.p2()),
                         qPrintable(QString("%1 %2").arg(lay.direction, kind)));
        }
    }
    QCOMPARE(foldLines("line1", "left", 4, 794, 561).size(), 3);
}

void TstSheet::foldLinesLine2AndOddFormations()
{
    const int W = 560, H = 397;
    const QVector<FoldLine> plain = foldLines("line2", "left", 8, W, H);
    const QVector<FoldLine> kannon = foldLines("line2", "kannon-left", 8, W, H);
    QCOMPARE(plain.size(), 4);
    for (const FoldLine& l : plain + kannon)
        QCOMPARE(l.pen, PEN_DOT);
    QCOMPARE(plain[1].line, QLine(0, W / 2, 2 * H, W / 2));
    QCOMPARE(kannon[1].line, QLine(0, W / 2 - 2, 2 * H, W / 2 - 2));
    QCOMPARE(kannon[3].line, QLine(0, 3 * W / 2 + 2, 2 * H, 3 * W / 2 + 2));
    QCOMPARE(foldLines("line2", "right", 4, 794, 561).size(), 2);

    QVERIFY(foldLines("none", "left", 8, W, H).isEmpty());
    QVERIFY(foldLines("line3", "left", 8, W, H).isEmpty());
    // A single page has nothing to fold, whatever direction the document holds.
    QVERIFY(foldLines("line1", "jabara-left", 1, 794, 1122).isEmpty());
    QVERIFY(foldLines("line2", "kannon-left", 1, 794, 1122).isEmpty());
    // 4 pages fold as 4 pages even with a stray 8-page direction.
    QCOMPARE(foldLines("line1", "kannon-left", 4, 794, 561).size(), foldLines("line1", "left", 4, 794, 561).size());
}

void TstSheet::foldPens()
{
    const QVector<qreal> mountain{9, 4, 1, 4}, valley{5, 4}, dot{1, 4};
    QCOMPARE(foldPen(PEN_MOUNTAIN).dashPattern(), mountain);
    QCOMPARE(foldPen(PEN_VALLEY).dashPattern(), valley);
    QCOMPARE(foldPen(PEN_DOT).dashPattern(), dot);
    QCOMPARE(foldPen(PEN_CUT).style(), Qt::SolidLine);
    for (FoldPen p : {PEN_MOUNTAIN, PEN_VALLEY, PEN_CUT, PEN_DOT}) {
        const QPen pen = foldPen(p);
        QCOMPARE(pen.color(), QColor(153, 153, 153, 255));
        QCOMPARE(pen.width(), 1);
        QCOMPARE(pen.capStyle(), Qt::SquareCap);
        QCOMPARE(pen.joinStyle(), Qt::MiterJoin);
    }
}

QTEST_MAIN(TstSheet)
#include "tst_sheet.moc"
