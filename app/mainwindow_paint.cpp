// Painting of the edit areas, the imposed sheet and the per-page output; the
// geometry and the drawing itself live in model/sheet.
#include "mainwindow.h"
#include "sheet.h"

#include <QPainter>
#include <QPrinter>

namespace {

bool isPrinter(QPaintDevice* device)
{
    return dynamic_cast<QPrinter*>(device) != nullptr;
}

}

void MainWindow::paint(QPaintDevice* device, int page_area, int page_divide)
{
    QPainter painter(device);
    if (!painter.isActive())
        return;
    const bool printer = isPrinter(device);
    if (!printer)
        painter.fillRect(QRect(0, 0, device->width(), device->height()), Qt::white);
    if (page_area == -1)
        page_area = getCurrentArea();

    Sheet::Hooks hooks;
    // Pointer-editing overlays (rubber band, link candidate), drawn last.
    hooks.overlay = [this](QPainter* p, int area) { drawPointerOverlay(p, area); };
    Sheet::render(&painter, Sheet::Context::fromSettings(mZoom, printer), page_area, page_divide,
                  mListArea, hooks);
}

void MainWindow::drawArea(QPainter* painter, int area, int page_divide, int part, int flags)
{
    if (area == -1)
        area = getCurrentArea();
    const bool printer = isPrinter(painter->device());
    const QList<DrawObject*>* objects = area >= 0 && area < mListArea.size() ? mListArea.at(area) : nullptr;
    Sheet::drawPiece(painter, Sheet::Context::fromSettings(mZoom, printer), {area, part, flags},
                     page_divide, objects);
    if (!printer)
        drawPointerOverlay(painter, area);
}

void MainWindow::drawFoldLine(QPainter* painter, QString kind)
{
    Sheet::drawFoldLines(painter, Sheet::Context::fromSettings(mZoom, isPrinter(painter->device())), kind);
}
