// Growth of the document kept within what the reader accepts, so every saved
// document opens again.
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "command.h"
#include "doclimits.h"
#include "document.h"
#include "drawobject.h"
#include "uiseam.h"

bool MainWindow::editFits(const Command* cmd)
{
    qint64 addChars = 0;
    int addObjects = 0;
    if (cmd->type == CMD_OBJ_CREATE) {
        for (DrawObject* o : cmd->objs) {
            if (o && getObjectZ(o) < 0) {
                ++addObjects;
                addChars += DocLimits::objectChars(o);
            }
        }
    } else if (cmd->type == CMD_OBJ_RECT_CHANGE || cmd->type == CMD_OBJ_RECT_MOVE) {
        // Geometry is written as numbers: far-off places take more digits.
        const QStringList parts = cmd->distributeValues();
        for (int i = 0; i < cmd->objs.size(); ++i) {
            const DrawObject* o = cmd->objs.at(i);
            if (!o)
                continue;
            const QStringList d = parts.value(i).split(',');
            const bool move = cmd->type == CMD_OBJ_RECT_MOVE;
            auto digits = [](qint64 v) { return QString::number(v).size(); };
            const qint64 now[4] = {o->x, o->y, o->w, o->h};
            for (int k = 0; k < 4; ++k) {
                const qint64 v = d.value(k).toInt(nullptr, 10);
                addChars += digits(move ? now[k] + v : v) - digits(now[k]);
            }
        }
    } else if (cmd->type == CMD_OBJ_TEXT_LINK_CHANGE) {
        // A linked box is written with its chain's id and index, and takes
        // the chain's text settings (its font name, at most the longer one).
        for (int i = 0; i + 1 < cmd->objs.size(); i += 2)
            if (cmd->objs.at(i) && cmd->objs.at(i + 1))
                addChars += 2 * DocLimits::LINK_CHARS + cmd->objs.at(i)->textFont.size();
    } else if (Command::hasField(cmd->type) || cmd->type == CMD_OBJ_IMG_PATH_CHANGE) {
        // Values replace what the targets hold now, as text of the same form.
        const QStringList parts = cmd->distributeValues();
        for (int i = 0; i < cmd->objs.size(); ++i) {
            const DrawObject* o = cmd->objs.at(i);
            if (!o)
                continue;
            const QString now = cmd->type == CMD_OBJ_IMG_PATH_CHANGE ? o->imgPath : Command::fieldValue(o, cmd->type);
            addChars += parts.value(i).size() - now.size();
        }
    }
    if (addObjects == 0 && addChars <= 0)
        return true;

    DocLimits::Usage usage = DocLimits::measure(DocumentSettings::fromSetting(), mListArea);
    usage.objects += addObjects;
    usage.chars += addChars;
    if (DocLimits::fits(usage))
        return true;
    UiSeam::instance()->warning(this, "上限", DocLimits::refusal(usage));
    return false;
}

void MainWindow::refuseEdit(const Command* cmd)
{
    // New objects that never entered the document belong to nobody else.
    if (cmd->type == CMD_OBJ_CREATE)
        for (DrawObject* o : cmd->objs)
            if (o && getObjectZ(o) < 0)
                DrawObject::null(o);
    // The text field shows the document again, not the refused text.
    if (cmd->type == CMD_OBJ_TEXT_CHANGE && !mListSelected.isEmpty()) {
        const QSignalBlocker block(ui->txtText);
        ui->txtText->setPlainText(mListSelected.first()->text);
        ui->txtText->moveCursor(QTextCursor::End);
    }
    delete cmd;
}
