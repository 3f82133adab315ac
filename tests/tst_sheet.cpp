// Paper table, edit-area geometry and the imposed sheet: every booklet page
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

// Four object lists owning plain coloured boxes.
struct Doc {
    QList<DrawObject*> areas[4];
    QList<QList<DrawObject*>*> lists{&areas[0], &areas[1], &areas[2], &areas[3]};
    ~Doc() { for (auto& l : areas) qDeleteAll(l); }
    Doc& box(int area, int x, int y, int w, int h, const QColor& color)
    {
        auto* o = new DrawObject(x, y, w, h);
        o->text.clear(), o->bgColorEnabled = true, o->bgColor = color;
        areas[area].append(o);
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
    void paperTableAndEditAreaSizes()
    {
        // Sheet: page with 4 and 8 pages, spread with 4 and 8 pages, Qt code.
        for (const QString row : {"A3 A5 A6 A4 A5 8", "B4 B6 B7 B5 B6 19", "A4 A6 A7 A5 A6 0", "B5 B7 B8 B6 B7 1",
                                  "A5 A7 A8 A6 A7 9", "B6 ? ? ? ? 20", "A6 ? ? ? ? 10", "B7 ? ? ? ? 21", "A7 ? ? ? ? 11",
                                  "B8 ? ? ? ? 22", "A8 ? ? ? ? 12", "b5 ? ? ? ? 0"}) {
            const QStringList c = QString(row).replace("?", "??").split(' ');
            QCOMPARE(QStringList({Setting::getFinalSize(c[0], 4), Setting::getFinalSize(c[0], 8),
                                  Setting::getEditAreaSize(c[0], 4), Setting::getEditAreaSize(c[0], 8)}), c.mid(1, 4));
            QCOMPARE(Setting::paperSizeToEnum(c[0]), c[5].toInt());
        }
        // One page is the sheet itself, whatever its name.
        QCOMPARE(Setting::getFinalSize("x", 1) + Setting::getEditAreaSize("A4", 1) + Setting::getFinalSize("A4", 6), QString("xA4??"));

        // Portrait 1 page, portrait slim spread, portrait spread, landscape 1 page, landscape spread.
        for (const QString row : {"A3 1122x1587 1587x1122 1587x1122 1587x1122 2244x794", "B4 971x1376 1376x971 1376x971 1376x971 1942x689",
                                  "A4 794x1122 1122x794 1122x794 1122x794 1587x561", "B5 689x970 970x689 970x689 970x689 1376x485",
                                  "A5 561x794 561x794 794x561 794x561 1122x397", "B6 485x688 485x688 688x485 688x485 970x344",
                                  "A6 397x560 397x560 560x397 560x397 794x280", "B7 344x484 344x484 484x344 484x344 688x242",
                                  "A7 280x396 280x396 396x280 396x280 560x198"}) {
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
            for (int cell = 0; cell < lay.cells.size(); ++cell) {
                const QString msg = QString("%1/%2 page %3").arg(lay.direction).arg(lay.pageMax).arg(lay.cells[cell]);
                int area, side;
                EditArea::pageLocation(lay.cells[cell], lay.pageMax, lay.direction, &area, &side);
                auto p = std::find_if(list.begin(), list.end(),
                                      [&](const Piece& p) { return p.area == area && (p.part == side || p.part == PART_WHOLE); });
                QVERIFY2(p != list.end(), qPrintable(msg));
                const QTransform t = frameTransform(areaFrame(lay.direction, lay.pageMax, p->area, p->part), p->part, W, H);
                const QRectF cellRect((cell % 2) * H, (cell / 2) * half, H, half);
                QVERIFY2(t.mapRect(QRectF(side * half, 0, half, H)) == cellRect, qPrintable(msg));
                // Clockwise (left column): the page's top edge lies along the cell's right side.
                const bool cw = cell % 2 == 0;
                QVERIFY2(t.map(QPointF(side * half, 0)) == (cw ? cellRect.topRight() : cellRect.bottomLeft())
                             && t.map(QPointF(side * half + half, 0)) == (cw ? cellRect.bottomRight() : cellRect.topLeft()),
                         qPrintable(msg));
            }
            // One output page per booklet page in reading order; one per spread.
            const QVector<Piece> pages = drawList(ALL_AREAS, 1, lay.pageMax, lay.direction);
            QCOMPARE(pages.size(), lay.pageMax);
            for (int i = 0, area, side; i < pages.size(); ++i) {
                EditArea::pageLocation(i + 1, lay.pageMax, lay.direction, &area, &side);
                QCOMPARE(pages[i], (Piece{area, side, 0}));
            }
            QCOMPARE(drawList(ALL_AREAS, 2, lay.pageMax, lay.direction).size(), lay.pageMax / 2);
        }

        // The editor shows each spread with the margins of its printed sides; the
        // accordion's cover has both ends outside, the gatefold's inner spread is split.
        auto editor = [](int area, int pm, const char* dir) { return drawList(area, 0, pm, dir).value(0).flags; };
        for (int k = 0; k < 4; ++k)
            QCOMPARE(editor(k, 8, "right"), drawList(ALL_AREAS, 0, 8, "right")[k].flags);
        QVERIFY(editor(0, 8, "jabara-right") == 14 && editor(1, 8, "kannon-left") == (EDGE_SPLIT | EDGE_BOTTOM));
        QVERIFY(editor(2, 8, "jabara-left") == (EDGE_RIGHT | EDGE_BOTTOM) && editor(1, 4, "right") == 14 && editor(0, 1, "x") == 15);
        // A single page is one whole output page, not two halves of it.
        QCOMPARE(drawList(ALL_AREAS, 1, 1, "left"), (QVector<Piece>{{0, PART_WHOLE, 0}}));
        QVERIFY(drawList(ALL_AREAS, 0, 6, "left").isEmpty() && drawList(ALL_AREAS, 3, 8, "left").isEmpty() && drawList(7, 0, 8, "left").isEmpty());
        QVERIFY(areaFrame("Left", 8, 0, PART_WHOLE) == TF_NONE && areaFrame("left", 1, 0, PART_WHOLE) == TF_NONE);
        // A gatefold or accordion document with 4 pages is imposed as the standard
        // fold rather than piling both spreads onto one corner.
        QCOMPARE(areaFrame("kannon-left", 4, 1, PART_WHOLE), TF_C);
        // Absurd margins leave nothing to draw instead of a flipped rectangle.
        const ClipRects c = clipRects(PART_WHOLE, 15 | EDGE_SPLIT, 0, 100000, 560, 397);
        QVERIFY(!c.rect1.isValid() && !c.rect2.isValid() && !clipRects(5, 0, 0, 0, 560, 397).rect1.isValid());

        // Fold lines and the editor's grid.
        const int W = 560, H = 397;
        auto lines = [](const char* kind, const char* dir, int pm = 8, int only = -1) {
            QVector<QLine> out;
            for (const FoldLine& l : foldLines(kind, dir, pm, 560, 397))
                if (only < 0 || l.pen == only)
                    out << l.line;
            return out;
        };
        // Standard fold: slit through rows 2 and 3 only; the openings fold the quarter lines opposite ways.
        QCOMPARE(lines("line1", "left", 8, PEN_CUT), (QVector<QLine>{QLine(H, W / 2, H, 3 * W / 2)}));
        QVERIFY(lines("line1", "left", 8, PEN_VALLEY).contains(QLine(0, 3 * W / 2, 2 * H, 3 * W / 2)));
        QVERIFY(lines("line1", "right", 8, PEN_VALLEY).contains(QLine(0, W / 2, 2 * H, W / 2)));
        // Gatefold folds sit 2 pixels inside the outer rows, the accordion's 1.
        QVERIFY(lines("line1", "kannon-right").contains(QLine(H, 3 * W / 2 + 2, 2 * H, 3 * W / 2 + 2)));
        QVERIFY(lines("line1", "jabara-left").contains(QLine(0, W / 2 - 1, H, W / 2 - 1)));
        QVERIFY(lines("line1", "kannon-left", 8, PEN_CUT).isEmpty() && lines("line2", "kannon-left")[1] == QLine(0, W / 2 - 2, 2 * H, W / 2 - 2));
        QVERIFY(lines("line2", "left", 8, PEN_DOT).size() == 4 && lines("line2", "right", 4).size() == 2);
        // Nothing for other kinds, nor for a single page whatever direction a document holds.
        QVERIFY(lines("none", "left").isEmpty() && lines("line3", "left").isEmpty() && lines("line1", "jabara-left", 1).isEmpty());
        QCOMPARE(lines("line1", "kannon-left", 4), lines("line1", "left", 4));
        // Mountain, valley and dotted lines each keep their own dash pattern.
        QCOMPARE(foldPen(PEN_MOUNTAIN).dashPattern() + foldPen(PEN_VALLEY).dashPattern() + foldPen(PEN_DOT).dashPattern(),
                 (QVector<qreal>{9, 4, 1, 4, 5, 4, 1, 4}));

        // 35 vertical lines x = 7, 23 ... 551 from y = 5 to 389, then the horizontal ones.
        const QVector<QLine> grid = gridLines(W, H);
        QVERIFY(grid.size() == 35 + 25 && grid[0] == QLine(7, 5, 7, 389) && grid[34] == QLine(551, 5, 551, 389));
        QVERIFY(grid.last() == QLine(7, 389, 551, 389) && gridLines(0, H).isEmpty());
    }

    void renderedMarginsColourScaleAndEditorStrip()
    {
        for (const SheetLayout& lay : sheetLayouts()) {
            Context ctx = context(lay);
            ctx.pageColor = SHEET;
            const QRect sheet(QPoint(0, 0), sheetSize(ctx.pageMax, ctx.W, ctx.H));
            const QString msg = QString("%1/%2").arg(lay.direction).arg(lay.pageMax);
            QVERIFY2(filledExactly(render(ctx, Doc()), sheet.adjusted(18, 18, -18, -18), SHEET), qPrintable(msg));
            // Without a margin the pieces cover the whole sheet, fold lines included.
            ctx.marginMm = 0, ctx.foldLine = "line1";
            QVERIFY2(filledExactly(render(ctx, Doc()), sheet, SHEET), qPrintable(msg));
        }
        // An object reaching past the sheet's edge is clipped at the margin too.
        Context ctx = context(sheetLayouts()[0]);
        QImage img = render(ctx, Doc().box(0, -20, -20, 600, 450, RED));
        QVERIFY(same(img.pixel(17, 100), WHITE) && same(img.pixel(18, 100), RED) && same(img.pixel(100, 17), WHITE));
        ctx.marginMm = 0, ctx.pageColor = SHEET, ctx.dpi = 72; // drawn at three quarters
        img = render(ctx, Doc(), ALL_AREAS, QSize(794, 1120));
        QVERIFY(filledExactly(img, QRect(0, 0, 595, 840), SHEET) || filledExactly(img, QRect(0, 0, 596, 840), SHEET));
        ctx.dpi = 0; // unusable: drawn at the program's own scale
        QVERIFY(filledExactly(render(ctx, Doc()), QRect(0, 0, 794, 1120), SHEET));

        // Accordion cover ("jabara-left"): an object across the middle of the
        // spread is cut there, each half in its own cell.
        const int half = 560 / 2;
        img = render(context(sheetLayouts()[4]), Doc().box(0, half - 50, 100, 100, 100, RED));
        QVERIFY(same(img.pixel(200, half - 25), RED) && same(img.pixel(200, half + 25), WHITE));
        QVERIFY(same(img.pixel(200, 3 * half + 25), RED) && same(img.pixel(200, 3 * half - 25), WHITE));

        ctx = context(sheetLayouts()[2], false); // "kannon-left", in the editor
        ctx.pageColor = SHEET;
        img = render(ctx, Doc().box(1, 0, 0, 560, 397, RED), 1, QSize(560, 397));
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
