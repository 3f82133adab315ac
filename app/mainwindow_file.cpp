// Documents (new, open, save, remembered folders, dropped files), images and the clipboard.
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "command.h"
#include "document.h"
#include "drawobject.h"
#include "setting.h"
#include "uiseam.h"

#include <QDebug>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QKeySequence>
#include <QMimeData>
#include <QShortcut>
#include <QStandardPaths>
#include <QUrl>

namespace {

const QString DOC_PATH = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
const QString MSG_INVALID = "ファイル形式が無効です。";
const QString FILTER_XML = "XML(*.xml)";

}

QString MainWindow::getSaveDir()
{
    return Setting::SaveDir.isEmpty() ? DOC_PATH : Setting::SaveDir;
}

void MainWindow::setSaveDir(QString path)
{
    const QFileInfo info(path);
    Setting::SaveDir = info.absolutePath();
    Setting::SaveFile = info.fileName();
    qDebug() << "Setting::SaveDir" << Setting::SaveDir;
    qDebug() << "Setting::SaveFile" << Setting::SaveFile;
}

QString MainWindow::getSaveFile()
{
    return Setting::SaveFile.isEmpty() ? QString("新しいファイル.xml") : Setting::SaveFile;
}

QString MainWindow::getImageDir()
{
    return (Setting::ImageDir.isEmpty() ? DOC_PATH : Setting::ImageDir) + "/dummy.jpg";
}

void MainWindow::setImageDir(QString path)
{
    Setting::ImageDir = QFileInfo(path).absolutePath();
}

bool MainWindow::fileSave(QString path)
{
    path = Document::withXmlSuffix(path);
    QList<QList<DrawObject*>> areas;
    for (QList<DrawObject*>* list : qAsConst(mListArea))
        areas << *list;
    QString error;
    if (!Document::save(path, DocumentSettings::fromSetting(), areas, &error)) {
        qDebug() << "save failed:" << path << error;
        UiSeam::instance()->warning(this, "保存", "ファイルを保存できませんでした。\n" + path);
        return false;
    }
    setSaveDir(path);
    documentSaved(path);
    return true;
}

bool MainWindow::fileOpen(QString path)
{
    // Read and check everything before the open document is touched.
    DocumentContent content;
    QString error;
    if (!Document::hasXmlSuffix(path) || !Document::read(path, &content, &error)) {
        qDebug() << "open failed:" << path << error;
        UiSeam::instance()->warning(this, "開く", MSG_INVALID);
        return false;
    }
    setSaveDir(path);
    setImageDir(path);
    loadContent(&content);
    bindDocument(path);
    return true;
}

void MainWindow::loadContent(DocumentContent* content)
{
    init();
    content->settings.applyToSetting();
    setPageFormation(Setting::PaperSize, Setting::PageMax, Setting::PageOrientation, Setting::PageDirection);
    for (int i = 0; i < mListArea.size(); ++i)
        *mListArea[i] = content->takeArea(i);
    ui->tabwgtMain->setCurrentIndex(0);
    updateCurrentPage();
}

void MainWindow::on_btnNew_clicked()
{
    // A modified document asks to be saved instead of the general question.
    if (mDocState.isModified()) {
        if (!maybeSave())
            return;
    } else if (UiSeam::instance()->question(this, "最初から", "すべてクリアされます。よろしいですか？",
                                            QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes) {
        return;
    }
    init();
    updateCurrentPage();
}

void MainWindow::on_btnOpen_clicked()
{
    if (!maybeSave())
        return;
    const QString start = QDir::toNativeSeparators(getSaveDir() + "/" + getSaveFile());
    const QString path =
        UiSeam::instance()->getOpenFileName(this, "開く", start, FILTER_XML, QFileDialog::HideNameFilterDetails);
    if (path.isEmpty())
        return;
    changeCursor(Qt::WaitCursor);
    fileOpen(path);
    changeCursor(-1);
}

void MainWindow::on_btnSave_clicked()
{
    saveThroughDialog();
}

bool MainWindow::saveThroughDialog()
{
    const QString start = QDir::toNativeSeparators(getSaveDir() + "/" + getSaveFile());
    const QString path =
        UiSeam::instance()->getSaveFileName(this, "保存", start, FILTER_XML, QFileDialog::HideNameFilterDetails);
    return !path.isEmpty() && fileSave(path);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasFormat("text/uri-list"))
        event->acceptProposedAction();
    else
        event->ignore();
}

void MainWindow::dropEvent(QDropEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty())
        return;
    event->acceptProposedAction();
    // A URL that names no local file gives an empty path, which fileOpen refuses.
    const QString path = urls.first().toLocalFile();
    if (!mDocState.isModified() || !Document::hasXmlSuffix(path)) {
        fileOpen(path);
        return;
    }
    // The save prompt waits until the drop is over: the dragging program
    // would otherwise wait on it.
    QTimer::singleShot(0, this, [this, path] {
        if (maybeSave())
            fileOpen(path);
    });
}

void MainWindow::setupDocuments()
{
    const QList<QPair<QKeySequence::StandardKey, const char*>> keys = {
        {QKeySequence::Copy, SLOT(actionCopy())},
        {QKeySequence::Paste, SLOT(actionPaste())},
        {QKeySequence::Open, SLOT(on_btnOpen_clicked())},
        {QKeySequence::Save, SLOT(on_btnSave_clicked())},
    };
    for (const auto& k : keys) {
        auto* shortcut = new QShortcut(QKeySequence(k.first), this);
        shortcut->setContext(Qt::ApplicationShortcut);
        connect(shortcut, SIGNAL(activated()), this, k.second);
        mShortcuts << shortcut;
    }
}

// ---- images ----

void MainWindow::on_btnImg_clicked()
{
    const QString path = UiSeam::instance()->getOpenFileName(this, "Image File", getImageDir(),
                                                             "*.jpeg *.jpg *.gif *.png");
    if (path.isEmpty())
        return;
    Command* cmd = createCmd(nullptr);
    cmd->type = CMD_OBJ_IMG_PATH_CHANGE;
    cmd->value = path;
    execCmd(cmd, true, 0);
    setImageDir(path);
}

void MainWindow::on_btnImgDel_clicked()
{
    Command* cmd = createCmd(nullptr);
    cmd->type = CMD_OBJ_IMG_PATH_CHANGE;
    cmd->value = QString();
    execCmd(cmd, true, 0);
}

// ---- clipboard, duplicates, deletion ----

DrawObject* MainWindow::createDrawObjectCopy(DrawObject* obj)
{
    return Document::copyObject(obj);
}

void MainWindow::actionCopy()
{
    for (DrawObject* o : qAsConst(mListClipboard))
        DrawObject::null(o);
    mListClipboard.clear();
    for (DrawObject* o : qAsConst(mListSelected))
        mListClipboard.append(createDrawObjectCopy(o));
}

void MainWindow::actionPaste()
{
    // Fresh copies each time: the clipboard keeps its own for the next paste.
    QList<DrawObject*> copies;
    for (DrawObject* o : qAsConst(mListClipboard)) {
        DrawObject* c = createDrawObjectCopy(o);
        c->x += 5;
        c->y += 5;
        copies << c;
    }
    copyAndPasteDrawObject(copies);
}

void MainWindow::copyAndPasteDrawObject(QList<DrawObject*> objs)
{
    if (objs.isEmpty())
        return;
    Command* cmd = createCmd(objs);
    cmd->type = CMD_OBJ_CREATE;
    cmd->value = QString("%1,%2").arg(ui->tabwgtMain->currentIndex()).arg(-1);
    execCmd(cmd, true, 0);
}

void MainWindow::on_btnCopyObj_clicked()
{
    const int half = _EDITAREA_W_PX / 2;
    const int current = ui->tabwgtMain->currentIndex();
    QList<DrawObject*> copies;
    for (DrawObject* o : qAsConst(mListSelected)) {
        DrawObject* c = createDrawObjectCopy(o);
        // Same place on the other half of the spread.
        if (getObjectArea(o) == current)
            c->x = c->x >= half ? c->x - half : c->x + half;
        copies << c;
    }
    copyAndPasteDrawObject(copies);
}

void MainWindow::on_btnDelObj_clicked()
{
    Command* cmd = createCmd(nullptr);
    cmd->type = CMD_OBJ_DELETE;
    cmd->value = QString();
    execCmd(cmd, true, 0);
}
