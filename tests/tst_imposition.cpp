// The rendered sheet, pixel by pixel: marked pages land in their cells turned
// the right way, margins stay empty, fold lines lie under the pages, and the
// per-page outputs come in booklet order.
#include "drawobject.h"
#include "editarea.h"
#include "mainwindow.h"
#include "sheet.h"
#include "sheetlayouts.h"
#include "testsupport.h"

#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using namespace Sheet;

namespace {

const QColor WHITE(255, 255, 255), BLACK(0, 0, 0), RED(255, 0, 0), SHEET(200, 230, 255);

QColor pageColor(int page) { return QColor(30 * page, 255 - 30 * page, 128); }

bool same(QRgb pixel, const QColor& c)
{
    return qAbs(qRed(pixel) - c.red()) <= 2 && qAbs(qGreen(pixel) - c.green()) <= 2 && qAbs(qBlue(pixel) - c.blue()) <= 2;
}

// Four object lists owning plain coloured boxes.
struct Doc {
    QList<QList<DrawObject*>*> lists{new QList<DrawObject*>, new QList<DrawObject*>, new QList<DrawObject*>,
                                     new QList<DrawObject*>};
    ~Doc()
    {
        for (auto* l : lists)
            qDeleteAll(*l), delete l;
    }
    void box(int area, int x, int y, int w, int h, const QColor& color)
    {
        auto* o = new DrawObject(x, y, w, h);
        o->text.clear();
        o->bgColorEnabled = true;
        o->bgColor = color;
        lists[area]->append(o);
    }
};

Context sheetContext(const SheetLayout& lay)
{
    Context c;
    c.W = lay.spread().width();
    c.H = lay.spread().height();
    c.pageMax = lay.pageMax;
    c.direction = lay.direction;
    c.marginMm = 5;
    c.printer = true;
    return c;
}

QImage renderImage(const Context& ctx, const Doc& doc, int page_area = ALL_AREAS, QSize size = QSize())
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

class TstImposition : public QObject
{
    Q_OBJECT
private slots:
    void markedPagesLandInTheirCellsTurned();
    void objectAcrossTheMiddleOfASpread();
    void sheetColourMarginsFoldLinesAndScale();
    void perPageOutputInBookletOrder();
    void editorSplitStripGridAndZoom();
    void windowWritesOnePdfPagePerOutputPage();
};

void TstImposition::markedPagesLandInTheirCellsTurned()
{
    for (const SheetLayout& lay : sheetLayouts()) {
        const Context ctx = sheetContext(lay);
        const int H = ctx.H, half = ctx.W / 2;
        Doc doc;
        for (int page = 1; page <= lay.pageMax; ++page) {
            int area, side;
            EditArea::pageLocation(page, lay.pageMax, lay.direction, &area, &side);
            doc.box(area, side * half + 40, 40, half - 80, H - 80, pageColor(page));
            doc.box(area, side * half + 40, 40, 30, 30, BLACK); // marks the page's top-left corner
        }
        const QImage img = renderImage(ctx, doc);
        for (int cell = 0; cell < lay.cells.size(); ++cell) {
            const int page = lay.cells[cell], left = (cell % 2) * H, top = (cell / 2) * half;
            const QString msg = QString("%1/%2 page %3").arg(lay.direction).arg(lay.pageMax).arg(page);
            const QPoint corners[] = {{left + 55, top + 55}, {left + H - 55, top + 55},
                                      {left + 55, top + half - 55}, {left + H - 55, top + half - 55}};
            const QPoint mark = cell % 2 == 0 ? corners[1] : corners[2]; // cw : ccw
            for (const QPoint& c : corners)
                QVERIFY2(same(img.pixel(c), c == mark ? BLACK : pageColor(page)), qPrintable(msg));
        }
    }
}

void TstImposition::objectAcrossTheMiddleOfASpread()
{
    const SheetLayout& standard = sheetLayouts()[0];
    const SheetLayout& accordion = sheetLayouts()[4];
    QCOMPARE(QString(accordion.direction), QString("jabara-left"));
    const int W = 560;
    Doc spread1, cover;
    spread1.box(1, W / 2 - 50, 100, 100, 100, RED);
    cover.box(0, W / 2 - 50, 100, 100, 100, RED);
    // Standard fold: the halves of a spread are neighbouring cells.
    QImage img = renderImage(sheetContext(standard), spread1);
    QVERIFY(same(img.pixel(200, 3 * W / 2 - 25), RED) && same(img.pixel(200, 3 * W / 2 + 25), RED));
    // Accordion cover: each half goes to its own cell, cut at the middle.
    img = renderImage(sheetContext(accordion), cover);
    QVERIFY(same(img.pixel(200, W / 2 - 25), RED) && same(img.pixel(200, W / 2 + 25), WHITE));
    QVERIFY(same(img.pixel(200, 3 * W / 2 + 25), RED) && same(img.pixel(200, 3 * W / 2 - 25), WHITE));
}

void TstImposition::sheetColourMarginsFoldLinesAndScale()
{
    for (const SheetLayout& lay : sheetLayouts()) {
        Context ctx = sheetContext(lay);
        ctx.pageColor = SHEET;
        const QRect sheet(QPoint(0, 0), sheetSize(ctx.pageMax, ctx.W, ctx.H));
        const QString msg = QString("%1/%2").arg(lay.direction).arg(lay.pageMax);
        QVERIFY2(filledExactly(renderImage(ctx, Doc()), sheet.adjusted(18, 18, -18, -18), SHEET), qPrintable(msg));
        // Without a margin the pieces cover the whole sheet, fold lines included.
        ctx.marginMm = 0;
        ctx.foldLine = "line1";
        QVERIFY2(filledExactly(renderImage(ctx, Doc()), sheet, SHEET), qPrintable(msg));
    }
    Context ctx = sheetContext(sheetLayouts()[0]);
    ctx.foldLine = "line1";
    const int W = ctx.W, H = ctx.H;
    QImage img = renderImage(ctx, Doc());
    int grey = 0;
    for (int y = 0; y < 2 * W; ++y)
        grey += same(img.pixel(H, y), QColor(153, 153, 153)) ? 1 : (y > W / 2 && y < 3 * W / 2 ? -1000 : 0);
    QVERIFY(grey > W && grey < 2 * W); // the slit is solid, the folds beyond it dashed
    // An object reaching past the sheet's edge is clipped at the margin too.
    Doc doc;
    doc.box(0, -20, -20, 600, 450, RED);
    img = renderImage(ctx, doc);
    QVERIFY(same(img.pixel(17, 100), WHITE) && same(img.pixel(18, 100), RED));
    QVERIFY(same(img.pixel(100, 17), WHITE) && same(img.pixel(100, 18), RED));

    ctx.marginMm = 0;
    ctx.pageColor = SHEET;
    ctx.dpi = 72;
    img = renderImage(ctx, Doc(), ALL_AREAS, QSize(794, 1120));
    QVERIFY(filledExactly(img, QRect(0, 0, 595, 840), SHEET) || filledExactly(img, QRect(0, 0, 596, 840), SHEET));
    ctx.dpi = 0; // unusable: drawn at the program's own scale
    QVERIFY(filledExactly(renderImage(ctx, Doc()), QRect(0, 0, 794, 1120), SHEET));
}

void TstImposition::perPageOutputInBookletOrder()
{
    const SheetLayout& lay = sheetLayouts()[1]; // "right", 8 pages
    const Context ctx = sheetContext(lay);
    const int half = ctx.W / 2;
    Doc doc;
    for (int page = 1; page <= 8; ++page) {
        int area, side;
        EditArea::pageLocation(page, 8, lay.direction, &area, &side);
        doc.box(area, side * half, 0, half, ctx.H, pageColor(page)); // would show a margin too
    }
    QImage img(half, ctx.H, QImage::Format_ARGB32);
    img.fill(Qt::white);
    QList<QRgb> seen;
    QPainter p(&img);
    Hooks hooks;
    hooks.newPage = [&] { seen << img.pixel(0, 0) << img.pixel(half - 1, ctx.H - 1); };
    Sheet::render(&p, ctx, ALL_AREAS, 1, doc.lists, hooks);
    p.end();
    seen << img.pixel(0, 0) << img.pixel(half - 1, ctx.H - 1);
    QCOMPARE(seen.size(), 16);
    for (int i = 0; i < seen.size(); ++i)
        QVERIFY2(same(seen[i], pageColor(i / 2 + 1)), qPrintable(QString::number(i)));
}

void TstImposition::editorSplitStripGridAndZoom()
{
    Context ctx;
    ctx.W = 560;
    ctx.H = 397;
    ctx.direction = "kannon-left";
    ctx.marginMm = 5;
    ctx.pageColor = SHEET;
    Doc doc;
    doc.box(1, 0, 0, 560, 397, RED);
    QImage img = renderImage(ctx, doc, 1, QSize(560, 397));
    // Gatefold inner spread: a strip 2m wide down its centre stays empty.
    for (int x = 255; x < 305; ++x)
        QVERIFY(same(img.pixel(x, 100), x >= 262 && x <= 297 ? WHITE : RED));
    QVERIFY(same(img.pixel(100, 378), RED) && same(img.pixel(100, 379), WHITE));

    // The grid shows in the margins only; the sheet colour covers the rest.
    ctx.direction = "left";
    ctx.pattern = "mesh";
    const QColor grid(153, 204, 255);
    img = renderImage(ctx, Doc(), 0, QSize(560, 397));
    QVERIFY(same(img.pixel(7, 100), grid) && same(img.pixel(8, 100), WHITE));
    QVERIFY(same(img.pixel(279, 100), SHEET) && same(img.pixel(100, 389), grid));

    ctx.pattern = "none";
    ctx.pageColor = SHEET;
    ctx.zoom = 2.0;
    img = renderImage(ctx, Doc(), 0, QSize(1120, 794));
    QVERIFY(same(img.pixel(35, 400), WHITE) && same(img.pixel(36, 400), SHEET) && same(img.pixel(1119, 400), SHEET));
}

void TstImposition::windowWritesOnePdfPagePerOutputPage()
{
    ScriptedSeam::install();
    MainWindow w;
    QTemporaryDir dir;
    auto pdfPages = [&](int page_divide) {
        const QString path = dir.filePath(QString("out%1.pdf").arg(page_divide));
        {
            QPrinter printer(QPrinter::ScreenResolution);
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(path);
            w.paint(&printer, ALL_AREAS, page_divide);
        }
        QFile f(path);
        const QByteArray pdf = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        return QString::fromLatin1(pdf.constData(), pdf.size()).count(QRegularExpression("/Type\\s*/Page[^s]"));
    };
    QCOMPARE(pdfPages(0), 1);
    QCOMPARE(pdfPages(1), 8);
    QCOMPARE(pdfPages(2), 4);
}

QTEST_MAIN(TstImposition)
#include "tst_imposition.moc"
