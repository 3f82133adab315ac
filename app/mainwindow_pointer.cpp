// Wiring of pointer editing, the new-object button, link mode and the text
// detail dialog.
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "command.h"
#include "dialogtextdetail.h"
#include "drawobject.h"
#include "uiseam.h"

#include <QScrollBar>

void MainWindow::setupPointerEditing()
{
    // Moves must arrive with no button held, for the cursor shapes and the link highlight.
    ui->tabwgtMain->setMouseTracking(true);
    // A press on a page takes the keyboard, so Delete and the arrows act on
    // the selection rather than on the panel field edited last.
    for (QWidget* tab : {ui->tab0, ui->tab1, ui->tab2, ui->tab3}) {
        tab->setMouseTracking(true);
        tab->setFocusPolicy(Qt::ClickFocus);
    }
    ui->txtText->installEventFilter(this);

    mDialogTextDetail = new DialogTextDetail(this);
    mDialogTextDetail->setModal(true);
    connect(mDialogTextDetail, &DialogTextDetail::textDetailChanged, this, &MainWindow::textDetailChanged);
}

void MainWindow::on_btnNewObj_clicked()
{
    if (mNewObjHint) {
        ui->btnNewObj->setStyleSheet("#btnNewObj{    background-color: #fff;    border-radius: 20px;}");
        mNewObjHint = false;
    }
    if (getAreaObjects(-1)) {
        // 24 units inside the visible top-left corner of the page.
        const int x = int(ui->scrMain->horizontalScrollBar()->value() / mZoom) + 24;
        const int y = int(ui->scrMain->verticalScrollBar()->value() / mZoom) + 24;
        Command* cmd = createCmd(new DrawObject(x, y, 200, 100));
        cmd->type = CMD_OBJ_CREATE;
        cmd->value = QString("%1,%2").arg(getCurrentArea()).arg(-1);
        execCmd(cmd, true, 0);
    }
    TextLinkCruiseStop();
}

// ---- link mode ----

void MainWindow::TextLinkCruiseStart()
{
    mPointerMode = POINTER_TEXT_LINK;
    displayMessage("｛連結先のオブジェクトを選択｝", "#fff", "#f63");
}

void MainWindow::TextLinkCruiseStop()
{
    mPointerMode = POINTER_IDLE;
    displayMessage(QString(), "#fff", QString());
}

bool MainWindow::canLinkTo(DrawObject* obj)
{
    // Both ends must still be in the document: a box deleted (or undone away)
    // since link mode began must never join a chain.
    if (!obj || obj->selected || obj->isTextLinked() || getObjectZ(obj) < 0)
        return false;
    return mListSelected.size() == 1 && getObjectZ(mListSelected.first()) >= 0;
}

// ---- text detail dialog ----

void MainWindow::on_btnTextDetail_clicked()
{
    if (mListSelected.isEmpty())
        return;
    mDialogTextDetail->setDrawObject(mListSelected.first());
    UiSeam::instance()->execDialog(mDialogTextDetail);
}
