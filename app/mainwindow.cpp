#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "appdata.h"
#include "command.h"
#include "drawobject.h"
#include "editarea.h"
#include "fonts.h"
#include "setting.h"
#include "uiseam.h"

#include <QCloseEvent>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QSet>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTabBar>
#include <QUrl>

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent), ui(new Ui::MainWindow)
{
    // The resources live in a static library: make sure the linker keeps them.
    Q_INIT_RESOURCE(zamfu);
    ui->setupUi(this);
    ensureFontSubstitutions();

    QFont f14("Osaka", 14);
    f14.setWeight(QFont::Normal);
    QFont f12("Osaka", 12);
    f12.setWeight(QFont::Normal);
    QFont fMsg("Osaka", 14);
    fMsg.setWeight(75);
    ui->txtText->setFont(f12);
    ui->btnNewObj->setFont(f14);
    ui->lblMsg->setFont(fMsg);

    qDebug() << QString("logicalDpiX:%1").arg(logicalDpiX());
    qDebug() << QString("physicalDpiX:%1").arg(physicalDpiX());
    _PC_DPI = logicalDpiX();
    mZoom = 1.0;

    // The guide lines must not swallow clicks meant for the edit area.
    ui->lblHCenter->setAttribute(Qt::WA_TransparentForMouseEvents);
    ui->lblVCenter->setAttribute(Qt::WA_TransparentForMouseEvents);

    _EDITAREA_W_PX = 560;
    _EDITAREA_H_PX = 397;
    setEditAreaSize("A6", 8, "portrait");

    setupUnsavedChanges();
    init();
    installEventFilters();
    setupEditing();
    setupPointerEditing();
    setupDocuments();
}

MainWindow::~MainWindow()
{
    // Free what the window owns so leak checkers stay quiet at exit.
    freeDocument();
    delete ui;
}

void MainWindow::freeDocument()
{
    // Every object once, whichever lists hold it, and every chain list once.
    QSet<DrawObject*> objects;
    for (QList<Command*>* list : {&mListUndo, &mListRedo}) {
        for (Command* cmd : *list) {
            if (cmd->type == CMD_OBJ_CREATE)
                for (DrawObject* o : cmd->objs)
                    objects.insert(o);
            delete cmd;
        }
        list->clear();
    }
    for (QList<DrawObject*>* list : mListArea) {
        for (DrawObject* o : *list)
            objects.insert(o);
        delete list;
    }
    mListArea.clear();
    for (DrawObject* o : mListClipboard)
        objects.insert(o);
    mListClipboard.clear();
    mListSelected.clear();
    objects.remove(nullptr);

    QSet<QList<DrawObject*>*> chains;
    for (DrawObject* o : objects)
        if (o->textLinkList)
            chains.insert(o->textLinkList);
    for (DrawObject* o : objects)
        DrawObject::null(o);
    qDeleteAll(chains);
}

void MainWindow::init()
{
    if (mPointerMode == POINTER_TEXT_LINK)
        TextLinkCruiseStop(); // its prompt would outlive the mode
    freeDocument();
    for (int i = 0; i < 4; ++i)
        mListArea.append(new QList<DrawObject*>);

    ui->wgtObj->setEnabled(false);
    mPointerMode = POINTER_IDLE;
    mLastX = mLastY = mPressX = mPressY = 0;
    mNewUndoStep = true;

    for (QSpinBox* spin : {ui->spnX, ui->spnY, ui->spnZ, ui->spnR, ui->spnW, ui->spnH}) {
        const QSignalBlocker block(spin);
        spin->setValue(0);
    }
    ui->tabwgtObject->setCurrentWidget(ui->tabBasic);
    ui->btnNewObj->setStyleSheet("#btnNewObj{    background-color: #ffff99;    border-radius: 20px;}");
    mNewObjHint = true;
    resetDocumentState();
    updateCurrentPage();
}

void MainWindow::installEventFilters()
{
    for (QWidget* tab : {ui->tab0, ui->tab1, ui->tab2, ui->tab3})
        tab->installEventFilter(this);
    for (int p = 0; p < ui->tabwgtObject->count(); ++p) {
        QWidget* page = ui->tabwgtObject->widget(p);
        for (QObject* c1 : page->children()) {
            if (QString(c1->metaObject()->className()) == "QSpinBox")
                c1->installEventFilter(this);
            for (QObject* c2 : c1->children()) {
                if (QString(c2->metaObject()->className()) == "QSpinBox")
                    c2->installEventFilter(this);
                for (QObject* c3 : c2->children())
                    if (QString(c3->metaObject()->className()) == "QSpinBox")
                        c3->installEventFilter(this);
            }
        }
    }
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // A modified document asks to be saved instead of the general question.
    const bool leave = mDocState.isModified()
                           ? maybeSave()
                           : UiSeam::instance()->question(this, "終了", "Zamfuを終了しますか？",
                                                          QMessageBox::Yes | QMessageBox::No) != QMessageBox::No;
    if (!leave) {
        event->ignore();
        return;
    }
    event->accept();
    finishRecovery();
}

namespace {
// Used only when the bundled copy cannot be written.
const QString HELP_URL = QStringLiteral("https://zamfu.github.io/zamfu/help.html");
}

void MainWindow::on_btnHelp_clicked()
{
    // An installed program opens the page installed with it.
    const QString installed = AppData::helpPage();
    if (!installed.isEmpty()) {
        UiSeam::instance()->openUrl(QUrl::fromLocalFile(installed).toString());
        return;
    }
    // A bundled copy, so help works offline; its path ends in /zamfu/help.html.
    // It goes to the user's own cache: a shared temporary folder would let
    // another user swap the page.
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + "/zamfu";
    QDir().mkpath(dir);
    const QString path = dir + "/help.html";
    QFile::remove(path);
    if (QFile::copy(":/help/help.html", path)) {
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
        // Without a browser the user can still open the page by hand.
        if (!UiSeam::instance()->openUrl(QUrl::fromLocalFile(path).toString()))
            UiSeam::instance()->information(this, "ヘルプ",
                                            "ブラウザーを起動できませんでした。\n使い方ページは次の場所にあります。\n"
                                                + QDir::toNativeSeparators(path));
    } else if (!UiSeam::instance()->openUrl(HELP_URL)) {
        UiSeam::instance()->information(this, "ヘルプ",
                                        "ブラウザーを起動できませんでした。\n使い方ページは次のアドレスにあります。\n"
                                            + HELP_URL);
    }
}

void MainWindow::on_btnZoom_clicked()
{
    if (mZoom == 1.0)
        mZoom = 2.0;
    else if (mZoom == 2.0)
        mZoom = 1.0;
    ui->lblZoom->setText(QString("x%1").arg(mZoom, 0, 'g'));
    const int current = ui->tabwgtMain->currentIndex();
    setPageFormation(Setting::PaperSize, Setting::PageMax, Setting::PageOrientation, Setting::PageDirection);
    ui->tabwgtMain->setCurrentIndex(current);
}

void MainWindow::displayMessage(QString text, QString color, QString bgColor)
{
    if (text.isNull()) {
        static const QList<QPair<QString, QString>> NAMES = {
            {"left", "本折り/左開き(横書用)"},          {"right", "本折り/右開き(縦書用)"},
            {"kannon-left", "観音折り/左開き(横書用)"}, {"kannon-right", "観音折り/右開き(縦書用)"},
            {"jabara-left", "蛇腹折り/左開き(横書用)"}, {"jabara-right", "蛇腹折り/右開き(縦書用)"},
        };
        for (const auto& n : NAMES)
            if (Setting::PageDirection == n.first)
                ui->lblMsg->setText(n.second);
    } else {
        ui->lblMsg->setText(text);
    }
    if (bgColor.isNull())
        ui->lblMsg->setStyleSheet("color: " + color + ";");
    else
        ui->lblMsg->setStyleSheet("color: " + color + ";background-color: " + bgColor + ";border-radius: 5px;");
}

void MainWindow::setPageFormation(QString paperSize, int pageMax, QString orientation, QString direction)
{
    QTabWidget* tw = ui->tabwgtMain;
    while (tw->count() > 0)
        tw->removeTab(tw->count() - 1);
    const QStringList labels = EditArea::tabLabels(pageMax, direction);
    QWidget* tabs[] = {ui->tab0, ui->tab1, ui->tab2, ui->tab3};
    for (int i = 0; i < labels.size() && i < 4; ++i)
        tw->addTab(tabs[i], labels.at(i));
    tw->setLayoutDirection(EditArea::rightToLeft(pageMax, direction) ? Qt::RightToLeft : Qt::LeftToRight);
    setEditAreaSize(Setting::getEditAreaSize(paperSize, pageMax), pageMax, orientation);
    displayMessage(QString(), "#fff", QString());
}

void MainWindow::setEditAreaSize(QString sizeName, int pageMax, QString orientation)
{
    const QSize s = EditArea::size(sizeName, pageMax, orientation, Setting::PageForm);
    if (s.isValid()) {
        _EDITAREA_W_PX = s.width();
        _EDITAREA_H_PX = s.height();
    }
    const int w = int(_EDITAREA_W_PX * mZoom);
    const int h = int(_EDITAREA_H_PX * mZoom);
    for (QWidget* tab : {ui->tab0, ui->tab1, ui->tab2, ui->tab3})
        tab->resize(w, h);

    // The tab widget's frame and bar add to the page size.
    const int tabBarH = ui->tabwgtMain->tabBar()->sizeHint().height();
    const int fw = w + 6;
    const int fh = h + qMax(25, tabBarH + 6);
    ui->tabwgtMain->setMinimumSize(fw, fh);
    ui->tabwgtMain->resize(fw, fh);
    // Exactly the tab widget: at the window's own size the whole spread
    // shows without scroll bars.
    ui->wgtMain->setMinimumSize(fw, fh);
    ui->wgtMain->resize(fw, fh);

    const int pageX = ui->tabwgtMain->x() + 3;
    const int pageY = ui->tabwgtMain->y() + fh - h - 3;
    if (Setting::PageMax == 1 && Setting::PageOrientation == "portrait") {
        ui->lblVCenter->setGeometry(pageX + 12, pageY + h / 2, w - 24, 1);
        ui->lblVCenter->show();
        ui->lblHCenter->hide();
    } else {
        ui->lblHCenter->setGeometry(pageX + w / 2, pageY + 8, 1, h - 16);
        ui->lblHCenter->show();
        ui->lblVCenter->hide();
    }
    ui->lblHCenter->raise();
    ui->lblVCenter->raise();
}

int MainWindow::getCurrentArea()
{
    return ui->tabwgtMain->currentIndex();
}

QList<DrawObject*>* MainWindow::getAreaObjects(int area)
{
    if (area == -1)
        area = getCurrentArea();
    if (area < 0 || area >= mListArea.size())
        return nullptr;
    return mListArea.at(area);
}

int MainWindow::getObjectArea(DrawObject* obj)
{
    for (int i = 0; i < mListArea.size(); ++i)
        if (mListArea.at(i)->contains(obj))
            return i;
    return mListArea.size();
}

void MainWindow::updateCurrentPage()
{
    if (QWidget* w = ui->tabwgtMain->currentWidget())
        w->update();
}
