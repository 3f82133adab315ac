// Page numbers at the foot of every booklet page, placed in one undoable step.
#include "mainwindow.h"

#include "command.h"
#include "drawobject.h"
#include "pagenumbers.h"
#include "setting.h"

void MainWindow::on_btnPageNum_clicked()
{
    const QList<PageNumbers::Slot> places = PageNumbers::boxes(Setting::PageMax, Setting::PageDirection,
                                                             _EDITAREA_W_PX, _EDITAREA_H_PX, Setting::PaperMargin);
    if (places.isEmpty())
        return;
    QList<DrawObject*> objs;
    QString value;
    for (const PageNumbers::Slot& s : places) {
        auto* o = new DrawObject(s.x, s.y, PageNumbers::BOX_W, PageNumbers::BOX_H);
        o->text = s.label;
        o->textSize = 10;
        o->textAlign = Qt::AlignHCenter | Qt::AlignVCenter;
        o->textMargin = 0;
        o->bgColorEnabled = false;
        objs.append(o);
        value += QString("%1,%2").arg(s.area).arg(-1) + Command::SEPA_OBJVAL;
    }
    Command* cmd = createCmd(objs);
    cmd->type = CMD_OBJ_CREATE;
    cmd->value = value;
    execCmd(cmd, true, 0);
}
