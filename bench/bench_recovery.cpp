// The recovery copy of a 1,000-object booklet: what it would cost the GUI
// thread to write it there, and the two halves it is split into instead.
// Each reports the 10 ms the GUI thread may spend on it (budget_ms).
#include "document.h"
#include "drawobject.h"
#include "recovery.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int OBJECTS = 1000;
constexpr double GUI_BUDGET_MS = 10;

// 250 objects per page: text boxes in both directions, shapes, images;
// every tenth box starts a chain of three.
struct Booklet {
    DocumentContent doc;
    QList<QList<DrawObject*>*> areas;

    Booklet()
    {
        for (int i = 0; i < OBJECTS; ++i) {
            auto* o = new DrawObject((i * 37) % 500, (i * 53) % 350, 120, 60);
            o->text = QString("第%1段。折本の本文と見出し、English words too.").arg(i).repeated(2);
            o->textTategaki = i % 2;
            if (i % 7 == 0)
                o->shape = 3, o->shapeData = "Shape=3;LineColor=0,0,0,255;LineWidth=2;MoldCut=true;";
            if (i % 11 == 0)
                o->imgPath = "/home/user/booklet/images/p" + QString::number(i) + ".png";
            doc.areas[i % 4] << o;
        }
        for (QList<DrawObject*>& page : doc.areas) {
            areas << &page;
            for (int i = 0; i + 2 < page.size(); i += 10) {
                auto* chain = new QList<DrawObject*>{page[i], page[i + 1], page[i + 2]};
                for (DrawObject* m : *chain)
                    m->textLinkList = chain;
            }
        }
    }
};

void budget(benchmark::State& state)
{
    state.counters["budget_ms"] = GUI_BUDGET_MS;
}

// Everything on the GUI thread: serialise and write atomically.
void BM_RecoveryCopyAllOnGuiThread(benchmark::State& state)
{
    Booklet b;
    QTemporaryDir dir;
    QList<QList<DrawObject*>> areas;
    for (auto* a : b.areas)
        areas << *a;
    for (auto _ : state)
        benchmark::DoNotOptimize(Document::save(dir.filePath("copy.xml"), DocumentSettings(), areas));
    budget(state);
}
BENCHMARK(BM_RecoveryCopyAllOnGuiThread)->Unit(benchmark::kMillisecond)->UseRealTime();

// What the editor does on the GUI thread: copy the stored fields.
void BM_RecoverySnapshotOnGuiThread(benchmark::State& state)
{
    Booklet b;
    for (auto _ : state) {
        std::shared_ptr<DocumentContent> snap = RecoveryStore::snapshot(DocumentSettings(), b.areas);
        benchmark::DoNotOptimize(snap.get());
        state.PauseTiming(); // the worker frees the copy
        snap.reset();
        state.ResumeTiming();
    }
    budget(state);
}
BENCHMARK(BM_RecoverySnapshotOnGuiThread)->Unit(benchmark::kMillisecond)->UseRealTime();

// The worker's share, from the snapshot to the file in place.
void BM_RecoveryWriteOnWorker(benchmark::State& state)
{
    Booklet b;
    QTemporaryDir dir;
    RecoveryStore store(dir.path());
    const RecoveryInfo info{"/home/user/booklet/book.xml", "/home/user/booklet", QString()};
    for (auto _ : state) {
        state.PauseTiming();
        std::shared_ptr<DocumentContent> snap = RecoveryStore::snapshot(DocumentSettings(), b.areas);
        state.ResumeTiming();
        store.write(snap, info);
        snap.reset();
        store.waitForDone();
    }
    store.finish();
}
BENCHMARK(BM_RecoveryWriteOnWorker)->Unit(benchmark::kMillisecond)->UseRealTime();

}
