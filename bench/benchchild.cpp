#include "benchchild.h"

#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QProcess>

#include <cstdio>

namespace {

QHash<QString, ChildTask>& tasks()
{
    static QHash<QString, ChildTask> registry;
    return registry;
}

}

ChildTaskRegistration::ChildTaskRegistration(const char* name, ChildTask task)
{
    tasks().insert(QString::fromLatin1(name), task);
}

int runChildTask(const QString& name, const QStringList& args)
{
    const ChildTask task = tasks().value(name);
    if (!task) {
        std::fprintf(stderr, "no child task %s\n", qPrintable(name));
        return 2;
    }
    return task(args);
}

QString runInChild(const QString& name, const QStringList& args)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(QCoreApplication::applicationFilePath(), QStringList{"--child", name} + args);
    if (!p.waitForFinished(600000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return QString();
    return QString::fromLocal8Bit(p.readAllStandardOutput());
}

double procStatusMiB(const char* key)
{
    QFile f("/proc/self/status");
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray prefix = QByteArray(key) + ':';
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').first().toDouble() / 1024.0;
    return -1;
}
