#ifndef EDITORFIXTURE_H
#define EDITORFIXTURE_H

// A shown main window on default settings with a scripted seam, driven by
// pointer and key events on its current page or through the executor.
#include "command.h"
#include "drawobject.h"
#include "mainwindow.h"
#include "setting.h"
#include "testsupport.h"
#include "ui_mainwindow.h"

#include <QContextMenuEvent>
#include <QLoggingCategory>
#include <QtTest>

struct Editor {
    // Default settings before the window reads them; the executor's debug trace silenced.
    bool ready = (Setting::resetDefaults(), QLoggingCategory::setFilterRules("default.debug=false"), true);
    ScriptedSeam* seam = ScriptedSeam::install();
    MainWindow w;
    Ui::MainWindow* ui = w.ui;

    Editor() { w.show(), (void)QTest::qWaitForWindowExposed(&w); }
    QWidget* page() { return ui->tabwgtMain->currentWidget(); }
    // Puts a box on a page as a loaded document would, unselected.
    DrawObject* box(int x, int y, int wd, int h, int area = 0, const QString& text = QString())
    {
        auto* o = new DrawObject(x, y, wd, h);
        o->text = text;
        w.mListArea[area]->append(o);
        return o;
    }
    DrawObject* place(int area, int x, int y = 10, int wd = 100, int h = 50) { return box(x, y, wd, h, area, "New"); }
    void select(const QList<DrawObject*>& objs)
    {
        w.unselectObject();
        for (DrawObject* o : objs)
            w.selectObject("add", o, false);
    }
    // One command through the executor, recorded for undo.
    void run(int type, const QString& value, const QList<DrawObject*>& objs)
    {
        Command* cmd = w.createCmd(objs);
        cmd->type = type, cmd->value = value;
        w.execCmd(cmd, true, 0);
    }
    void press(QPoint p, Qt::KeyboardModifiers m = {}) { QTest::mousePress(page(), Qt::LeftButton, m, p); }
    void release(QPoint p) { QTest::mouseRelease(page(), Qt::LeftButton, {}, p); }
    void move(QPoint p, Qt::MouseButtons held = Qt::LeftButton)
    {
        QMouseEvent e(QEvent::MouseMove, p, Qt::NoButton, held, Qt::NoModifier);
        QApplication::sendEvent(page(), &e);
    }
    void drag(QPoint from, QPoint to, Qt::KeyboardModifiers m = {}) { press(from, m), move(to), release(to); }
    void key(int k) { QTest::keyClick(page(), Qt::Key(k)); }
    // Opens the context menu at `at` and picks `choice` (none: dismissed).
    void menu(QPoint at, const QString& choice = QString())
    {
        seam->menuChoices = QStringList(choice);
        QContextMenuEvent e(QContextMenuEvent::Mouse, at, page()->mapToGlobal(at));
        QApplication::sendEvent(page(), &e);
    }
    static QRect rect(const DrawObject* o) { return QRect(o->x, o->y, o->w, o->h); }
};

#endif
