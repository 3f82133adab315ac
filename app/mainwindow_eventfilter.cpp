// Pointer and keyboard editing on the edit areas: picking, selecting, dragging,
// resizing, nudging, the context menu, and the overlays that follow the pointer.
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "command.h"
#include "drawobject.h"
#include "hitgeometry.h"
#include "uiseam.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QCursor>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

#include <climits>

namespace {

HitGeometry::Box boxOf(const DrawObject* o)
{
    return {o->x, o->y, o->w, o->h};
}

// Drags and arrow keys act only on what the current page shows: a selection
// kept from another page stays where it is.
QList<DrawObject*> selectedOnPage(MainWindow* w)
{
    QList<DrawObject*> out;
    if (const QList<DrawObject*>* page = w->getAreaObjects(-1))
        for (DrawObject* o : w->mListSelected)
            if (page->contains(o))
                out.append(o);
    return out;
}

// One arrow-key step, held within int for boxes of damaged documents.
int nudged(int v, int step)
{
    return int(qBound<qint64>(INT_MIN, qint64(v) + step, INT_MAX));
}

} // namespace

// ---- hit geometry ----

bool MainWindow::isXYonObject(DrawObject* obj, int x, int y)
{
    return obj && HitGeometry::onObject(boxOf(obj), x, y);
}

bool MainWindow::isXYonObjectEdge(DrawObject* obj, int x, int y)
{
    return obj && HitGeometry::onObjectEdge(boxOf(obj), x, y);
}

bool MainWindow::overlapRects(int ax1, int ay1, int ax2, int ay2, int bx1, int by1, int bx2, int by2)
{
    return HitGeometry::overlapRects(ax1, ay1, ax2, ay2, bx1, by1, bx2, by2);
}

bool MainWindow::isOnCurrentPage(DrawObject* obj)
{
    const QList<DrawObject*>* list = getAreaObjects(-1);
    return obj && list && list->contains(obj);
}

DrawObject* MainWindow::getObjectAt(int x, int y)
{
    // A selected box is picked by its edge even under others, but only where
    // it is shown: a selection kept from another page must not be grabbed.
    for (int i = mListSelected.size() - 1; i >= 0; --i) {
        DrawObject* o = mListSelected.at(i);
        if (isOnCurrentPage(o) && isXYonObjectEdge(o, x, y))
            return o;
    }
    if (const QList<DrawObject*>* list = getAreaObjects(-1))
        for (int i = list->size() - 1; i >= 0; --i)
            if (isXYonObject(list->at(i), x, y))
                return list->at(i);
    return nullptr;
}

int MainWindow::getCurrentObjectZone(int x, int y)
{
    if (mListSelected.isEmpty())
        return HitGeometry::ZONE_NONE;
    if (mListSelected.size() == 1) {
        DrawObject* o = mListSelected.first();
        return isOnCurrentPage(o) ? HitGeometry::zoneOf(boxOf(o), x, y) : HitGeometry::ZONE_NONE;
    }
    // Several selected: they can be moved together, never resized.
    for (DrawObject* o : mListSelected)
        if (isOnCurrentPage(o) && isXYonObject(o, x, y))
            return HitGeometry::ZONE_INSIDE;
    return HitGeometry::ZONE_NONE;
}

// ---- presses ----

void MainWindow::actionClick(int x, int y, bool ctrl)
{
    DrawObject* obj = getObjectAt(x, y);

    if (mPointerMode == POINTER_TEXT_LINK) {
        TextLinkCruiseStop();
        if (canLinkTo(obj))
            TextLinkInsertObj(obj);
        return;
    }

    if (ctrl) {
        if (obj) {
            Command* cmd = createCmd(obj);
            cmd->type = CMD_OBJ_SELECT;
            cmd->value = obj->selected ? "clear" : "add";
            execCmd(cmd, false, 0);
        } else {
            mPointerMode = POINTER_RANGE_SELECT; // adds to the selection kept
        }
        return;
    }

    if (!obj) {
        unselectObject();
        mPointerMode = POINTER_RANGE_SELECT;
        return;
    }
    if (!obj->selected) {
        // Only selects: the drag starts with the next press.
        selectObject("new", obj, false);
        return;
    }

    const int zone = getCurrentObjectZone(x, y);
    if (mListSelected.size() > 1) {
        if (zone == HitGeometry::ZONE_INSIDE)
            mPointerMode = POINTER_MOVE;
        return;
    }
    switch (zone) {
    case HitGeometry::ZONE_INSIDE: mPointerMode = POINTER_MOVE; break;
    case HitGeometry::ZONE_TOP: mPointerMode = POINTER_RESIZE_TOP; break;
    case HitGeometry::ZONE_BOTTOM: mPointerMode = POINTER_RESIZE_BOTTOM; break;
    case HitGeometry::ZONE_LEFT: mPointerMode = POINTER_RESIZE_LEFT; break;
    case HitGeometry::ZONE_RIGHT: mPointerMode = POINTER_RESIZE_RIGHT; break;
    default: break;
    }
}

void MainWindow::resizeObject(int dx, int dy, int dw, int dh)
{
    Command* cmd = createCmd(selectedOnPage(this));
    cmd->type = CMD_OBJ_RECT_MOVE;
    cmd->value = QString("%1,%2,%3,%4").arg(dx).arg(dy).arg(dw).arg(dh);
    execCmd(cmd, mNewUndoStep, 0);
}

void MainWindow::changeCursor(int shape)
{
    // One replaceable override cursor, so a change between two resize shapes
    // never leaves a stale one behind.
    QCursor* current = QApplication::overrideCursor();
    if (shape >= 1 && shape <= Qt::LastCursor) {
        if (!current)
            QApplication::setOverrideCursor(QCursor(Qt::CursorShape(shape)));
        else if (current->shape() != shape)
            QApplication::changeOverrideCursor(QCursor(Qt::CursorShape(shape)));
    } else if (shape < 1 && current) {
        QApplication::restoreOverrideCursor();
    }
}

// ---- event dispatch ----

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    QWidget* tabs[] = {ui->tab0, ui->tab1, ui->tab2, ui->tab3};
    for (int i = 0; i < 4; ++i)
        if (watched == tabs[i])
            return areaEvent(i, tabs[i], event);

    // Spin boxes and the text field would take Ctrl+Z as their own undo.
    if (event->type() == QEvent::KeyPress) {
        auto* ke = static_cast<QKeyEvent*>(event);
        if (ke->key() == Qt::Key_Z && (ke->modifiers() & Qt::ControlModifier)) {
            if (ke->modifiers() & Qt::ShiftModifier)
                redo(); // Ctrl+Shift+Z is the redo key here
            else
                undo();
            ui->tabwgtMain->setFocus(Qt::OtherFocusReason);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

QPoint MainWindow::documentPoint(const QPoint& widgetPos) const
{
    return QPoint(int(widgetPos.x() / mZoom), int(widgetPos.y() / mZoom));
}

bool MainWindow::areaEvent(int area, QWidget* page, QEvent* event)
{
    switch (event->type()) {
    case QEvent::Paint:
        paint(page, area, 0);
        return true;
    case QEvent::MouseButtonPress: {
        auto* me = static_cast<QMouseEvent*>(event);
        if (me->button() != Qt::LeftButton && me->button() != Qt::RightButton)
            return false;
        const QPoint p = documentPoint(me->pos());
        actionClick(p.x(), p.y(), me->modifiers().testFlag(Qt::ControlModifier));
        mLastX = mPressX = p.x();
        mLastY = mPressY = p.y();
        return true;
    }
    case QEvent::MouseMove:
        pointerMoved(documentPoint(static_cast<QMouseEvent*>(event)->pos()));
        return true;
    case QEvent::MouseButtonRelease:
        pointerReleased();
        return true;
    case QEvent::MouseButtonDblClick:
        if (mListSelected.isEmpty())
            return false;
        ui->tabwgtObject->setCurrentWidget(ui->tabText);
        ui->txtText->setFocus(Qt::OtherFocusReason);
        ui->txtText->selectAll();
        return true;
    case QEvent::KeyPress:
        return areaKey(static_cast<QKeyEvent*>(event)->key());
    case QEvent::ContextMenu:
        return showContextMenu(page, static_cast<QContextMenuEvent*>(event));
    case QEvent::Leave:
        // The resize cursor is application-wide: it must not follow the
        // pointer off the page.
        if (mPointerMode == POINTER_IDLE)
            changeCursor(-1);
        return false;
    default:
        return false;
    }
}

void MainWindow::pointerMoved(const QPoint& p)
{
    const int dx = p.x() - mLastX;
    const int dy = p.y() - mLastY;
    int lastX = p.x();
    int lastY = p.y();

    switch (mPointerMode) {
    case POINTER_IDLE:
        switch (getCurrentObjectZone(p.x(), p.y())) {
        case HitGeometry::ZONE_TOP:
        case HitGeometry::ZONE_BOTTOM: changeCursor(Qt::SizeVerCursor); break;
        case HitGeometry::ZONE_LEFT:
        case HitGeometry::ZONE_RIGHT: changeCursor(Qt::SizeHorCursor); break;
        default: changeCursor(-1); break;
        }
        break;
    case POINTER_RESIZE_TOP:
    case POINTER_RESIZE_BOTTOM:
    case POINTER_RESIZE_LEFT:
    case POINTER_RESIZE_RIGHT: {
        if (mListSelected.size() != 1)
            break;
        static const HitGeometry::Zone EDGE[] = {HitGeometry::ZONE_TOP, HitGeometry::ZONE_BOTTOM,
                                                 HitGeometry::ZONE_LEFT, HitGeometry::ZONE_RIGHT};
        const HitGeometry::Zone edge = EDGE[mPointerMode - POINTER_RESIZE_TOP];
        const HitGeometry::RectDelta d = HitGeometry::dragEdge(boxOf(mListSelected.first()), edge, dx, dy);
        // Where the edge stopped short of the opposite one, the pointer's
        // overshoot is held back so the edge meets the pointer again on return.
        if (edge == HitGeometry::ZONE_LEFT || edge == HitGeometry::ZONE_RIGHT)
            lastX = mLastX + (edge == HitGeometry::ZONE_LEFT ? d.dx : d.dw);
        else
            lastY = mLastY + (edge == HitGeometry::ZONE_TOP ? d.dy : d.dh);
        if (!d.isNull()) {
            resizeObject(d.dx, d.dy, d.dw, d.dh);
            mNewUndoStep = false;
        }
        break;
    }
    case POINTER_MOVE:
        if (dx != 0 || dy != 0) {
            resizeObject(dx, dy, 0, 0);
            mNewUndoStep = false;
        }
        break;
    case POINTER_RANGE_SELECT:
    case POINTER_TEXT_LINK:
        updateCurrentPage();
        break;
    default:
        break;
    }
    mLastX = lastX;
    mLastY = lastY;
}

void MainWindow::pointerReleased()
{
    if (mPointerMode == POINTER_RANGE_SELECT) {
        const int x1 = qMin(mPressX, mLastX), y1 = qMin(mPressY, mLastY);
        const int x2 = qMax(mPressX, mLastX), y2 = qMax(mPressY, mLastY);
        if (const QList<DrawObject*>* list = getAreaObjects(-1))
            for (DrawObject* o : *list)
                if (!mListSelected.contains(o)
                    && overlapRects(x1, y1, x2, y2, o->x, o->y, HitGeometry::lastColumn(boxOf(o)),
                                    HitGeometry::lastRow(boxOf(o))))
                    mListSelected.append(o);
        selectObject("new", nullptr, false);
        updateCurrentPage();
    }
    mPointerMode = POINTER_IDLE;
    mNewUndoStep = true;
    changeCursor(-1);
}

bool MainWindow::areaKey(int key)
{
    switch (key) {
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
        on_btnDelObj_clicked();
        return true;
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
        return nudgeSelection(key);
    default:
        return false;
    }
}

bool MainWindow::nudgeSelection(int key)
{
    Command* cmd = createCmd(selectedOnPage(this));
    if (cmd->objs.isEmpty()) {
        delete cmd;
        return false;
    }
    const bool horizontal = key == Qt::Key_Left || key == Qt::Key_Right;
    const int step = (key == Qt::Key_Left || key == Qt::Key_Up) ? -1 : 1;
    cmd->type = horizontal ? CMD_OBJ_X_CHANGE : CMD_OBJ_Y_CHANGE;
    const int first = horizontal ? cmd->objs.first()->x : cmd->objs.first()->y;
    bool same = true;
    for (DrawObject* o : cmd->objs) {
        const int v = horizontal ? o->x : o->y;
        same = same && v == first;
        cmd->value += QString::number(nudged(v, step)) + Command::SEPA_OBJVAL;
    }
    if (same)
        cmd->value = QString::number(nudged(first, step));
    execCmd(cmd, true, 0);
    return true;
}

bool MainWindow::showContextMenu(QWidget* page, QContextMenuEvent* event)
{
    mPointerMode = POINTER_IDLE;
    const QPoint p = event->pos();
    if (p.x() < 0 || p.y() < 0 || p.x() > page->width() || p.y() > page->height())
        return false;

    QMenu menu(this);
    QAction* front = nullptr;
    QAction* back = nullptr;
    QAction* copy = nullptr;
    QAction* link = nullptr;
    QAction* unlink = nullptr;
    QAction* remove = nullptr;
    QAction* paste = nullptr;
    if (mListSelected.isEmpty()) {
        paste = menu.addAction("貼り付け");
    } else {
        front = menu.addAction("最前面へ");
        back = menu.addAction("最背面へ");
        copy = menu.addAction("コピー");
        paste = menu.addAction("貼り付け");
        if (mListSelected.size() == 1) {
            menu.addSeparator();
            link = menu.addAction("テキスト連結する");
            if (mListSelected.first()->isTextLinked())
                unlink = menu.addAction("テキスト連結しない");
        }
        menu.addSeparator();
        remove = menu.addAction("削除");
    }

    QAction* chosen = UiSeam::instance()->execMenu(&menu, event->globalPos());
    if (!chosen)
        return true;
    if (chosen == front)
        on_spnZ_valueChanged(-1);
    else if (chosen == back)
        on_spnZ_valueChanged(0);
    else if (chosen == copy)
        actionCopy();
    else if (chosen == paste)
        actionPaste();
    else if (chosen == link && mListSelected.size() == 1)
        TextLinkCruiseStart();
    else if (chosen == unlink && mListSelected.size() == 1)
        TextLinkRemoveObj(mListSelected.first());
    else if (chosen == remove)
        on_btnDelObj_clicked();
    return true;
}

// ---- overlays ----

void MainWindow::drawPointerOverlay(QPainter* painter, int area)
{
    if (area != getCurrentArea())
        return;
    painter->save();
    painter->setClipping(false);
    if (mPointerMode == POINTER_RANGE_SELECT) {
        painter->setPen(DrawObject::getPen(QColor(102, 102, 102, 255), Qt::DashLine, 1, Qt::SquareCap));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(mPressX, mPressY, int(mLastX - mPressX + mZoom), int(mLastY - mPressY + mZoom));
    } else if (mPointerMode == POINTER_TEXT_LINK) {
        DrawObject* o = getObjectAt(mLastX, mLastY);
        if (canLinkTo(o))
            painter->fillRect(QRectF(o->x, o->y, o->w, o->h), QColor(255, 153, 153, 102));
    }
    painter->restore();
}
