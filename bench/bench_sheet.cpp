// Painting the whole imposed A4 sheet of 8 pages at printer resolution, with a
// few objects on every page: into an image and into a PDF file.
#include "drawobject.h"
#include "editarea.h"
#include "sheet.h"

#include <QApplication>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

const int W = 560, H = 397; // A4 sheet, 8 pages

struct Document {
    QList<QList<DrawObject*>*> lists;
    explicit Document(const QString& direction)
    {
        for (int i = 0; i < 4; ++i)
            lists << new QList<DrawObject*>;
        for (int page = 1; page <= 8; ++page) {
            int area, half;
            EditArea::pageLocation(page, 8, direction, &area, &half);
            const int x0 = half * (W / 2);
            auto* bg = new DrawObject(x0 + 20, 20, W / 2 - 40, H - 40);
            bg->text.clear();
            bg->bgColorEnabled = true;
            bg->bgColor = QColor(240, 240, 200);
            bg->bgRadius = 8;
            auto* text = new DrawObject(x0 + 30, 40, W / 2 - 60, 200);
            text->text = QString("第%1頁　折本の組版は、紙を折ると頁が順に並ぶように面付けする。Layout %1.").arg(page);
            text->textTategaki = page % 2 == 0;
            text->relocateText(QString());
            auto* frame = new DrawObject(x0 + 30, 260, W / 2 - 60, 80);
            frame->text = QString::number(page);
            frame->borderStyle = 1;
            frame->borderWidth = 2;
            frame->relocateText(QString());
            *lists[area] << bg << text << frame;
        }
    }
    ~Document()
    {
        for (auto* l : lists) {
            qDeleteAll(*l);
            delete l;
        }
    }
};

Sheet::Context context(const QString& direction, double dpi)
{
    Sheet::Context c;
    c.W = W;
    c.H = H;
    c.direction = direction;
    c.foldLine = "line1";
    c.marginMm = 5;
    c.dpi = dpi;
    c.printer = true;
    return c;
}

void BM_SheetImage300dpi(benchmark::State& state)
{
    const QString direction = state.range(0) ? "kannon-left" : "left";
    Document doc(direction);
    const Sheet::Context ctx = context(direction, 300);
    const QSize sheet = Sheet::sheetSize(8, W, H) * ctx.printerScale();
    QImage img(sheet, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        img.fill(Qt::white);
        QPainter p(&img);
        Sheet::render(&p, ctx, Sheet::ALL_AREAS, 0, doc.lists);
        p.end();
        benchmark::DoNotOptimize(img.constBits());
    }
}
BENCHMARK(BM_SheetImage300dpi)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_SheetPdf300dpi(benchmark::State& state)
{
    Document doc("left");
    const Sheet::Context ctx = context("left", 300);
    QTemporaryDir dir;
    const QString path = dir.filePath("sheet.pdf");
    for (auto _ : state) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        printer.setResolution(300);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setFullPage(true);
        QPainter p(&printer);
        Sheet::render(&p, ctx, Sheet::ALL_AREAS, 0, doc.lists);
        p.end();
    }
}
BENCHMARK(BM_SheetPdf300dpi)->Unit(benchmark::kMillisecond);

}
