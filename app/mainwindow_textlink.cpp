// Text link chains, window side: the link and unlink commands.
#include "mainwindow.h"

#include "command.h"
#include "drawobject.h"
#include "textlink.h"

QList<DrawObject*> MainWindow::getShareConfObjs(DrawObject* obj)
{
    return TextLink::shareConfObjs(obj);
}

void MainWindow::TextLinkInsertObj(DrawObject* obj)
{
    if (!obj)
        return;
    Command* cmd = createCmd(nullptr);
    cmd->addObj(obj);
    cmd->type = CMD_OBJ_TEXT_LINK_CHANGE;
    cmd->value = "true";
    execCmd(cmd, true, 0);
}

void MainWindow::TextLinkRemoveObj(DrawObject* obj)
{
    if (!obj)
        return; // a null box would otherwise target the whole selection
    Command* cmd = createCmd(obj);
    cmd->type = CMD_OBJ_TEXT_LINK_CHANGE;
    cmd->value = "false";
    execCmd(cmd, true, 0);
}
