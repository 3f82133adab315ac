#ifndef BENCHSUPPORT_H
#define BENCHSUPPORT_H

// Shared by the benchmarks: sample text, documents built in a temporary
// folder, and the peak memory of a measured step.
#include "benchchild.h"
#include "document.h"
#include "drawobject.h"

#include <QFile>
#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>

#include <ctime>
#include <malloc.h>

namespace BenchSupport {

// Japanese prose with Latin words, punctuation, brackets and paragraph
// breaks, `size` characters long.
inline QString mixedText(int size)
{
    static const QStringList pieces = {
        QString::fromUtf8("吾輩は猫である。名前はまだ無い。"),
        QString::fromUtf8("「どこで生れたか」とんと見当がつかぬ。"),
        QStringLiteral("Layout engine "),
        QString::fromUtf8("何でも薄暗いじめじめした所で、ニャーニャー泣いていた事だけは記憶している。"),
        QStringLiteral("booklet (folded) "),
        QString::fromUtf8("（しかもあとで聞くとそれは書生という人間中で一番獰悪な種族であったそうだ）\n"),
    };
    QString text;
    text.reserve(size + 64);
    for (int k = 0; text.size() < size; ++k)
        text += pieces.at(k % pieces.size());
    text.truncate(size);
    return text;
}

// One linked chain of boxes, each with the given text settings; the first box
// holds the whole text. Owns its boxes.
struct ChainDoc {
    QList<QList<DrawObject*>> areas{{}, {}, {}, {}};
    QList<DrawObject*> chain;

    ChainDoc(const QList<QPair<int, QRect>>& boxes, int textSize)
    {
        for (const auto& b : boxes) {
            auto* o = new DrawObject(b.second.x(), b.second.y(), b.second.width(), b.second.height());
            o->text.clear();
            o->textSize = textSize;
            areas[b.first].append(o);
            chain.append(o);
        }
        for (DrawObject* o : chain)
            o->textLinkList = &chain;
    }
    ~ChainDoc()
    {
        for (DrawObject* o : chain) {
            o->textLinkList = nullptr;
            DrawObject::null(o);
        }
    }
    bool save(const QString& path, const QString& text, const DocumentSettings& settings)
    {
        chain.first()->text = text;
        for (int k = 1; k < chain.size(); ++k)
            chain[k]->text.clear();
        return Document::save(path, settings, areas);
    }
};

// CPU time of the whole process: other programs share the machine, so this
// is steadier than the wall clock for ratios.
inline double cpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// Peak resident memory of a step, above what the process held before it.
class PeakMemory
{
public:
    PeakMemory()
    {
        malloc_trim(0);
        QFile reset(QStringLiteral("/proc/self/clear_refs"));
        if (reset.open(QIODevice::WriteOnly))
            reset.write("5"); // restarts the high-water mark
        mStart = procStatusMiB("VmRSS");
    }
    // Mebibytes above the start.
    double megabytes() const { return procStatusMiB("VmHWM") - mStart; }

private:
    double mStart = 0;
};

}

#endif
