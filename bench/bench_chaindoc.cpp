// Opening a document with one 2,000-box chain and exporting it to PDF, as the
// command line does: once with the text fitting the chain, once with 640,000
// more characters overflowing its last box. The pages look the same, so time
// and peak memory should too (x_fit: against the fitting case of this run).
// Peak memory is reported twice: the step's own, above what the process held
// before it, and the whole peak of a fresh process that only does this, as
// the command line would (process_peak_MB).
#include "benchchild.h"
#include "benchsupport.h"
#include "cli.h"
#include "pdfexport.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>

namespace {

constexpr int kBoxes = 2000;
constexpr int kOverflow = 640000;

double g_fitSeconds = 0;
double g_fitCpu = 0;
double g_fitMegabytes = 0;
double g_fitProcessMegabytes = 0;

// The export alone in a fresh process: prints its peak resident memory.
int exportTask(const QStringList& args)
{
    CliRequest request;
    request.action = CliRequest::Export;
    request.document = args.value(0);
    request.output = args.value(1);
    request.layout = PdfExport::LayoutSheet;
    QString error;
    if (exportDocument(request, &error) != 0)
        return 1;
    std::printf("%f\n", procStatusMiB("VmHWM"));
    return 0;
}
ChildTaskRegistration exportChild("export", exportTask);

// 500 boxes of 100 x 40 on each spread of the A4 eight-page booklet; the last
// one sits at the top of its page, so its overflow runs down the page.
QList<QPair<int, QRect>> boxes()
{
    QList<QPair<int, QRect>> out;
    for (int k = 0; k < kBoxes; ++k) {
        const int i = k % (kBoxes / 4);
        out.append({k / (kBoxes / 4), QRect(6 + (i % 5) * 110, 6 + ((i / 5) % 9) * 43, 100, 40)});
    }
    return out;
}

// The text that exactly fills every box but the last, plus a few characters.
QString fittingText(BenchSupport::ChainDoc& doc)
{
    const QString all = BenchSupport::mixedText(kBoxes * 20);
    doc.chain.first()->relocateText(all);
    int used = 0;
    for (int k = 0; k + 1 < doc.chain.size(); ++k)
        used += doc.chain[k]->text.size();
    return all.left(used + 3);
}

void BM_OpenAndExportChain(benchmark::State& state)
{
    const bool overflowing = state.range(0) != 0;
    QTemporaryDir dir;
    CliRequest request;
    request.action = CliRequest::Export;
    request.document = dir.path() + "/chain.xml";
    request.output = dir.path() + "/chain.pdf";
    request.layout = PdfExport::LayoutSheet;
    {
        BenchSupport::ChainDoc doc(boxes(), 12);
        QString text = fittingText(doc);
        if (overflowing)
            text += BenchSupport::mixedText(kOverflow);
        doc.save(request.document, text, DocumentSettings());
    }

    QString error;
    if (exportDocument(request, &error) != 0) { // warms font and printer set-up
        state.SkipWithError(qPrintable(error));
        return;
    }
    double seconds = 0, cpu = 0, megabytes = 0;
    for (auto _ : state) {
        const BenchSupport::PeakMemory memory;
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = BenchSupport::cpuSeconds();
        if (exportDocument(request, &error) != 0) {
            state.SkipWithError(qPrintable(error));
            return;
        }
        cpu += BenchSupport::cpuSeconds() - cpuStart;
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        megabytes = qMax(megabytes, memory.megabytes());
    }
    seconds /= double(state.iterations());
    cpu /= double(state.iterations());
    state.counters["peak_MB"] = megabytes;
    const double processMegabytes = runInChild("export", {request.document, request.output}).toDouble();
    state.counters["process_peak_MB"] = processMegabytes;
    if (!overflowing) {
        g_fitSeconds = seconds;
        g_fitCpu = cpu;
        g_fitMegabytes = megabytes;
        g_fitProcessMegabytes = processMegabytes;
    } else if (g_fitSeconds > 0 && g_fitCpu > 0 && g_fitMegabytes > 0) {
        state.counters["x_fit"] = seconds / g_fitSeconds;
        state.counters["x_fit_cpu"] = cpu / g_fitCpu;
        state.counters["mem_x_fit"] = megabytes / g_fitMegabytes;
        if (g_fitProcessMegabytes > 0)
            state.counters["process_mem_x_fit"] = processMegabytes / g_fitProcessMegabytes;
    }
}

} // namespace

BENCHMARK(BM_OpenAndExportChain)->ArgName("overflowing")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);
