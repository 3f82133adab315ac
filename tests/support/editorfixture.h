#ifndef EDITORFIXTURE_H
#define EDITORFIXTURE_H

// A shown main window driven by pointer and key events on its current page.
#include "command.h"
#include "drawobject.h"
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include <QApplication>
#include <QMouseEvent>
#include <QtTest>

struct Editor {
    MainWindow w;

    Editor()
    {
        w.show();
        (void)QTest::qWaitForWindowExposed(&w);
    }
    QWidget* page() { return w.ui->tabwgtMain->currentWidget(); }

    // Puts a box on a page without an undo entry and leaves nothing selected.
    DrawObject* box(int x, int y, int wd, int h, int area = 0)
    {
        auto* o = new DrawObject(x, y, wd, h);
        Command* c = w.createCmd(o);
        c->type = CMD_OBJ_CREATE;
        c->value = QString("%1,-1").arg(area);
        w.execCmd(c, false, 0);
        w.unselectObject();
        return o;
    }
    void press(QPoint p, Qt::KeyboardModifiers m = Qt::NoModifier, Qt::MouseButton b = Qt::LeftButton)
    {
        QTest::mousePress(page(), b, m, p);
    }
    void move(QPoint p, Qt::MouseButtons held = Qt::LeftButton)
    {
        QMouseEvent e(QEvent::MouseMove, p, Qt::NoButton, held, Qt::NoModifier);
        QApplication::sendEvent(page(), &e);
    }
    void release(QPoint p) { QTest::mouseRelease(page(), Qt::LeftButton, Qt::NoModifier, p); }
    void drag(QPoint from, QPoint to, Qt::KeyboardModifiers m = Qt::NoModifier)
    {
        press(from, m);
        move(to);
        release(to);
    }
    void key(int k, Qt::KeyboardModifiers m = Qt::NoModifier) { QTest::keyClick(page(), Qt::Key(k), m); }
    QRect rect(const DrawObject* o) const { return QRect(o->x, o->y, o->w, o->h); }
};

#endif
