#include "mainwindow.h"
#include "ui_mainwindow.h"

#include <QEvent>

bool MainWindow::eventFilter(QObject* obj, QEvent* event)
{
    QWidget* tabs[] = {ui->tab0, ui->tab1, ui->tab2, ui->tab3};
    for (int i = 0; i < 4; ++i) {
        if (obj == tabs[i] && event->type() == QEvent::Paint) {
            paint(tabs[i], i, 0);
            return true;
        }
    }
    return QMainWindow::eventFilter(obj, event);
}
