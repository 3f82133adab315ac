// The rendered sheet, pixel by pixel: marked pages land in their cells turned
// the right way, margins stay empty, fold lines lie under the pages, and the
// per-page outputs come in booklet order.
#include "drawobject.h"
#include "editarea.h"
#include "mainwindow.h"
#include "setting.h"
#include "sheet.h"
#include "testsupport.h"

#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using namespace Sheet;

namespace {

struct Layout {
    const char* direction;
    int pageMax;
    QVector<int> cells; // rows from the top, left column (cw) then right (ccw)
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

const QColor WHITE(255, 255, 255);
const QColor BLACK(0, 0, 0);
const QColor SHEET(200, 230, 255);

QColor pageColor(int page)
{
    return QColor(30 * page, 255 - 30 * page, 128);
}

bool same(QRgb pixel, const QColor& c)
{
    return qAbs(qRed(pixel) - c.red()) <= 2 && qAbs(qGreen(pixel) - c.green()) <= 2
        && qAbs(qBlue(pixel) - c.blue()) <= 2;
}

bool isFoldGrey(QRgb pixel)
{
    return same(pixel, QColor(153, 153, 153));
}

// The four object lists of a document, owning their boxes.
struct Doc {
    QList<QList<DrawObject*>*> lists;
    Doc()
    {
        for (int i = 0; i < 4; ++i)
            lists << new QList<DrawObject*>;
    }
    ~Doc()
    {
        for (auto* l : lists) {
            qDeleteAll(*l);
            delete l;
        }
    }
    DrawObject* box(int area, int x, int y, int w, int h, const QColor& color)
    {
        auto* o = new DrawObject(x, y, w, h);
        o->text.clear();
        o->bgColorEnabled = true;
        o->bgColor = color;
        lists[area]->append(o);
        return o;
    }
};

Context printerContext(const QString& direction, int pageMax)
{
    Context c;
    c.W = pageMax == 8 ? 560 : 794;
    c.H = pageMax == 8 ? 397 : 561;
    c.pageMax = pageMax;
    c.direction = direction;
    c.marginMm = 5;
    c.printer = true;
    return c;
}

QImage renderImage(const Context& ctx, const Doc& doc, int page_area = ALL_AREAS, int page_divide = 0,
              QSize size = QSize(), const Hooks& hooks = Hooks())
{
    if (!size.isValid())
        size = sheetSize(ctx.pageMax, ctx.W, ctx.H);
    QImage img(size, QImage::Format_ARGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    Sheet::render(&p, ctx, page_area, page_divide, doc.lists, hooks);
    p.end();
    return img;
}

// Every pixel is `inside` within rect and `outside` elsewhere.
bool filledExactly(const QImage& img, const QRect& rect, const QColor& inside, const QColor& outside)
{
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (!same(img.pixel(x, y), rect.contains(x, y) ? inside : outside))
                return false;
    return true;
}

}

class TstImposition : public QObject
{
    Q_OBJECT
private slots:
    void init() { Setting::resetDefaults(); }
    void markedPagesLandInTheirCellsTurned();
    void objectAcrossTheMiddleOfASpread();
    void sheetColourStopsAtTheMargins();
    void foldLinesLieUnderThePages();
    void printerResolutionScales();
    void perPageOutputInBookletOrder();
    void editorSplitStripGridAndZoom();
    void windowWritesOnePdfPagePerBookletPage();
};

void TstImposition::markedPagesLandInTheirCellsTurned()
{
    for (const Layout& lay : LAYOUTS) {
        const Context ctx = printerContext(lay.direction, lay.pageMax);
        const int W = ctx.W, H = ctx.H, half = W / 2;
        Doc doc;
        for (int page = 1; page <= lay.pageMax; ++page) {
            int area, side;
            EditArea::pageLocation(page, lay.pageMax, lay.direction, &area, &side);
            doc.box(area, side * half + 40, 40, half - 80, H - 80, pageColor(page));
            doc.box(area, side * half + 40, 40, 30, 30, BLACK); // the page's top-left corner
        }
        const QImage img = renderImage(ctx, doc);
        for (int cell = 0; cell < lay.cells.size(); ++cell) {
            const int page = lay.cells[cell];
            const int left = (cell % 2) * H, top = (cell / 2) * half;
            const bool cw = cell % 2 == 0;
            const QString where = QString("%1/%2 page %3").arg(lay.direction).arg(lay.pageMax).arg(page);
            QVERIFY2(same(img.pixel(left + H / 2, top + half / 2), pageColor(page)), qPrintable(where));
            const QPoint corners[] = {{left + 55, top + 55}, {left + H - 55, top + 55},
                                      {left + 55, top + half - 55}, {left + H - 55, top + half - 55}};
            const QPoint mark = cw ? corners[1] : corners[2];
            for (const QPoint& c : corners)
                QVERIFY2(same(img.pixel(c), c == mark ? BLACK : pageColor(page)), qPrintable(where));
        }
    }
}

void TstImposition::objectAcrossTheMiddleOfASpread()
{
    const QColor c(255, 0, 0);
    {
        // Standard fold: both halves of a spread are neighbouring cells.
        const Context ctx = printerContext("left", 8);
        const int W = ctx.W;
        Doc doc;
        doc.box(1, W / 2 - 50, 100, 100, 100, c);
        const QImage img = renderImage(ctx, doc);
        QVERIFY(same(img.pixel(200, 3 * W / 2 - 25), c));
        QVERIFY(same(img.pixel(200, 3 * W / 2 + 25), c));
    }
    {
        // Accordion cover: each half goes to its own cell, cut at the middle.
        const Context ctx = printerContext("jabara-left", 8);
        const int W = ctx.W;
        Doc doc;
        doc.box(0, W / 2 - 50, 100, 100, 100, c);
        const QImage img = renderImage(ctx, doc);
        QVERIFY(same(img.pixel(200, W / 2 - 25), c));
        QVERIFY(same(img.pixel(200, W / 2 + 25), WHITE));
        QVERIFY(same(img.pixel(200, 3 * W / 2 + 25), c));
        QVERIFY(same(img.pixel(200, 3 * W / 2 - 25), WHITE));
    }
}

void TstImposition::sheetColourStopsAtTheMargins()
{
    for (const Layout& lay : LAYOUTS) {
        Context ctx = printerContext(lay.direction, lay.pageMax);
        ctx.pageColor = SHEET;
        const QRect sheet(QPoint(0, 0), sheetSize(ctx.pageMax, ctx.W, ctx.H));
        const QString where = QString("%1/%2").arg(lay.direction).arg(lay.pageMax);
        QVERIFY2(filledExactly(renderImage(ctx, Doc()), sheet.adjusted(18, 18, -18, -18), SHEET, WHITE), qPrintable(where));
        ctx.marginMm = 0;
        QVERIFY2(filledExactly(renderImage(ctx, Doc()), sheet, SHEET, WHITE), qPrintable(where));
    }
    // An object reaching past the edge is clipped at the margin too.
    Context ctx = printerContext("left", 8);
    Doc doc;
    doc.box(0, -20, -20, 600, 450, QColor(255, 0, 0));
    const QImage img = renderImage(ctx, doc);
    QVERIFY(same(img.pixel(17, 100), WHITE));
    QVERIFY(same(img.pixel(18, 100), QColor(255, 0, 0)));
    QVERIFY(same(img.pixel(100, 17), WHITE));
    QVERIFY(same(img.pixel(100, 18), QColor(255, 0, 0)));
}

void TstImposition::foldLinesLieUnderThePages()
{
    Context ctx = printerContext("left", 8);
    ctx.foldLine = "line1";
    const int W = ctx.W, H = ctx.H;
    QImage img = renderImage(ctx, Doc());
    // The slit down the middle is solid through rows 2 and 3 only.
    for (int y = W / 2 + 1; y < 3 * W / 2; ++y)
        QVERIFY2(isFoldGrey(img.pixel(H, y)), qPrintable(QString::number(y)));
    int grey = 0;
    for (int y = 0; y < W / 2 - 1; ++y)
        grey += isFoldGrey(img.pixel(H, y));
    QVERIFY(grey > 0 && grey < W / 2 - 1); // dashed mountain fold above it

    ctx.foldLine = "none";
    img = renderImage(ctx, Doc());
    QVERIFY(!isFoldGrey(img.pixel(H, W)));

    // Pieces paint over the lines: a full sheet colour hides them all.
    ctx.foldLine = "line1";
    ctx.marginMm = 0;
    ctx.pageColor = SHEET;
    const QRect sheet(QPoint(0, 0), sheetSize(8, W, H));
    QVERIFY(filledExactly(renderImage(ctx, Doc()), sheet, SHEET, WHITE));
}

void TstImposition::printerResolutionScales()
{
    Context ctx = printerContext("right", 8);
    ctx.marginMm = 0;
    ctx.pageColor = SHEET;
    ctx.dpi = 72;
    const QSize sheet = sheetSize(8, ctx.W, ctx.H); // 794 x 1120
    QImage img = renderImage(ctx, Doc(), ALL_AREAS, 0, sheet);
    QVERIFY(same(img.pixel(int(794 * 0.75) - 2, int(1120 * 0.75) - 2), SHEET));
    QVERIFY(same(img.pixel(int(794 * 0.75) + 2, 100), WHITE));
    QVERIFY(same(img.pixel(100, int(1120 * 0.75) + 2), WHITE));

    ctx.dpi = 192;
    img = renderImage(ctx, Doc(), ALL_AREAS, 0, sheet * 2);
    QVERIFY(same(img.pixel(2 * 794 - 2, 2 * 1120 - 2), SHEET));

    // An unusable resolution falls back to the program's own scale.
    ctx.dpi = 0;
    img = renderImage(ctx, Doc(), ALL_AREAS, 0, sheet);
    QVERIFY(filledExactly(img, QRect(QPoint(0, 0), sheet), SHEET, WHITE));
}

void TstImposition::perPageOutputInBookletOrder()
{
    for (const QString dir : {"left", "right"}) {
        Context ctx = printerContext(dir, 8);
        const int half = ctx.W / 2, H = ctx.H;
        Doc doc;
        // Each page fully covered, so margins (none on this output) would show.
        for (int page = 1; page <= 8; ++page) {
            int area, side;
            EditArea::pageLocation(page, 8, dir, &area, &side);
            doc.box(area, side * half, 0, half, H, pageColor(page));
        }
        QImage img(half, H, QImage::Format_ARGB32);
        img.fill(Qt::white);
        QList<QColor> seen;
        {
            QPainter p(&img);
            Hooks hooks;
            hooks.newPage = [&] { seen << QColor(img.pixel(0, 0)); };
            Sheet::render(&p, ctx, ALL_AREAS, 1, doc.lists, hooks);
        }
        seen << QColor(img.pixel(0, 0));
        QCOMPARE(seen.size(), 8);
        for (int page = 1; page <= 8; ++page)
            QVERIFY2(same(seen[page - 1].rgb(), pageColor(page)), qPrintable(QString("%1 %2").arg(dir).arg(page)));
        QVERIFY(same(img.pixel(half - 1, H - 1), pageColor(8)));
    }
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
    doc.box(1, 0, 0, 560, 397, QColor(255, 0, 0));
    QImage img = renderImage(ctx, doc, 1, 0, QSize(560, 397));
    // Gatefold inner spread: a 36-pixel strip down the centre stays empty.
    QVERIFY(same(img.pixel(261, 100), QColor(255, 0, 0)));
    for (int x = 262; x <= 297; ++x)
        QVERIFY(same(img.pixel(x, 100), WHITE));
    QVERIFY(same(img.pixel(298, 100), QColor(255, 0, 0)));
    QVERIFY(same(img.pixel(100, 397 - 19), QColor(255, 0, 0)));
    QVERIFY(same(img.pixel(100, 397 - 18), WHITE));

    // Grid: visible in the margins only, under the sheet colour elsewhere.
    ctx.direction = "left";
    ctx.pattern = "mesh";
    img = renderImage(ctx, Doc(), 0, 0, QSize(560, 397));
    const QColor grid(153, 204, 255);
    QVERIFY(same(img.pixel(7, 100), grid));
    QVERIFY(same(img.pixel(8, 100), WHITE));
    QVERIFY(same(img.pixel(279, 100), SHEET));
    QVERIFY(same(img.pixel(280, 100), SHEET));
    QVERIFY(same(img.pixel(100, 389), grid)); // bottom margin of area 0
    ctx.pageColor = WHITE;
    img = renderImage(ctx, Doc(), 0, 0, QSize(560, 397));
    QVERIFY(same(img.pixel(279, 100), grid));
    QVERIFY(same(img.pixel(100, 197), grid));
    QVERIFY(same(img.pixel(280, 100), WHITE));

    // Zoom 2 doubles everything, margins included.
    ctx.pattern = "none";
    ctx.pageColor = SHEET;
    ctx.zoom = 2.0;
    img = renderImage(ctx, Doc(), 0, 0, QSize(1120, 794));
    QVERIFY(same(img.pixel(35, 400), WHITE));
    QVERIFY(same(img.pixel(36, 400), SHEET));
    QVERIFY(same(img.pixel(1119, 400), SHEET)); // area 0's right side is the fold
}

void TstImposition::windowWritesOnePdfPagePerBookletPage()
{
    ScriptedSeam::install();
    MainWindow w;
    for (int area = 0; area < 4; ++area) {
        auto* o = new DrawObject(10, 10, 100, 100);
        o->bgColorEnabled = true;
        o->bgColor = QColor(0, 128, 0);
        w.mListArea[area]->append(o);
    }
    QTemporaryDir dir;
    auto pdfPages = [&](int page_divide) {
        const QString path = dir.filePath(QString("out%1.pdf").arg(page_divide));
        {
            QPrinter printer(QPrinter::ScreenResolution);
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(path);
            printer.setFullPage(true);
            w.paint(&printer, ALL_AREAS, page_divide);
        }
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            return -1;
        const QByteArray pdf = f.readAll();
        return QString::fromLatin1(pdf.constData(), pdf.size()).count(QRegularExpression("/Type\\s*/Page[^s]"));
    };
    QCOMPARE(pdfPages(0), 1);
    QCOMPARE(pdfPages(1), 8);
    QCOMPARE(pdfPages(2), 4);
}

QTEST_MAIN(TstImposition)
#include "tst_imposition.moc"
