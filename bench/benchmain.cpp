// Shared entry point: the benchmarks measure fonts, painting and layout, which
// need a GUI application; offscreen unless a platform was chosen.
#include "benchchild.h"

#include <QApplication>

#include <benchmark/benchmark.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc >= 3 && qstrcmp(argv[1], "--child") == 0)
        return runChildTask(QString::fromLocal8Bit(argv[2]), QCoreApplication::arguments().mid(3));
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
