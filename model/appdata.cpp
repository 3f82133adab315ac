#include "appdata.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace AppData {

namespace {

QString existing(const QString& path)
{
    return path.isEmpty() || !QFileInfo::exists(path) ? QString() : path;
}

}

QString dataDir()
{
    // Before the application object exists (command-line help) the system
    // still knows where the executable lies.
    const QString exeDir = QCoreApplication::instance() ? QCoreApplication::applicationDirPath()
                                                        : QFileInfo("/proc/self/exe").canonicalPath();
    if (exeDir.isEmpty())
        return QString();
    // Set by the build: the data folder seen from the folder of the executable.
    const QDir dir(exeDir + "/" ZAMFU_DATA_RELDIR);
    return dir.exists() ? dir.canonicalPath() : QString();
}

QString helpPage()
{
    const QString dir = dataDir();
    return dir.isEmpty() ? QString() : existing(dir + "/help.html");
}

QString translationsDir()
{
    const QString dir = dataDir();
    return dir.isEmpty() ? QString() : existing(dir + "/translations");
}

}
