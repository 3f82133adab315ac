#include "outputfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace OutputFile {

QString targetProblem(const QString& path)
{
    const QFileInfo target(path);
    const QDir dir = target.absoluteDir();
    if (!dir.exists())
        return QString("folder %1 does not exist").arg(QDir::toNativeSeparators(dir.path()));
    if (target.isDir())
        return QString("%1 is a folder").arg(QDir::toNativeSeparators(target.absoluteFilePath()));
    if (!canReplace(path))
        return QString("%1 cannot be replaced: its folder is not writable")
            .arg(QDir::toNativeSeparators(target.absoluteFilePath()));
    return QString();
}

bool canReplace(const QString& path)
{
    const QFileInfo target(path);
    if (target.isDir())
        return false;
    if (!target.exists() && !target.isSymLink())
        return true; // a new file: whether it can be made shows when writing
    return QFileInfo(target.absolutePath()).isWritable();
}

QString temporaryPattern(const QString& path, const QString& suffix)
{
    // Beside the target, so the final rename stays on one file system.
    return QFileInfo(path).absoluteDir().filePath(".zamfu-XXXXXX" + suffix);
}

namespace {

QFileDevice::Permissions permissionsFor(const QString& target)
{
    if (QFileInfo::exists(target))
        return QFile::permissions(target);
    return QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;
}

bool moveOver(const QString& from, const QString& to)
{
    // rename() replaces the target in one step on POSIX systems.
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0)
        return true;
    if (QFileInfo::exists(to)) {
        const QString backup = to + ".bak~";
        QFile::remove(backup);
        if (!QFile::rename(to, backup))
            return false;
        if (QFile::rename(from, to)) {
            QFile::remove(backup);
            return true;
        }
        QFile::rename(backup, to);
        return false;
    }
    return QFile::rename(from, to);
}

}

bool replace(const QString& from, const QString& to, QString* error)
{
    QFile::setPermissions(from, permissionsFor(to));
    if (moveOver(from, to))
        return true;
    *error = QString("cannot replace %1").arg(QDir::toNativeSeparators(to));
    return false;
}

}
