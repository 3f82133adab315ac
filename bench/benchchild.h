#ifndef BENCHCHILD_H
#define BENCHCHILD_H

#include <QString>
#include <QStringList>

// Measurements of a whole process (its resident memory, its peak) run as a
// task in a fresh copy of the benchmark program: PROGRAM --child NAME ARGS...
using ChildTask = int (*)(const QStringList& args);

struct ChildTaskRegistration {
    ChildTaskRegistration(const char* name, ChildTask task);
};

// Runs the task registered under name in this process (the child side).
int runChildTask(const QString& name, const QStringList& args);

// Runs the task in a child process and returns what it printed; empty when
// it failed.
QString runInChild(const QString& name, const QStringList& args);

// "VmRSS", "VmHWM", ... of /proc/self/status, in mebibytes.
double procStatusMiB(const char* key);

#endif
