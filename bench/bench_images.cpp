// A photo booklet against the same booklet without its pictures: opening it in
// the editor, the editor's memory, exporting the imposed sheet and what the
// PDF holds. The pictures are generated: four distinct 4000 x 3000 JPEG
// photos (plasma with grain, which compresses as photos do), each placed twice
// at 260 x 200, and one 8000 x 6000 PNG drawing; for the peak-memory check,
// one 10000 x 10000 PNG.
#include "benchchild.h"
#include "document.h"
#include "drawobject.h"
#include "editarea.h"
#include "imagestore.h"
#include "mainwindow.h"
#include "pdfexport.h"
#include "setting.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <vector>

namespace {

const int W = 560, H = 397; // A4 sheet, 8 pages

// Octaves of random colour grids, each twice as fine and fainter, enlarged
// smoothly, with a sensor's grain on top.
QImage plasmaPhoto(int w, int h, quint32 seed)
{
    QRandomGenerator rng(seed);
    const int lw = w / 4, lh = h / 4;
    std::vector<int> sum(size_t(lw) * lh * 3, 0);
    int gw = 4, gh = 3, amp = 128;
    for (int octave = 0; octave < 7; ++octave, gw *= 2, gh *= 2, amp = amp * 6 / 10) {
        QImage grid(gw, gh, QImage::Format_RGB32);
        for (int y = 0; y < gh; ++y)
            for (int x = 0; x < gw; ++x)
                grid.setPixel(x, y, qRgb(rng.bounded(256), rng.bounded(256), rng.bounded(256)));
        const QImage up = grid.scaled(lw, lh, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        for (int y = 0; y < lh; ++y) {
            const QRgb* s = reinterpret_cast<const QRgb*>(up.constScanLine(y));
            int* d = &sum[size_t(y) * lw * 3];
            for (int x = 0; x < lw; ++x, d += 3)
                d[0] += (qRed(s[x]) - 128) * amp / 128, d[1] += (qGreen(s[x]) - 128) * amp / 128,
                    d[2] += (qBlue(s[x]) - 128) * amp / 128;
        }
    }
    QImage low(lw, lh, QImage::Format_RGB32);
    for (int y = 0; y < lh; ++y) {
        QRgb* d = reinterpret_cast<QRgb*>(low.scanLine(y));
        const int* s = &sum[size_t(y) * lw * 3];
        for (int x = 0; x < lw; ++x, s += 3)
            d[x] = qRgb(qBound(0, 128 + s[0], 255), qBound(0, 128 + s[1], 255), qBound(0, 128 + s[2], 255));
    }
    QImage photo = low.scaled(w, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    for (int y = 0; y < h; ++y) {
        QRgb* d = reinterpret_cast<QRgb*>(photo.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const int g = int(rng.bounded(3u)) - 1;
            d[x] = qRgb(qBound(0, qRed(d[x]) + g, 255), qBound(0, qGreen(d[x]) + g, 255), qBound(0, qBlue(d[x]) + g, 255));
        }
    }
    return photo;
}

// A drawing as a scanner gives it: thin coloured lines on white.
QImage drawing(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < 120; ++i) {
        p.setPen(QPen(QColor::fromHsv(i * 3 % 360, 200, 120), w / 1000.0));
        p.drawLine(QPointF(w * i / 120.0, 0), QPointF(w - w * i / 120.0, h));
        p.drawEllipse(QPointF(w / 2.0, h / 2.0), w * i / 300.0, h * i / 300.0);
    }
    return img;
}

DrawObject* textBox(int x, int y, int w, int h, const QString& text)
{
    auto* o = new DrawObject(x, y, w, h);
    o->text = text;
    o->relocateText(QString());
    return o;
}

DrawObject* pictureBox(int x, int y, int w, int h, const QString& path)
{
    auto* o = new DrawObject(x, y, w, h);
    o->text.clear();
    o->setImgPath(path);
    o->imgRatioKeep = o->imgCenter = true;
    return o;
}

// The booklet: on every page a photo, its caption and a paragraph; page 3
// carries the drawing in place of its paragraph. Without pictures the boxes
// stay, empty.
void writeBooklet(const QString& path, const QStringList& photos, const QString& drawingPath)
{
    QList<QList<DrawObject*>> areas{{}, {}, {}, {}};
    for (int page = 1; page <= 8; ++page) {
        int area = 0, half = 0;
        EditArea::pageLocation(page, 8, "left", &area, &half);
        const int x0 = half * (W / 2);
        areas[area] << pictureBox(x0 + 10, 10, 260, 200, photos.isEmpty() ? QString() : photos[(page - 1) % 4]);
        areas[area] << textBox(x0 + 10, 215, 260, 40, QString("第%1頁　旅の写真").arg(page));
        if (page == 3)
            areas[area] << pictureBox(x0 + 10, 260, 260, 120, drawingPath);
        else
            areas[area] << textBox(x0 + 10, 260, 260, 120,
                                   "折本の組版は、紙を折ると頁が順に並ぶように面付けする。Photos are placed twice.");
    }
    Document::save(path, DocumentSettings(), areas);
    for (auto& list : areas)
        qDeleteAll(list);
}

// Two copies of each booklet (so every open reads its pictures cold: the
// other copy's pictures are other files), and the 100-megapixel one.
struct Fixture {
    QTemporaryDir dir;
    QString withImages[2], withoutImages[2], hundredMegapixels;

    Fixture()
    {
        for (int copy = 0; copy < 2; ++copy) {
            const QString folder = dir.filePath(QString("copy%1").arg(copy));
            QDir().mkpath(folder);
            QStringList photos;
            for (int i = 0; i < 4; ++i) {
                photos << folder + QString("/photo%1.jpg").arg(i);
                if (copy == 0)
                    plasmaPhoto(4000, 3000, 7 + i).save(photos.last(), "JPEG", 90);
                else
                    QFile::copy(dir.filePath(QString("copy0/photo%1.jpg").arg(i)), photos.last());
            }
            const QString png = folder + "/drawing.png";
            if (copy == 0)
                drawing(8000, 6000).save(png);
            else
                QFile::copy(dir.filePath("copy0/drawing.png"), png);
            withImages[copy] = folder + "/photos.xml";
            withoutImages[copy] = folder + "/plain.xml";
            writeBooklet(withImages[copy], photos, png);
            writeBooklet(withoutImages[copy], {}, QString());
        }
    }

    QString hundred()
    {
        if (hundredMegapixels.isEmpty()) {
            drawing(10000, 10000).save(dir.filePath("hundred.png"));
            QList<QList<DrawObject*>> areas{{pictureBox(10, 10, 260, 260, dir.filePath("hundred.png"))}, {}, {}, {}};
            hundredMegapixels = dir.filePath("hundred.xml");
            Document::save(hundredMegapixels, DocumentSettings(), areas);
            qDeleteAll(areas[0]);
        }
        return hundredMegapixels;
    }
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

// The booklet's file; the fixture is made on first use, outside any timing.
QString booklet(bool images, int copy)
{
    return images ? fixture().withImages[copy] : fixture().withoutImages[copy];
}

void quiet()
{
    QLoggingCategory::setFilterRules("default.debug=false");
}

// Every edit area at zoom 1 and 2, as paging through the booklet shows it.
void showEverySpread(MainWindow& w)
{
    for (double zoom : {1.0, 2.0}) {
        w.mZoom = zoom;
        for (int area = 0; area < 4; ++area) {
            QImage view(QSize(_EDITAREA_W_PX, _EDITAREA_H_PX) * zoom, QImage::Format_ARGB32_Premultiplied);
            w.paint(&view, area, 0);
        }
    }
    w.mZoom = 1.0;
}

bool exportSheet(MainWindow& w, const QString& pdf)
{
    QString error;
    return PdfExport::writePdf(pdf, PdfExport::LayoutSheet, [&w](QPrinter* printer, int layout) { w.paint(printer, 4, layout); },
                               &error);
}

// Opening in the editor: reading the document (pictures are read when first
// shown), then also showing its first spread.
void BM_Open(benchmark::State& state)
{
    quiet();
    fixture();
    const bool images = state.range(0), show = state.range(1);
    MainWindow w;
    int copy = 0;
    for (auto _ : state) {
        copy = 1 - copy;
        w.fileOpen(booklet(images, copy));
        if (show) {
            QImage view(_EDITAREA_W_PX, _EDITAREA_H_PX, QImage::Format_ARGB32_Premultiplied);
            w.paint(&view, 0, 0);
        }
    }
    state.SetLabel(std::string(images ? "photos" : "no images") + (show ? ", first spread shown" : ""));
}
BENCHMARK(BM_Open)->ArgsProduct({{0, 1}, {0, 1}})->Unit(benchmark::kMillisecond);

// Exporting the imposed sheet: after the booklet was shown in the editor
// (warm), and straight after opening it (cold: the pictures are read for print).
void BM_ExportSheet(benchmark::State& state)
{
    quiet();
    fixture();
    const bool images = state.range(0), cold = state.range(1);
    QTemporaryDir out;
    MainWindow w;
    int copy = 0;
    w.fileOpen(booklet(images, copy));
    showEverySpread(w);
    for (auto _ : state) {
        if (cold) {
            state.PauseTiming();
            copy = 1 - copy;
            w.fileOpen(booklet(images, copy));
            state.ResumeTiming();
        }
        if (!exportSheet(w, out.filePath("sheet.pdf")))
            state.SkipWithError("export failed");
    }
    state.SetLabel(std::string(images ? "photos" : "no images") + (cold ? ", cold" : ", warm"));
}
BENCHMARK(BM_ExportSheet)->ArgsProduct({{0, 1}, {0, 1}})->Unit(benchmark::kMillisecond);

// What the imposed-sheet PDF holds: its size, how many pictures are drawn
// and embedded, and the highest resolution of any (pdfimages -list).
void BM_SheetPdfContent(benchmark::State& state)
{
    quiet();
    fixture();
    const bool images = state.range(0);
    QTemporaryDir out;
    const QString pdf = out.filePath("sheet.pdf");
    MainWindow w;
    w.fileOpen(booklet(images, 0));
    for (auto _ : state)
        exportSheet(w, pdf);
    QProcess list;
    list.start("pdfimages", {"-list", pdf});
    list.waitForFinished();
    int drawn = 0, maxPpi = 0;
    QSet<QString> objects;
    for (const QString& line : QString::fromLocal8Bit(list.readAllStandardOutput()).split('\n').mid(2)) {
        const QStringList f = line.simplified().split(' ');
        if (f.size() > 13 && f[2] == "image") {
            ++drawn;
            objects << f[10];
            maxPpi = qMax(maxPpi, qMax(f[12].toInt(), f[13].toInt()));
        }
    }
    state.counters["pdf_MB"] = QFileInfo(pdf).size() / 1e6;
    state.counters["drawn"] = drawn;
    state.counters["embedded"] = objects.size();
    state.counters["max_ppi"] = maxPpi;
    if (images) // the source files, for comparison
        state.counters["photo_file_MB"] = QFileInfo(QFileInfo(booklet(true, 0)).dir().filePath("photo0.jpg")).size() / 1e6;
    state.SetLabel(images ? "photos" : "no images");
}
BENCHMARK(BM_SheetPdfContent)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);

// The editor in a process of its own: resident memory once the booklet is
// open with its first spread shown, after every spread was shown at both
// zooms, and the peak.
int editorTask(const QStringList& args)
{
    quiet();
    MainWindow w;
    w.show();
    QApplication::processEvents();
    if (!w.fileOpen(args.value(0)))
        return 1;
    QApplication::processEvents();
    const double open = procStatusMiB("VmRSS");
    showEverySpread(w);
    std::printf("%f %f %f\n", open, procStatusMiB("VmRSS"), procStatusMiB("VmHWM"));
    return 0;
}
ChildTaskRegistration editor("editor", editorTask);

void reportEditor(benchmark::State& state, const QString& doc)
{
    QStringList mib;
    for (auto _ : state)
        mib = runInChild("editor", {doc}).split(' ');
    if (mib.size() < 3) {
        state.SkipWithError("the editor did not run");
        return;
    }
    state.counters["rss_open_MiB"] = mib[0].toDouble();
    state.counters["rss_all_shown_MiB"] = mib[1].toDouble();
    state.counters["peak_MiB"] = mib[2].toDouble();
}

void BM_EditorMemory(benchmark::State& state)
{
    reportEditor(state, booklet(state.range(0), 0));
    state.SetLabel(state.range(0) ? "photos" : "no images");
}
BENCHMARK(BM_EditorMemory)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_EditorMemory100Megapixels(benchmark::State& state)
{
    reportEditor(state, fixture().hundred());
}
BENCHMARK(BM_EditorMemory100Megapixels)->Iterations(1)->Unit(benchmark::kMillisecond);

}
