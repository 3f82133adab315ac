// Opening and saving a booklet of a few hundred objects.
#include "document.h"
#include "drawobject.h"

#include <QApplication>
#include <QSet>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int OBJECTS_PER_AREA = 100;

// Four areas of text boxes; every fifth pair is linked.
QList<QList<DrawObject*>> makeAreas()
{
    QList<QList<DrawObject*>> areas;
    for (int a = 0; a < 4; ++a) {
        QList<DrawObject*> list;
        QList<DrawObject*>* chain = nullptr;
        for (int i = 0; i < OBJECTS_PER_AREA; ++i) {
            auto* o = new DrawObject(i % 500, i % 300, 120, 60);
            o->text = QString("折本の本文 %1、見出しと段落。").arg(i).repeated(3);
            o->textTategaki = i % 2;
            o->shapeData = "Shape=3;LineColor=0,0,0,255;LineWidth=1";
            if (i % 10 == 0) {
                chain = new QList<DrawObject*>{o};
                o->textLinkList = chain;
            } else if (i % 10 == 1 && chain) {
                chain->append(o);
                o->textLinkList = chain;
            }
            list << o;
        }
        areas << list;
    }
    return areas;
}

void freeAreas(QList<QList<DrawObject*>>& areas)
{
    QSet<QList<DrawObject*>*> chains;
    for (auto& list : areas)
        for (DrawObject* o : list) {
            if (o->textLinkList)
                chains.insert(o->textLinkList);
            DrawObject::null(o);
        }
    qDeleteAll(chains);
    areas.clear();
}

void BM_SaveDocument(benchmark::State& state)
{
    QTemporaryDir dir;
    QList<QList<DrawObject*>> areas = makeAreas();
    const QString path = dir.path() + "/book.xml";
    for (auto _ : state)
        benchmark::DoNotOptimize(Document::save(path, DocumentSettings(), areas));
    freeAreas(areas);
}
BENCHMARK(BM_SaveDocument)->Unit(benchmark::kMillisecond);

void BM_OpenDocument(benchmark::State& state)
{
    QTemporaryDir dir;
    QList<QList<DrawObject*>> areas = makeAreas();
    const QString path = dir.path() + "/book.xml";
    Document::save(path, DocumentSettings(), areas);
    freeAreas(areas);
    for (auto _ : state) {
        DocumentContent doc;
        benchmark::DoNotOptimize(Document::read(path, &doc));
    }
}
BENCHMARK(BM_OpenDocument)->Unit(benchmark::kMillisecond);

}
