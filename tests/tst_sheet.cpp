// Edit-area geometry and the imposed sheet: every booklet page
// lands in its cell turned the right way, margins, fold lines, and the
// rendered pieces pixel by pixel.
#include "drawobject.h"
#include "editarea.h"
#include "setting.h"
#include "sheet.h"
#include "sheetlayouts.h"

#include <QtTest>

using namespace Sheet;

namespace {

const QColor WHITE(255, 255, 255), RED(255, 0, 0), SHEET(200, 230, 255), GRID(153, 204, 255);

bool same(QRgb pixel, const QColor& c)
{
    return qAbs(qRed(pixel) - c.red()) <= 2 && qAbs(qGreen(pixel) - c.green()) <= 2 && qAbs(qBlue(pixel) - c.blue()) <= 2;
}

// Four object lists owning plain red boxes.
struct Doc {
    QList<DrawObject*> areas[4];
    QList<QList<DrawObject*>*> lists{&areas[0], &areas[1], &areas[2], &areas[3]};
    ~Doc() { for (auto& l : areas) qDeleteAll(l); }
    Doc& box(int area, int x, int y, int w, int h)
    {
        areas[area] << new DrawObject(x, y, w, h);
        areas[area].last()->text.clear(), areas[area].last()->bgColorEnabled = true, areas[area].last()->bgColor = RED;
        return *this;
    }
};

Context context(const SheetLayout& lay, bool printer = true)
{
    const QSize s = lay.spread();
    return Context{s.width(), s.height(), lay.pageMax, lay.direction, "none", "none", WHITE, 5, 1.0, 96, printer};
}

QImage render(const Context& ctx, const Doc& doc, int page_area = ALL_AREAS, QSize size = QSize())
{
    QImage img(size.isValid() ? size : sheetSize(ctx.pageMax, ctx.W, ctx.H), QImage::Format_ARGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    Sheet::render(&p, ctx, page_area, 0, doc.lists);
    return img;
}

// Every pixel is `inside` within rect and white elsewhere.
bool filledExactly(const QImage& img, const QRect& rect, const QColor& inside)
{
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (!same(img.pixel(x, y), rect.contains(x, y) ? inside : WHITE))
                return false;
    return true;
}

}

class TstSheet : public QObject
{
    Q_OBJECT
private slots:
    void editAreaSizes()
    {
        // Portrait 1 page, portrait slim spread, portrait spread, landscape 1 page, landscape spread.
        for (const QString row : {"B4 971x1376 1376x971 1376x971 1376x971 1942x689", "A7 280x396 280x396 396x280 396x280 560x198"}) {
            const QStringList c = row.split(' ');
            auto is = [&](const QSize& s, int i) { return QString("%1x%2").arg(s.width()).arg(s.height()) == c[i]; };
            QVERIFY2(is(EditArea::size(c[0], 1, "portrait", "slim"), 1) && is(EditArea::size(c[0], 1, "landscape", "normal"), 4), qPrintable(row));
            for (int pm : {4, 8})
                QVERIFY2(is(EditArea::size(c[0], pm, "portrait", "slim"), 2) && is(EditArea::size(c[0], pm, "portrait", "normal"), 3)
                             && is(EditArea::size(c[0], pm, "anything", "slim"), 5), qPrintable(row)); // not "portrait": landscape
        }
        QVERIFY(!EditArea::size("B8", 8, "portrait", "normal").isValid() && !EditArea::size("a6", 8, "portrait", "normal").isValid());
    }

    void everyPageInItsCellDrawListsAndFoldLines()
    {
        QVERIFY(sheetSize(8, 560, 397) == QSize(794, 1120) && sheetSize(4, 1122, 397) == QSize(794, 1122));
        for (const SheetLayout& lay : sheetLayouts()) {
            const int W = lay.spread().width(), H = lay.spread().height(), half = W / 2;
            const QVector<Piece> list = drawList(ALL_AREAS, 0, lay.pageMax, lay.direction);
            for (int cell = 0, area, side; cell < lay.cells.size(); ++cell) {
                const QString msg = QString("%1/%2 page %3").arg(lay.direction).arg(lay.pageMax).arg(lay.cells[cell]);
                EditArea::pageLocation(lay.cells[cell], lay.pageMax, lay.direction, &area, &side);
                auto p = std::find_if(list.begin(), list.end(),
                                      [&](const Piece& p) { return p.area == area && (p.part == side || p.part == PART_WHOLE); });
                QVERIFY2(p != list.end(), qPrintable(msg));
                const QTransform t = frameTransform(areaFrame(lay.direction, lay.pageMax, p->area, p->part), p->part, W, H);
                const QRectF c((cell % 2) * H, (cell / 2) * half, H, half);
                // Clockwise (left column): the page's top edge lies along the cell's right side.
                const bool cw = cell % 2 == 0;
                QVERIFY2(t.mapRect(QRectF(side * half, 0, half, H)) == c && t.map(QPointF(side * half, 0)) == (cw ? c.topRight() : c.bottomLeft())
                             && t.map(QPointF(side * half + half, 0)) == (cw ? c.bottomRight() : c.topLeft()), qPrintable(msg));
            }
            // One output page per booklet page in reading order; one per spread.
            const QVector<Piece> pages = drawList(ALL_AREAS, 1, lay.pageMax, lay.direction);
            QVERIFY(pages.size() == lay.pageMax && drawList(ALL_AREAS, 2, lay.pageMax, lay.direction).size() == lay.pageMax / 2);
            for (int i = 0, area, side; i < pages.size(); ++i) {
                EditArea::pageLocation(i + 1, lay.pageMax, lay.direction, &area, &side);
                QCOMPARE(pages[i], (Piece{area, side, 0}));
            }
        }

        // The editor shows each spread with the margins of its printed sides; the
        // accordion's cover has both ends outside, the gatefold's inner spread is split.
        auto editor = [](int area, int pm, const char* dir) { return drawList(area, 0, pm, dir).value(0).flags; };
        QVERIFY(editor(0, 8, "jabara-right") == 14 && editor(1, 8, "kannon-left") == (EDGE_SPLIT | EDGE_BOTTOM) && editor(0, 1, "x") == 15);
        // A single page is one whole output page, not two halves of it.
        QCOMPARE(drawList(ALL_AREAS, 1, 1, "left"), (QVector<Piece>{{0, PART_WHOLE, 0}}));
        QVERIFY(drawList(ALL_AREAS, 0, 6, "left").isEmpty() && drawList(7, 0, 8, "left").isEmpty() && areaFrame("Left", 8, 0, PART_WHOLE) == TF_NONE);
        // A gatefold or accordion document with 4 pages is imposed as the standard
        // fold rather than piling both spreads onto one corner.
        QCOMPARE(areaFrame("kannon-left", 4, 1, PART_WHOLE), TF_C);
        // Absurd margins leave nothing to draw instead of a flipped rectangle.
        const ClipRects c = clipRects(PART_WHOLE, 15 | EDGE_SPLIT, 0, 100000, 560, 397);
        QVERIFY(!c.rect1.isValid() && !c.rect2.isValid() && !clipRects(5, 0, 0, 0, 560, 397).rect1.isValid());

        const int W = 560, H = 397; // fold lines and the editor's grid
        auto lines = [](const char* kind, const char* dir, int pm = 8, int only = -1) {
            QVector<QLine> out;
            for (const FoldLine& l : foldLines(kind, dir, pm, 560, 397))
                if (only < 0 || l.pen == only)
                    out << l.line;
            return out;
        };
        // Standard fold: slit through rows 2 and 3 only; the openings fold the quarter lines opposite ways.
        QCOMPARE(lines("line1", "left", 8, PEN_CUT), (QVector<QLine>{QLine(H, W / 2, H, 3 * W / 2)}));
        QVERIFY(lines("line1", "left", 8, PEN_VALLEY).contains(QLine(0, 3 * W / 2, 2 * H, 3 * W / 2))
                && lines("line1", "right", 8, PEN_VALLEY).contains(QLine(0, W / 2, 2 * H, W / 2)));
        // Gatefold folds sit 2 pixels inside the outer rows, the accordion's 1; neither is slit.
        QVERIFY(lines("line1", "kannon-right").contains(QLine(H, 3 * W / 2 + 2, 2 * H, 3 * W / 2 + 2))
                && lines("line1", "jabara-left").contains(QLine(0, W / 2 - 1, H, W / 2 - 1)) && lines("line1", "kannon-left", 8, PEN_CUT).isEmpty());
        // Nothing for other kinds, nor for a single page whatever direction a document holds.
        QVERIFY(lines("line3", "left").isEmpty() && lines("line1", "jabara-left", 1).isEmpty());
        // The grid: 35 columns from x = 7 to 551, then 25 rows down to y = 389.
        QVERIFY(gridLines(W, H).size() == 35 + 25 && gridLines(W, H).last() == QLine(7, 389, 551, 389));
    }

    void renderedMarginsColourScaleAndEditorStrip()
    {
        for (const SheetLayout& lay : sheetLayouts()) {
            Context ctx = context(lay);
            ctx.pageColor = SHEET;
            const QRect sheet(QPoint(0, 0), sheetSize(ctx.pageMax, ctx.W, ctx.H));
            QVERIFY2(filledExactly(render(ctx, Doc()), sheet.adjusted(18, 18, -18, -18), SHEET), lay.direction);
            // Without a margin the pieces cover the whole sheet, fold lines included.
            ctx.marginMm = 0, ctx.foldLine = "line1";
            QVERIFY2(filledExactly(render(ctx, Doc()), sheet, SHEET), lay.direction);
        }
        // An object reaching past the sheet's edge is clipped at the margin too.
        Context ctx = context(sheetLayouts()[0]);
        QImage img = render(ctx, Doc().box(0, -20, -20, 600, 450));
        QVERIFY(same(img.pixel(17, 100), WHITE) && same(img.pixel(18, 100), RED) && same(img.pixel(100, 17), WHITE));
        ctx.marginMm = 0, ctx.pageColor = SHEET, ctx.dpi = 0; // unusable: drawn at the program's own scale
        QVERIFY(filledExactly(render(ctx, Doc()), QRect(0, 0, 794, 1120), SHEET));

        // Accordion cover ("jabara-left"): an object across the middle of the
        // spread is cut there, each half in its own cell.
        const int half = 560 / 2;
        img = render(context(sheetLayouts()[4]), Doc().box(0, half - 50, 100, 100, 100));
        QVERIFY(same(img.pixel(200, half - 25), RED) && same(img.pixel(200, half + 25), WHITE)
                && same(img.pixel(200, 3 * half + 25), RED) && same(img.pixel(200, 3 * half - 25), WHITE));

        ctx = context(sheetLayouts()[2], false); // "kannon-left", in the editor
        ctx.pageColor = SHEET;
        img = render(ctx, Doc().box(1, 0, 0, 560, 397), 1, QSize(560, 397));
        // Gatefold inner spread: a strip 2m wide down its centre stays empty.
        for (int x = 255; x < 305; ++x)
            QVERIFY(same(img.pixel(x, 100), x >= 262 && x <= 297 ? WHITE : RED));
        QVERIFY(same(img.pixel(100, 378), RED) && same(img.pixel(100, 379), WHITE));
        // The grid shows in the margins only; the sheet colour covers the rest.
        ctx.direction = "left", ctx.pattern = "mesh";
        img = render(ctx, Doc(), 0, QSize(560, 397));
        QVERIFY(same(img.pixel(7, 100), GRID) && same(img.pixel(8, 100), WHITE) && same(img.pixel(279, 100), SHEET));
    }

};

QTEST_MAIN(TstSheet)
#include "tst_sheet.moc"
