#include "drawobject.h"
#include "shapes.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

const QRect AREA(0, 0, 560, 397);

// 100 objects of an edit area: outlined text, every shape kind, an image.
std::vector<std::unique_ptr<DrawObject>> makeArea(const QString& imagePath)
{
    std::vector<std::unique_ptr<DrawObject>> objs;
    for (int i = 0; i < 100; ++i) {
        const int x = (i * 53) % 480, y = (i * 37) % 320;
        auto obj = std::make_unique<DrawObject>(x, y, 80, 60);
        obj->text = QStringLiteral("折本%1").arg(i);
        obj->layoutRects = {QRect(4, 4, 72, 20)};
        obj->layoutFlags = {Qt::AlignLeft};
        obj->layoutTexts = {obj->text};
        obj->layoutKinds.clear();
        switch (i % 5) {
        case 0:
            obj->textEdgeWidth = 2;
            break;
        case 1:
            obj->shapeData = defaultShapeData(3 + i % 6);
            break;
        case 2:
            obj->bgColorEnabled = true;
            obj->bgRadius = 8;
            obj->borderStyle = 1;
            obj->ruledlineStyle = 2;
            break;
        case 3:
            obj->shapeData = defaultShapeData(1 + i % 2);
            obj->r = 15;
            break;
        default:
            obj->shapeData = QString(defaultShapeData(4 + i % 5)).replace("MoldCut=none", "MoldCut=inside");
            obj->bgColorEnabled = true;
            break;
        }
        if (i == 50) {
            obj->setImgPath(imagePath);
            obj->imgRatioKeep = true;
            obj->imgCenter = true;
        }
        objs.push_back(std::move(obj));
    }
    return objs;
}

void BM_PaintEditArea(benchmark::State& state)
{
    QTemporaryDir dir;
    QImage photo(1200, 800, QImage::Format_RGB32);
    photo.fill(Qt::darkCyan);
    const QString path = dir.filePath("photo.png");
    photo.save(path);
    auto objs = makeArea(path);
    QImage target(AREA.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        target.fill(Qt::white);
        QPainter p(&target);
        for (auto& obj : objs)
            obj->paint(&p, AREA, QRect());
        p.end();
        benchmark::DoNotOptimize(target.constBits());
    }
}
BENCHMARK(BM_PaintEditArea)->Unit(benchmark::kMillisecond);

} // namespace
