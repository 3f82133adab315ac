#include "benchsupport.h"
#include "drawobject.h"

#include <QApplication>
#include <QTextLayout>

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

constexpr int kBoxW = 400;
constexpr int kBoxH = 600;
constexpr int kMembers = 8;

// About 8,000 characters of Japanese prose with Latin words, punctuation,
// brackets and paragraph breaks.
QString mixedText()
{
    return BenchSupport::mixedText(8000);
}

struct Chain {
    std::vector<std::unique_ptr<DrawObject>> boxes;
    QList<DrawObject*> list;

    explicit Chain(bool vertical)
    {
        for (int k = 0; k < kMembers; ++k) {
            boxes.push_back(std::make_unique<DrawObject>(0, 0, kBoxW, kBoxH));
            boxes.back()->textTategaki = vertical;
            list.append(boxes.back().get());
        }
        for (DrawObject* o : list)
            o->textLinkList = &list;
    }
    ~Chain()
    {
        for (DrawObject* o : list)
            o->textLinkList = nullptr;
    }
};

void relayoutChain(benchmark::State& state, bool vertical)
{
    Chain chain(vertical);
    const QString text = mixedText();
    chain.list.first()->relocateText(text);
    for (auto _ : state) {
        chain.list.first()->relocateText(QString());
        benchmark::DoNotOptimize(chain.list.last()->text.size());
    }
    state.SetItemsProcessed(state.iterations() * text.size());
    int filled = 0;
    for (DrawObject* o : chain.list)
        filled += o->text.isEmpty() ? 0 : 1;
    state.counters["filled_boxes"] = filled;
}

void BM_ChainHorizontal(benchmark::State& state) { relayoutChain(state, false); }
void BM_ChainVertical(benchmark::State& state) { relayoutChain(state, true); }

// Qt's own line breaking of the same text at the same width, for scale.
void BM_QTextLayoutReference(benchmark::State& state)
{
    DrawObject probe(0, 0, kBoxW, kBoxH);
    QString text = mixedText();
    text.replace(QLatin1Char('\n'), QChar::LineSeparator);
    const qreal width = kBoxW - 2 * probe.textMargin;
    for (auto _ : state) {
        QTextLayout layout(text, probe.makeFont());
        layout.beginLayout();
        int lines = 0;
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            ++lines;
        }
        layout.endLayout();
        benchmark::DoNotOptimize(lines);
    }
    state.SetItemsProcessed(state.iterations() * text.size());
}

} // namespace

BENCHMARK(BM_ChainHorizontal)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChainVertical)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QTextLayoutReference)->Unit(benchmark::kMillisecond);
