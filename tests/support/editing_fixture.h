#ifndef EDITING_FIXTURE_H
#define EDITING_FIXTURE_H

// A main window with a scripted seam and helpers to place and select objects
// directly, as a loaded document would have them.
#include "command.h"
#include "drawobject.h"
#include "mainwindow.h"
#include "testsupport.h"
#include "ui_mainwindow.h"

#include <QLoggingCategory>
#include <memory>

struct EditingFixture {
    ScriptedSeam* seam = ScriptedSeam::install();
    std::unique_ptr<MainWindow> window{new MainWindow};
    MainWindow* w = window.get();
    Ui::MainWindow* ui = window->ui;

    static void quietDiagnostics() { QLoggingCategory::setFilterRules("default.debug=false"); }

    DrawObject* place(int area, int x, int y = 10, int width = 100, int height = 50)
    {
        auto* o = new DrawObject(x, y, width, height);
        w->mListArea[area]->append(o);
        return o;
    }
    void select(const QList<DrawObject*>& objs)
    {
        w->unselectObject();
        for (int i = 0; i < objs.size(); ++i)
            w->selectObject(i == 0 ? "new" : "add", objs.at(i), false);
    }
    void run(int type, const QString& value, const QList<DrawObject*>& objs)
    {
        Command* cmd = w->createCmd(objs);
        cmd->type = type;
        cmd->value = value;
        w->execCmd(cmd, true, 0);
    }
};

#endif
