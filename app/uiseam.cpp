#include "uiseam.h"

#include <QColorDialog>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QMenu>
#include <QPushButton>
#include <QUrl>

#include <memory>

namespace {
std::unique_ptr<UiSeam>& current()
{
    static std::unique_ptr<UiSeam> seam(new UiSeam);
    return seam;
}
}

UiSeam::~UiSeam() = default;

UiSeam* UiSeam::instance()
{
    return current().get();
}

void UiSeam::install(UiSeam* seam)
{
    current().reset(seam ? seam : new UiSeam);
}

QMessageBox::StandardButton UiSeam::question(QWidget* parent, const QString& title, const QString& text,
                                             QMessageBox::StandardButtons buttons)
{
    return QMessageBox::question(parent, title, text, buttons);
}

QMessageBox::StandardButton UiSeam::ask(QWidget* parent, const QString& title, const QString& text,
                                        const QString& detail, const Choices& choices)
{
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::NoButton, parent);
    box.setInformativeText(detail);
    for (const auto& c : choices)
        box.addButton(c.first)->setText(c.second);
    if (!choices.isEmpty()) {
        box.setDefaultButton(choices.first().first);
        box.setEscapeButton(box.button(choices.last().first));
    }
    return QMessageBox::StandardButton(box.exec());
}

void UiSeam::warning(QWidget* parent, const QString& title, const QString& text)
{
    QMessageBox::warning(parent, title, text);
}

void UiSeam::information(QWidget* parent, const QString& title, const QString& text)
{
    QMessageBox::information(parent, title, text);
}

QString UiSeam::getOpenFileName(QWidget* parent, const QString& caption, const QString& dir, const QString& filter,
                                QFileDialog::Options options)
{
    return QFileDialog::getOpenFileName(parent, caption, dir, filter, nullptr, options);
}

QString UiSeam::getSaveFileName(QWidget* parent, const QString& caption, const QString& dir, const QString& filter,
                                QFileDialog::Options options)
{
    return QFileDialog::getSaveFileName(parent, caption, dir, filter, nullptr, options);
}

QString UiSeam::getSaveFileNameAndFilter(QWidget* parent, const QString& caption, const QString& dir,
                                         const QString& filters, QString* selectedFilter)
{
    return QFileDialog::getSaveFileName(parent, caption, dir, filters, selectedFilter);
}

QColor UiSeam::getColor(const QColor& initial, QWidget* parent, const QString& title)
{
    return QColorDialog::getColor(initial, parent, title, QColorDialog::ShowAlphaChannel);
}

QAction* UiSeam::execMenu(QMenu* menu, const QPoint& globalPos)
{
    return menu->exec(globalPos);
}

int UiSeam::execDialog(QDialog* dialog)
{
    return dialog->exec();
}

bool UiSeam::openUrl(const QString& url)
{
    return QDesktopServices::openUrl(QUrl(url));
}
