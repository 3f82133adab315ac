// The one command executor, undo/redo and selection.
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "chaintext.h"
#include "command.h"
#include "drawobject.h"
#include "textlink.h"

#include <QDebug>
#include <algorithm>
#include <QDir>
#include <QKeySequence>
#include <QShortcut>
#include <QSpinBox>

namespace {

const int UNDO_LIMIT = 200;

bool isTrue(const QString& v)
{
    return v == QLatin1String("true");
}

int toInt(const QString& v)
{
    return v.toInt(nullptr, 10);
}

// "a,b" -> a and b (text that does not parse counts as 0).
void splitPair(const QString& v, int* a, int* b)
{
    const QStringList p = v.split(',');
    *a = toInt(p.value(0));
    *b = toInt(p.value(1));
}

bool relayoutFor(int type)
{
    switch (type) {
    case CMD_OBJ_W_CHANGE:
    case CMD_OBJ_H_CHANGE:
    case CMD_OBJ_RECT_CHANGE:
    case CMD_OBJ_TEXT_CHANGE:
    case CMD_OBJ_TEXT_FONT_CHANGE:
    case CMD_OBJ_TEXT_MARGIN_CHANGE:
    case CMD_OBJ_TEXT_SIZE_CHANGE:
    case CMD_OBJ_TEXT_WEIGHT_CHANGE:
    case CMD_OBJ_TEXT_ALIGN_CHANGE:
    case CMD_OBJ_TEXT_LINE_SPACING_CHANGE:
    case CMD_OBJ_TEXT_WORD_SPACING_CHANGE:
    case CMD_OBJ_TEXT_TATEGAKI_CHANGE:
        return true;
    default:
        return false;
    }
}

} // namespace

void MainWindow::setupEditing()
{
    fillFontCombo();
    auto* undoKey = new QShortcut(QKeySequence::Undo, this);
    undoKey->setContext(Qt::ApplicationShortcut);
    connect(undoKey, &QShortcut::activated, this, &MainWindow::undo);
    auto* redoKey = new QShortcut(QKeySequence::Redo, this);
    redoKey->setContext(Qt::ApplicationShortcut);
    connect(redoKey, &QShortcut::activated, this, &MainWindow::redo);
    mShortcuts << undoKey << redoKey;
    showSelectionEmptied();
}

Command* MainWindow::createCmd(DrawObject* obj)
{
    auto* cmd = new Command;
    if (obj)
        cmd->addObj(obj);
    else
        cmd->addObjs(mListSelected);
    return cmd;
}

Command* MainWindow::createCmd(QList<DrawObject*> objs)
{
    auto* cmd = new Command;
    cmd->addObjs(objs);
    return cmd;
}

int MainWindow::getObjectZ(DrawObject* obj)
{
    for (QList<DrawObject*>* list : mListArea) {
        const int z = list->indexOf(obj);
        if (z >= 0)
            return z;
    }
    return -1;
}

void MainWindow::selectObject(QString how, DrawObject* obj, bool save_undo)
{
    Command* cmd = createCmd(obj);
    cmd->type = CMD_OBJ_SELECT;
    cmd->value = how;
    execCmd(cmd, save_undo, 0);
}

void MainWindow::unselectObject()
{
    selectObject("clear", nullptr, false);
}

void MainWindow::showSelectionEmptied()
{
    ui->wgtObj->setEnabled(false);
    {
        const QSignalBlocker block(ui->txtText);
        ui->txtText->clear();
    }
    ui->btnTextLinkOnOff->hide();
    ui->chkTextLinkShareConf->hide();
    // Link mode needs a selected box: leave it cleanly, prompt included.
    if (mPointerMode == POINTER_TEXT_LINK)
        TextLinkCruiseStop();
    mPointerMode = POINTER_IDLE;
    mLastX = mLastY = mPressX = mPressY = 0;
    mNewUndoStep = true;
}

// ---- undo records ----

void MainWindow::discardRecord(Command* record)
{
    // A creation record owns its objects while they are out of the document.
    if (record->type == CMD_OBJ_CREATE)
        for (DrawObject* o : record->objs)
            DrawObject::null(o);
    delete record;
}

void MainWindow::pushUndoRecord(Command* record, int do_mode)
{
    mListUndo.append(record);
    while (mListUndo.size() > UNDO_LIMIT)
        discardRecord(mListUndo.takeFirst());
    if (do_mode != 2) {
        for (Command* r : mListRedo)
            discardRecord(r);
        mListRedo.clear();
    }
}

Command* MainWindow::createUndoCmd(const Command* cmd)
{
    if (!cmd || cmd->objs.isEmpty())
        return nullptr;
    const int type = cmd->type;
    if (type == CMD_OBJ_TEXT_CHANGE)
        return ChainText::undoRecord(cmd); // the chain's text, not only the target's
    auto* rec = new Command(cmd);
    QStringList values;

    if (type == CMD_OBJ_CREATE || type == CMD_OBJ_DELETE) {
        // Only objects whose presence actually changes belong in the record:
        // a creation record owns its objects, so it must never claim one that
        // stays in the document (or is owned by another record).
        QList<DrawObject*> objs;
        for (DrawObject* o : cmd->objs) {
            const bool inDoc = getObjectZ(o) >= 0;
            if (o && !objs.contains(o) && inDoc == (type == CMD_OBJ_DELETE))
                objs.append(o);
        }
        if (objs.isEmpty()) {
            delete rec;
            return nullptr;
        }
        if (type == CMD_OBJ_DELETE) {
            // Re-inserting in rising stacking order puts every object back at
            // its own index, whatever order the deletion's targets had.
            std::stable_sort(objs.begin(), objs.end(), [this](DrawObject* a, DrawObject* b) {
                const int aa = getObjectArea(a), ba = getObjectArea(b);
                return aa != ba ? aa < ba : getObjectZ(a) < getObjectZ(b);
            });
            for (DrawObject* o : objs)
                values << QString("%1,%2").arg(getObjectArea(o)).arg(getObjectZ(o));
            rec->type = CMD_OBJ_CREATE;
            rec->value.clear();
            for (const QString& v : values)
                rec->value += v + Command::SEPA_OBJVAL;
        } else {
            rec->type = CMD_OBJ_DELETE;
            rec->value.clear();
        }
        rec->objs = objs;
        return rec;
    }

    if (type == CMD_OBJ_Z_CHANGE) {
        // Moving several targets one after another shifts the others, so
        // restoring only the targets' old indexes can miss. The record holds
        // every object of the touched areas, bottom first: moving each to its
        // old index in that order rebuilds the exact stacking.
        QList<int> areas;
        for (DrawObject* o : cmd->objs) {
            const int area = getObjectArea(o);
            if (area < mListArea.size() && !areas.contains(area))
                areas.append(area);
        }
        std::sort(areas.begin(), areas.end());
        rec->objs.clear();
        for (int area : areas) {
            const QList<DrawObject*>& list = *mListArea.at(area);
            for (int z = 0; z < list.size(); ++z) {
                rec->objs.append(list.at(z));
                values << QString("%1,%2").arg(area).arg(z);
            }
        }
        if (rec->objs.isEmpty()) {
            delete rec;
            return nullptr;
        }
        rec->value = Command::perObjectList(values);
        return rec;
    }

    for (DrawObject* o : cmd->objs) {
        switch (type) {
        case CMD_OBJ_RECT_CHANGE:
        case CMD_OBJ_RECT_MOVE:
            values << QString("%1,%2,%3,%4").arg(o->x).arg(o->y).arg(o->w).arg(o->h);
            break;
        case CMD_OBJ_RULEDLINE_CHANGE:
            values << Command::ruledLineSetValue(o->ruledline);
            break;
        case CMD_OBJ_IMG_PATH_CHANGE:
            values << o->imgPath;
            break;
        default:
            if (!Command::hasField(type)) {
                qDebug() << "save undo default:" << type;
                delete rec;
                return nullptr;
            }
            values << Command::fieldValue(o, type);
        }
    }
    if (type == CMD_OBJ_RECT_MOVE)
        rec->type = CMD_OBJ_RECT_CHANGE;
    // Only a position or a rotation shared by every target is kept as one
    // number; every other record lists each target's value.
    const bool single = type == CMD_OBJ_X_CHANGE || type == CMD_OBJ_Y_CHANGE || type == CMD_OBJ_R_CHANGE;
    rec->value = single ? Command::joinPerObject(values) : Command::perObjectList(values);
    return rec;
}

void MainWindow::undo()
{
    if (mListUndo.isEmpty())
        return;
    qDebug() << "-- undo --";
    Command* r = mListUndo.takeLast();
    if (Command* redoRec = createUndoCmd(r)) {
        redoRec->docState = mDocState.current();
        mListRedo.append(redoRec);
    }
    qDebug() << "mListRedo.count" << mListRedo.size();
    execCmd(r, false, 1);
}

void MainWindow::redo()
{
    if (mListRedo.isEmpty())
        return;
    qDebug() << "-- redo --";
    execCmd(mListRedo.takeLast(), true, 2);
}

// ---- execution ----

void MainWindow::execCmd(const Command* cmd, bool save_undo, int do_mode)
{
    if (!cmd)
        return;
    if (cmd->objs.isEmpty()) {
        delete cmd;
        return;
    }
    // Undo and redo only return to states that were already within bounds.
    if (do_mode == 0 && !editFits(cmd)) {
        refuseEdit(cmd);
        return;
    }
    Command* rec = save_undo ? createUndoCmd(cmd) : nullptr;
    if (rec) {
        rec->docState = mDocState.current(); // undoing returns here
        pushUndoRecord(rec, do_mode);
    }
    noteDocumentChange(cmd, rec != nullptr, save_undo, do_mode);

    int partCount = 0;
    const QStringList parts = cmd->distributeValues(&partCount);
    bool relayout = false;
    QList<DrawObject*> survivors; // members of chains an unlink left behind
    const int n = cmd->objs.size();
    for (int i = 0; i < n; ++i) {
        if (cmd->type == CMD_OBJ_TEXT_LINK_CHANGE && isTrue(parts.at(i))) {
            // Targets come in pairs: the box to link after, then the box to link.
            if (i + 1 < n) {
                DrawObject* a = cmd->objs.at(i);
                DrawObject* b = cmd->objs.at(i + 1);
                if (TextLink::insertAfter(a, b)) {
                    ui->btnTextLinkOnOff->show();
                    ui->chkTextLinkShareConf->show();
                    Command* share = createCmd(b);
                    share->type = CMD_OBJ_TEXT_LINK_SHARE_CONF_CHANGE;
                    share->value = "true";
                    execCmd(share, true, 0);
                    relayout = true;
                }
                ++i;
            }
            continue;
        }
        applyCode(cmd, i, parts.at(i), partCount, &relayout, &survivors);
    }

    if (relayout) {
        QList<DrawObject*> done;
        auto relocate = [&done](DrawObject* o) {
            if (!o || done.contains(o))
                return;
            if (o->textLinkList) {
                DrawObject* head = TextLink::first(o);
                for (DrawObject* m : *o->textLinkList)
                    done.append(m);
                if (!done.contains(head))
                    done.append(head);
                head->relocateText(QString());
            } else {
                done.append(o);
                o->relocateText(QString());
            }
        };
        for (DrawObject* o : cmd->objs)
            relocate(o);
        for (DrawObject* s : survivors)
            if (s->textLinkList)
                relocate(TextLink::first(s));
        if (!mListSelected.isEmpty()) {
            const QString text = mListSelected.first()->text;
            if (ui->txtText->toPlainText() != text) {
                const QSignalBlocker block(ui->txtText);
                QTextCursor cursor = ui->txtText->textCursor();
                const int pos = cursor.position();
                ui->txtText->setPlainText(text);
                cursor = ui->txtText->textCursor();
                cursor.setPosition(qMin(pos, text.size()));
                ui->txtText->setTextCursor(cursor);
            }
        }
    }
    updateCurrentPage();
    delete cmd;
}

void MainWindow::applyCode(const Command* cmd, int i, const QString& v, int partCount, bool* relayout,
                           QList<DrawObject*>* survivors)
{
    DrawObject* o = cmd->objs.at(i);
    const int n = cmd->objs.size();
    const int type = cmd->type;
    if (!o)
        return;

    switch (type) {
    case CMD_OBJ_CREATE: {
        int area = 0, index = -1;
        splitPair(v, &area, &index);
        QList<DrawObject*>* list = getAreaObjects(area);
        if (!list)
            list = getAreaObjects(-1); // never drop an object for a bad area number
        if (i == 0)
            unselectObject();
        if (list && getObjectZ(o) < 0) {
            if (index >= 0 && index < list->size())
                list->insert(index, o);
            else
                list->append(o);
        }
        if (!mListSelected.contains(o))
            mListSelected.append(o);
        if (i == n - 1) {
            selectObject("new", nullptr, false);
            if (QWidget* page = ui->tabwgtMain->currentWidget())
                page->setFocus();
        }
        *relayout = true;
        return;
    }
    case CMD_OBJ_DELETE:
        if (o->textLinkList)
            TextLinkRemoveObj(o);
        for (QList<DrawObject*>* list : mListArea)
            if (list->removeAll(o) > 0)
                break;
        if (i == n - 1)
            unselectObject();
        return;
    case CMD_OBJ_SELECT:
        if (v == "new" || v == "add") {
            if (i == 0 && v == "new")
                unselectObject();
            if (!mListSelected.contains(o))
                mListSelected.append(o);
            o->selected = true;
            if (i == 0)
                refillPanel(o);
        } else if (v == "clear") {
            mListSelected.removeAll(o);
            o->selected = false;
        }
        if (i == n - 1 && mListSelected.isEmpty())
            showSelectionEmptied();
        return;
    case CMD_OBJ_Z_CHANGE: {
        int area = 0, z = 0;
        splitPair(v, &area, &z);
        QList<DrawObject*>* list = getAreaObjects(area);
        if (!list)
            return;
        const int from = list->indexOf(o);
        if (from < 0)
            return;
        if (z < 0 || z >= list->size())
            z = list->size() - 1;
        list->move(from, z);
        return;
    }
    case CMD_OBJ_RECT_CHANGE:
    case CMD_OBJ_RECT_MOVE: {
        const QStringList p = v.split(',');
        const int d[4] = {toInt(p.value(0)), toInt(p.value(1)), toInt(p.value(2)), toInt(p.value(3))};
        if (type == CMD_OBJ_RECT_CHANGE) {
            o->x = d[0], o->y = d[1], o->w = d[2], o->h = d[3];
        } else {
            o->x += d[0], o->y += d[1], o->w += d[2], o->h += d[3];
        }
        setValueSilent(ui->spnX, o->x);
        setValueSilent(ui->spnY, o->y);
        setValueSilent(ui->spnW, o->w);
        setValueSilent(ui->spnH, o->h);
        if (type == CMD_OBJ_RECT_CHANGE || mPointerMode != POINTER_MOVE)
            *relayout = true;
        return;
    }
    case CMD_OBJ_TEXT_CHANGE:
        // An undo or redo record in a chain replaces a span of the chain's
        // text; a member that left its chain since takes its text whole.
        if (i < cmd->textSpans.size() && cmd->textSpans.at(i).at >= 0 && o->textLinkList) {
            ChainText::replace(o, cmd->textSpans.at(i).at, cmd->textSpans.at(i).length, v);
            *relayout = true;
            return;
        }
        break;
    case CMD_OBJ_TEXT_LINK_CHANGE:
        // "true" pairs are handled by execCmd; here only the unlink.
        if (o->textLinkList) {
            if (DrawObject* rest = TextLink::remove(o))
                survivors->append(rest);
            ui->btnTextLinkOnOff->hide();
            ui->chkTextLinkShareConf->hide();
            *relayout = true;
        }
        return;
    case CMD_OBJ_TEXT_LINK_SHARE_CONF_CHANGE: {
        o->textLinkShareConf = isTrue(v);
        {
            const QSignalBlocker block(ui->chkTextLinkShareConf);
            ui->chkTextLinkShareConf->setChecked(o->textLinkShareConf);
        }
        const QList<DrawObject*> boxes = getShareConfObjs(o);
        if (o->textLinkShareConf && !boxes.isEmpty())
            TextLink::copySharedSettings(boxes.first(), o);
        *relayout = true;
        return;
    }
    case CMD_OBJ_RULEDLINE_CHANGE: {
        if (Command::isRuledLineSetValue(v)) {
            o->ruledline = toInt(v.mid(1));
            setRuledLineBoxes(o->ruledline);
            return;
        }
        const int bit = toInt(v);
        if (bit >= 1)
            o->ruledline |= bit;
        else
            o->ruledline &= ~(-bit);
        const int mag = bit < 0 ? -bit : bit;
        QCheckBox* boxes[] = {ui->chkRuledLine_Top, ui->chkRuledLine_Left, ui->chkRuledLine_Right,
                              ui->chkRuledLine_Bottom, ui->chkRuledLine_Slash, ui->chkRuledLine_BackSlash};
        for (int b = 0; b < 6; ++b) {
            if (mag & (1 << b)) {
                setValueSilent(boxes[b], bit >= 1);
                break;
            }
        }
        return;
    }
    case CMD_OBJ_IMG_PATH_CHANGE:
        qDebug() << "CMD_OBJ_IMG_PATH_CHANGE";
        if (!v.isEmpty())
            setImageDir(v);
        o->setImgPath(v);
        ui->txtImgPath->setText(QDir::toNativeSeparators(v));
        return;
    default:
        break;
    }

    if (!Command::hasField(type))
        return; // unassigned codes change nothing
    Command::setFieldValue(o, type, v);
    if (Command::isSharedTextSetting(type))
        for (DrawObject* box : getShareConfObjs(o))
            Command::setFieldValue(box, type, v);
    refreshPanel(type, v, i, partCount);
    if (relayoutFor(type))
        *relayout = true;
}
