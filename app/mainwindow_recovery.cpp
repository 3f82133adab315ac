// Unsaved changes: the modified mark, the save prompt, recovery copies and
// the offer to restore one after a crash.
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "command.h"
#include "document.h"
#include "setting.h"
#include "uiseam.h"

#include <QFileInfo>
#include <QLocale>

namespace {

const QString UNTITLED = "無題";

}

void MainWindow::setupUnsavedChanges()
{
    mAppTitle = windowTitle();
    mClock.start();
    mAutosaveTimer.setSingleShot(true);
    connect(&mAutosaveTimer, &QTimer::timeout, this, &MainWindow::takeRecoveryCopy);
    connect(&mDocState, &DocumentState::modifiedChanged, this, &QWidget::setWindowModified);
    connect(&mDocState, &DocumentState::changed, this, &MainWindow::scheduleRecoveryCopy);
}

void MainWindow::updateTitle()
{
    const QString name = mDocPath.isEmpty() ? UNTITLED : QFileInfo(mDocPath).fileName();
    setWindowFilePath(mDocPath);
    setWindowTitle(name + "[*] - " + mAppTitle);
    setWindowModified(mDocState.isModified());
}

void MainWindow::resetDocumentState()
{
    mDocState.reset();
    mDocPath.clear();
    dropRecoveryCopy();
    updateTitle();
}

void MainWindow::bindDocument(const QString& path)
{
    mDocPath = QFileInfo(path).absoluteFilePath();
    updateTitle();
}

void MainWindow::documentSaved(const QString& path)
{
    mDocState.markSaved();
    bindDocument(path);
    dropRecoveryCopy();
}

void MainWindow::noteDocumentChange(const Command* cmd, bool recorded, bool save_undo, int do_mode)
{
    if (!DocumentState::changesDocument(cmd->type))
        return;
    if (do_mode != 0)
        mDocState.reach(cmd->docState); // undo or redo
    else if (recorded)
        mDocState.step();
    else if (!save_undo)
        mDocState.amend(); // the unrecorded rest of a drag
    else if (cmd->type == CMD_OBJ_TEXT_LINK_CHANGE || cmd->type == CMD_OBJ_TEXT_LINK_SHARE_CONF_CHANGE)
        mDocState.changeOutsideHistory(); // links have no inverse
    // Otherwise no record means nothing to change (targets already gone or present).
}

bool MainWindow::maybeSave()
{
    if (!mDocState.isModified())
        return true;
    const auto answer = UiSeam::instance()->ask(
        this, "保存", "変更を保存しますか？", QString(),
        {{QMessageBox::Save, "保存"}, {QMessageBox::Discard, "保存しない"}, {QMessageBox::Cancel, "キャンセル"}});
    if (answer == QMessageBox::Save)
        return mDocPath.isEmpty() ? saveThroughDialog() : fileSave(mDocPath);
    return answer == QMessageBox::Discard;
}

QByteArray MainWindow::documentBytes(const QString& folder)
{
    QList<QList<DrawObject*>> areas;
    for (QList<DrawObject*>* list : qAsConst(mListArea))
        areas << *list;
    return Document::write(DocumentSettings::fromSetting(), areas, folder);
}

// ---- recovery copies ----

void MainWindow::enableRecovery(const QString& dir)
{
    delete mRecovery;
    mRecovery = new RecoveryStore(dir, this);
    connect(mRecovery, &RecoveryStore::writeFailed, this, [this] { showRecoveryNotice(true); });
    connect(mRecovery, &RecoveryStore::writeRecovered, this, [this] { showRecoveryNotice(false); });
    if (mDocState.isModified())
        scheduleRecoveryCopy();
}

void MainWindow::showRecoveryNotice(bool failing)
{
    if (failing) {
        displayMessage("復元用の控えを保存できません", "#fff", "#f63");
    } else if (mRecoveryNotice && mPointerMode != POINTER_TEXT_LINK) {
        displayMessage(QString(), "#fff", QString()); // back to the formation name
    }
    mRecoveryNotice = failing;
}

void MainWindow::scheduleRecoveryCopy()
{
    if (!mRecovery)
        return;
    const qint64 now = mClock.elapsed();
    mAutosave.changed(now);
    mAutosaveTimer.start(int(qBound<qint64>(0, mAutosave.due() - now, AutosaveSchedule::LATEST_MS)));
}

void MainWindow::takeRecoveryCopy()
{
    mAutosaveTimer.stop();
    mAutosave.copied(mClock.elapsed());
    if (!mRecovery)
        return;
    if (!mDocState.isModified()) {
        mRecovery->remove(); // undone back to the saved file: nothing to recover
        return;
    }
    RecoveryInfo info;
    info.original = mDocPath;
    info.folder = mDocPath.isEmpty() ? QString() : QFileInfo(mDocPath).absolutePath();
    info.imageDir = Setting::ImageDir;
    mRecovery->write(RecoveryStore::snapshot(DocumentSettings::fromSetting(), mListArea), info);
}

void MainWindow::dropRecoveryCopy()
{
    mAutosaveTimer.stop();
    mAutosave = AutosaveSchedule();
    if (mRecovery)
        mRecovery->remove();
}

void MainWindow::finishRecovery()
{
    mAutosaveTimer.stop();
    if (mRecovery)
        mRecovery->finish();
}

bool MainWindow::offerRecovery()
{
    if (!mRecovery)
        return false;
    bool restored = false;
    for (const RecoveryCopy& copy : mRecovery->claimOrphans()) {
        if (restored) {
            mRecovery->release(copy); // offered again at a later start
            continue;
        }
        const QString name = copy.info.original.isEmpty() ? UNTITLED : QFileInfo(copy.info.original).fileName();
        const QString when = QLocale(QLocale::Japanese).toString(copy.written, QLocale::ShortFormat);
        const auto answer = UiSeam::instance()->ask(this, "復元", "前回の編集内容を復元しますか？",
                                                    QString("%1（%2）").arg(name, when),
                                                    {{QMessageBox::Yes, "復元する"}, {QMessageBox::No, "復元しない"}});
        DocumentContent content;
        if (answer != QMessageBox::Yes) {
            mRecovery->decline(copy);
        } else if (!mRecovery->read(copy, &content)) {
            UiSeam::instance()->warning(this, "復元", "ファイル形式が無効です。");
            mRecovery->decline(copy); // kept aside all the same
        } else {
            loadContent(&content);
            if (!copy.info.original.isEmpty()) {
                setSaveDir(copy.info.original);
                bindDocument(copy.info.original);
            }
            if (!copy.info.imageDir.isEmpty())
                Setting::ImageDir = copy.info.imageDir;
            mRecovery->adopt(copy);
            // Not what the file holds: modified until the user saves.
            mDocState.changeOutsideHistory();
            restored = true;
        }
    }
    return restored;
}
