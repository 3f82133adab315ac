#include "mainwindow.h"

#include <QPainter>

// Placeholder until sheet rendering lands.
void MainWindow::paint(QPaintDevice* device, int, int)
{
    QPainter p(device);
    p.fillRect(QRect(0, 0, device->width(), device->height()), Qt::white);
}

void MainWindow::drawArea(QPainter*, int, int, int, int) {}
void MainWindow::drawFoldLine(QPainter*, QString) {}
