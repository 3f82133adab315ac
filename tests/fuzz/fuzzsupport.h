#ifndef FUZZSUPPORT_H
#define FUZZSUPPORT_H

#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>

// Silences Qt's per-input diagnostics, which would dominate the run time; a
// fatal message still aborts, so libFuzzer keeps the input.
inline void silenceQtMessages()
{
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& msg) {
        if (type == QtFatalMsg) {
            fprintf(stderr, "%s\n", qPrintable(msg));
            abort();
        }
    });
}

#endif
