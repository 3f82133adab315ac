#ifndef RECOVERY_H
#define RECOVERY_H

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QThreadPool>

#include <climits>
#include <memory>

class DocumentContent;
class DrawObject;
class QLockFile;
struct DocumentSettings;

// What a recovery copy needs besides the document itself. Kept in a file of
// its own beside the copy, so the copy is an ordinary document.
struct RecoveryInfo {
    QString original; // the document's own file; empty when it was never saved
    QString folder;   // image paths in the copy are relative to this folder
    QString imageDir; // where the image dialog starts
};

struct RecoveryCopy {
    QString id;
    QString path; // the copy, an ordinary document
    RecoveryInfo info;
    QDateTime written;
};

// When the next recovery copy is due: QUIET after the last change, but no
// later than LATEST after the first change not yet copied (so steady typing
// is still saved), and never sooner than MIN_GAP after the previous copy.
// Times in milliseconds on any monotonic clock.
class AutosaveSchedule
{
public:
    static constexpr qint64 QUIET_MS = 2000;
    static constexpr qint64 LATEST_MS = 5000;
    static constexpr qint64 MIN_GAP_MS = 1000;

    void changed(qint64 now);
    void copied(qint64 now);
    bool isPending() const { return mFirst != NONE; }
    qint64 due() const;

private:
    static constexpr qint64 NONE = LLONG_MIN / 4;
    qint64 mFirst = NONE;
    qint64 mLast = NONE;
    qint64 mCopied = NONE;
};

// The recovery copies of one editor instance, in a folder shared by every
// instance of the user. Each instance names its copy with an id of its own
// and holds a lock file of that name for as long as it runs; a copy whose
// lock nobody holds belongs to an editor that died. Copies are written on a
// worker thread, one after another; removal waits its turn behind them.
class RecoveryStore : public QObject
{
    Q_OBJECT

public:
    explicit RecoveryStore(const QString& dir, QObject* parent = nullptr);
    // Waits for pending writes. The copy stays, as it would after a crash:
    // only finish() ends an instance normally.
    ~RecoveryStore() override;

    static QString defaultDir();
    QString dir() const { return mDir; }
    QString copyPath() const;

    // Copies left by editors that are no longer running, newest first. Each
    // is locked for this instance until adopted, declined or released.
    QList<RecoveryCopy> claimOrphans();
    bool read(const RecoveryCopy& copy, DocumentContent* out, QString* error = nullptr) const;
    // The copy becomes this instance's own, kept until replaced or removed.
    void adopt(const RecoveryCopy& copy);
    // Set aside (renamed, not offered again) until the next normal quit.
    void decline(const RecoveryCopy& copy);
    // Left as it is, for a later start.
    void release(const RecoveryCopy& copy);

    // A copy of the document's stored fields, cheap to take on the GUI
    // thread and safe to write out on the worker.
    static std::shared_ptr<DocumentContent> snapshot(const DocumentSettings& settings,
                                                     const QList<QList<DrawObject*>*>& areas);
    void write(std::shared_ptr<DocumentContent> snapshot, const RecoveryInfo& info);
    void remove();
    // A normal quit: this instance's copy and the declined ones go, the lock
    // is given up. Waits until done.
    void finish();
    void waitForDone();

signals:
    // Once when copies start failing, and once when they work again.
    void writeFailed(const QString& reason);
    void writeRecovered();

private:
    QString filePath(const QString& prefix, const QString& id, const QString& suffix) const;
    void noteResult(const QString& error);

    QString mDir;
    QString mId;
    std::unique_ptr<QLockFile> mLock;
    QHash<QString, QLockFile*> mClaimed;
    QThreadPool mWorker;
    bool mFailing = false;
};

#endif
