// Opening and saving a booklet of a few hundred objects (every fifth pair
// linked), and of 2,000 and 5,000 separate objects (the most a document may
// hold).
#include "document.h"
#include "drawobject.h"

#include <QApplication>
#include <QSet>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

// Four areas of text boxes; with `pairs`, every fifth pair is linked.
QList<QList<DrawObject*>> makeAreas(int objects, bool pairs)
{
    const int perArea = objects / 4;
    QList<QList<DrawObject*>> areas;
    for (int a = 0; a < 4; ++a) {
        QList<DrawObject*> list;
        QList<DrawObject*>* chain = nullptr;
        for (int i = 0; i < perArea; ++i) {
            auto* o = new DrawObject(i % 500, i % 300, 120, 60);
            o->text = QString("折本の本文 %1、見出しと段落。").arg(i).repeated(3);
            o->textTategaki = i % 2;
            o->shapeData = "Shape=3;LineColor=0,0,0,255;LineWidth=1";
            if (pairs && i % 10 == 0) {
                chain = new QList<DrawObject*>{o};
                o->textLinkList = chain;
            } else if (pairs && i % 10 == 1 && chain) {
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

QList<QList<DrawObject*>> makeAreas(const benchmark::State& state)
{
    return makeAreas(int(state.range(0)), state.range(0) < 1000);
}

void BM_SaveDocument(benchmark::State& state)
{
    QTemporaryDir dir;
    QList<QList<DrawObject*>> areas = makeAreas(state);
    const QString path = dir.path() + "/book.xml";
    for (auto _ : state)
        benchmark::DoNotOptimize(Document::save(path, DocumentSettings(), areas));
    freeAreas(areas);
}
BENCHMARK(BM_SaveDocument)->ArgName("objects")->Arg(400)->Arg(2000)->Arg(5000)->Unit(benchmark::kMillisecond);

void BM_OpenDocument(benchmark::State& state)
{
    QTemporaryDir dir;
    QList<QList<DrawObject*>> areas = makeAreas(state);
    const QString path = dir.path() + "/book.xml";
    Document::save(path, DocumentSettings(), areas);
    freeAreas(areas);
    for (auto _ : state) {
        DocumentContent doc;
        QString error;
        if (!Document::read(path, &doc, &error)) {
            state.SkipWithError(qPrintable("does not reopen: " + error));
            return;
        }
    }
}
BENCHMARK(BM_OpenDocument)->ArgName("objects")->Arg(400)->Arg(2000)->Arg(5000)->Unit(benchmark::kMillisecond);

}
