#include "recovery.h"

#include "document.h"
#include "drawobject.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUuid>

#include <algorithm>

namespace {

const QString COPY = "copy-";
const QString DECLINED = "declined-";
const QString DOC = ".xml";
const QString INFO = ".info";
const QString LOCK = ".lock";

QString saveBytes(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return QString();
    const QString error = file.errorString();
    file.cancelWriting();
    return error.isEmpty() ? QString("cannot write %1").arg(path) : error;
}

QByteArray infoBytes(const RecoveryInfo& info)
{
    QJsonObject o;
    o["original"] = info.original;
    o["folder"] = info.folder;
    o["imageDir"] = info.imageDir;
    return QJsonDocument(o).toJson();
}

RecoveryInfo readInfo(const QString& path)
{
    QFile file(path);
    RecoveryInfo info;
    if (!file.open(QIODevice::ReadOnly))
        return info;
    const QJsonObject o = QJsonDocument::fromJson(file.read(64 * 1024)).object();
    info.original = o.value("original").toString();
    info.folder = o.value("folder").toString();
    info.imageDir = o.value("imageDir").toString();
    return info;
}

std::unique_ptr<QLockFile> lockFor(const QString& path)
{
    std::unique_ptr<QLockFile> lock(new QLockFile(path));
    // Only a dead owner makes a lock stale: an editor may run for days.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0))
        lock.reset();
    return lock;
}

}

// ---- schedule -------------------------------------------------------------

void AutosaveSchedule::changed(qint64 now)
{
    if (mFirst == NONE)
        mFirst = now;
    mLast = now;
}

void AutosaveSchedule::copied(qint64 now)
{
    mCopied = now;
    mFirst = mLast = NONE;
}

qint64 AutosaveSchedule::due() const
{
    if (mFirst == NONE)
        return LLONG_MAX;
    return qMax(mCopied + MIN_GAP_MS, qMin(mLast + QUIET_MS, mFirst + LATEST_MS));
}

// ---- store ----------------------------------------------------------------

RecoveryStore::RecoveryStore(const QString& dir, QObject* parent)
    : QObject(parent), mDir(dir)
{
    mWorker.setMaxThreadCount(1); // copies and removals keep their order
    // Copies hold the user's work: the folder is the user's alone.
    if (QDir().mkpath(mDir))
        QFile::setPermissions(mDir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    for (int attempt = 0; attempt < 3 && !mLock; ++attempt) {
        mId = QUuid::createUuid().toString(QUuid::Id128).left(16);
        mLock = lockFor(filePath(COPY, mId, LOCK));
    }
}

RecoveryStore::~RecoveryStore()
{
    mWorker.waitForDone();
    qDeleteAll(mClaimed);
}

QString RecoveryStore::defaultDir()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + "/recovery";
}

QString RecoveryStore::filePath(const QString& prefix, const QString& id, const QString& suffix) const
{
    return mDir + "/" + prefix + id + suffix;
}

QString RecoveryStore::copyPath() const
{
    return filePath(COPY, mId, DOC);
}

QList<RecoveryCopy> RecoveryStore::claimOrphans()
{
    const QStringList names = QDir(mDir).entryList({COPY + "*"}, QDir::Files | QDir::Hidden);
    QStringList ids;
    for (const QString& name : names) {
        const QString id = name.mid(COPY.size()).section('.', 0, 0);
        if (!id.isEmpty() && id != mId && !mClaimed.contains(id) && !ids.contains(id))
            ids << id;
    }
    QList<RecoveryCopy> out;
    for (const QString& id : qAsConst(ids)) {
        std::unique_ptr<QLockFile> lock = lockFor(filePath(COPY, id, LOCK));
        if (!lock)
            continue; // its editor is running
        // Half-written files of a write the editor did not live to finish.
        for (const QString& name : names)
            if (name.startsWith(COPY + id + ".") && !name.endsWith(DOC) && !name.endsWith(INFO) && !name.endsWith(LOCK))
                QFile::remove(mDir + "/" + name);
        RecoveryCopy copy;
        copy.id = id;
        copy.path = filePath(COPY, id, DOC);
        const QFileInfo doc(copy.path);
        if (!doc.isFile()) {
            QFile::remove(filePath(COPY, id, INFO)); // nothing left to offer
            continue;
        }
        copy.info = readInfo(filePath(COPY, id, INFO));
        copy.written = doc.lastModified();
        mClaimed.insert(id, lock.release());
        out << copy;
    }
    std::sort(out.begin(), out.end(),
              [](const RecoveryCopy& a, const RecoveryCopy& b) { return a.written > b.written; });
    return out;
}

bool RecoveryStore::read(const RecoveryCopy& copy, DocumentContent* out, QString* error) const
{
    QFile file(copy.path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    const QByteArray bytes = file.read(Document::MAX_FILE_BYTES + 1);
    if (bytes.size() > Document::MAX_FILE_BYTES) {
        if (error)
            *error = "file too large";
        return false;
    }
    return Document::parse(bytes, copy.info.folder, out, error);
}

void RecoveryStore::adopt(const RecoveryCopy& copy)
{
    QLockFile* lock = mClaimed.take(copy.id);
    if (!lock)
        return;
    mWorker.waitForDone();
    QFile::remove(filePath(COPY, mId, DOC));
    QFile::remove(filePath(COPY, mId, INFO));
    mLock.reset(lock); // gives up the name taken at start
    mId = copy.id;
}

void RecoveryStore::decline(const RecoveryCopy& copy)
{
    for (const QString& suffix : {DOC, INFO}) {
        const QString aside = filePath(DECLINED, copy.id, suffix);
        QFile::remove(aside);
        QFile::rename(filePath(COPY, copy.id, suffix), aside);
    }
    release(copy);
}

void RecoveryStore::release(const RecoveryCopy& copy)
{
    delete mClaimed.take(copy.id); // unlocking removes the lock file
}

std::shared_ptr<DocumentContent> RecoveryStore::snapshot(const DocumentSettings& settings,
                                                         const QList<QList<DrawObject*>*>& areas)
{
    auto out = std::make_shared<DocumentContent>();
    out->settings = settings;
    QHash<const DrawObject*, DrawObject*> copies;
    for (int a = 0; a < areas.size() && a < out->areas.size(); ++a)
        for (const DrawObject* o : *areas.at(a)) {
            DrawObject* c = DrawObject::storedCopy(o);
            copies.insert(o, c);
            out->areas[a].append(c);
        }
    // The same chains over the copies, member for member.
    QHash<const QList<DrawObject*>*, QList<DrawObject*>*> chains;
    for (auto it = copies.constBegin(); it != copies.constEnd(); ++it) {
        const QList<DrawObject*>* chain = it.key()->textLinkList;
        if (!chain)
            continue;
        QList<DrawObject*>*& mine = chains[chain];
        if (!mine) {
            mine = new QList<DrawObject*>;
            for (DrawObject* m : *chain)
                mine->append(copies.value(m));
        }
        it.value()->textLinkList = mine;
    }
    return out;
}

void RecoveryStore::write(std::shared_ptr<DocumentContent> snapshot, const RecoveryInfo& info)
{
    if (!mLock) {
        // Unowned copies could be taken by another editor while this one runs.
        noteResult(QString("cannot lock a copy in %1").arg(mDir));
        return;
    }
    const QString dir = mDir;
    const QString docPath = copyPath();
    const QString infoPath = filePath(COPY, mId, INFO);
    mWorker.start([this, snapshot, info, dir, docPath, infoPath] {
        QString error;
        if (!QDir().mkpath(dir))
            error = QString("cannot create %1").arg(dir);
        // The side file first: a copy is never found without its original path.
        if (error.isEmpty())
            error = saveBytes(infoPath, infoBytes(info));
        if (error.isEmpty())
            error = saveBytes(docPath, Document::write(snapshot->settings, snapshot->areas, info.folder));
        QMetaObject::invokeMethod(this, [this, error] { noteResult(error); }, Qt::QueuedConnection);
    });
}

void RecoveryStore::remove()
{
    if (!mLock)
        return;
    const QStringList paths = {copyPath(), filePath(COPY, mId, INFO)};
    mWorker.start([paths] {
        for (const QString& p : paths)
            QFile::remove(p);
    });
}

void RecoveryStore::finish()
{
    remove();
    mWorker.waitForDone();
    for (const QString& name : QDir(mDir).entryList({DECLINED + "*"}, QDir::Files | QDir::Hidden))
        QFile::remove(mDir + "/" + name);
    for (QLockFile* lock : qAsConst(mClaimed))
        delete lock;
    mClaimed.clear();
    mLock.reset();
}

void RecoveryStore::waitForDone()
{
    mWorker.waitForDone();
}

void RecoveryStore::noteResult(const QString& error)
{
    if (!error.isEmpty() && !mFailing) {
        mFailing = true;
        emit writeFailed(error);
    } else if (error.isEmpty() && mFailing) {
        mFailing = false;
        emit writeRecovered();
    }
}
