// One keystroke in the first box of an 8-box chain, through the real window:
// text field, executor, relayout and the repaint of the current page. The
// chain holds 8,000, 60,000 or 600,000 characters; what is visible is the
// same, so the larger cases should cost about what the first does. The boxes
// are aligned top left (33), or centred (132), where the overflowing last box
// shows the middle of its text.
#include "benchsupport.h"
#include "editarea.h"
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include <QApplication>
#include <QHash>
#include <QLoggingCategory>
#include <QPlainTextEdit>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest/QTest>

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>

namespace {

// Counts paint events of the current page.
class PaintCounter : public QObject
{
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

// Per-keystroke times of the 8,000-character case of each alignment, the
// reference of the others.
QHash<int, QPair<double, double>> g_reference;

void BM_KeystrokeInChain(benchmark::State& state)
{
    QLoggingCategory::setFilterRules("default.debug=false");
    QStandardPaths::setTestModeEnabled(true); // recovery copies stay out of the user's folders
    const int chars = int(state.range(0));
    const int align = int(state.range(1));
    // One A3 page, eight boxes in two columns and four rows; at 10 points
    // they hold about 7,000 characters, so even the smallest case fills the
    // last box and runs on below it, to the foot of the page.
    const QSize area = EditArea::size("A3", 1, "portrait", "normal");
    QList<QPair<int, QRect>> boxes;
    for (int k = 0; k < 8; ++k)
        boxes.append({0, QRect(12 + (k % 2) * (area.width() / 2), 12 + (k / 2) * 392, area.width() / 2 - 24, 380)});
    QTemporaryDir dir;
    const QString path = dir.path() + "/chain.xml";
    DocumentSettings settings;
    settings.paperSize = "A3";
    settings.pageMax = 1;
    {
        BenchSupport::ChainDoc doc(boxes, 10);
        for (DrawObject* o : doc.chain)
            o->textAlign = align;
        doc.save(path, BenchSupport::mixedText(chars), settings);
    }

    auto w = std::make_unique<MainWindow>();
    w->show();
    (void)QTest::qWaitForWindowExposed(w.get());
    if (!w->fileOpen(path)) {
        state.SkipWithError("document did not open");
        return;
    }
    DrawObject* first = w->mListArea[0]->first();
    w->selectObject("new", first, false);
    QPlainTextEdit* field = w->ui->txtText;
    QTextCursor cursor = field->textCursor();
    cursor.setPosition(field->toPlainText().size() / 2);
    field->setTextCursor(cursor);
    QWidget* page = w->ui->tabwgtMain->currentWidget();
    PaintCounter counter;
    page->installEventFilter(&counter);
    QApplication::processEvents();
    counter.paints = 0;

    bool typed = false;
    double seconds = 0, cpu = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = BenchSupport::cpuSeconds();
        QTest::keyClick(field, typed ? Qt::Key_Backspace : Qt::Key_A);
        QApplication::processEvents();
        cpu += BenchSupport::cpuSeconds() - cpuStart;
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        typed = !typed;
    }
    const double perKey = seconds / double(state.iterations());
    const double perKeyCpu = cpu / double(state.iterations());
    if (chars == 8000)
        g_reference[align] = {perKey, perKeyCpu};
    const QPair<double, double> reference = g_reference.value(align);
    state.counters["paints_per_key"] = double(counter.paints) / double(state.iterations());
    state.counters["last_box_chars"] = w->mListArea[0]->last()->text.size();
    state.counters["last_box_glyphs"] = w->mListArea[0]->last()->layoutRects.size(); // placed, as painted
    // Other programs share the machine: the process's own CPU time is the
    // steadier of the two ratios.
    if (reference.first > 0 && reference.second > 0) {
        state.counters["x_8k"] = perKey / reference.first;
        state.counters["x_8k_cpu"] = perKeyCpu / reference.second;
    }
    page->removeEventFilter(&counter);
    w->hide();
}

} // namespace

BENCHMARK(BM_KeystrokeInChain)
    ->ArgNames({"chars", "align"})
    ->ArgsProduct({{8000, 60000, 600000}, {33, 132}})
    ->Unit(benchmark::kMillisecond);
