#ifndef UISEAM_H
#define UISEAM_H

#include <QColor>
#include <QFileDialog>
#include <QList>
#include <QMessageBox>
#include <QPair>
#include <QPoint>
#include <QString>

class QAction;
class QDialog;
class QMenu;
class QWidget;

// Every modal interaction of the editor goes through here, so tests can
// install their own answers and never block on a dialog.
class UiSeam
{
public:
    virtual ~UiSeam();

    virtual QMessageBox::StandardButton question(QWidget* parent, const QString& title, const QString& text,
                                                 QMessageBox::StandardButtons buttons);
    // A question whose buttons carry their own captions. The first button is
    // the default, the last one answers Escape; detail may be empty.
    using Choices = QList<QPair<QMessageBox::StandardButton, QString>>;
    virtual QMessageBox::StandardButton ask(QWidget* parent, const QString& title, const QString& text,
                                            const QString& detail, const Choices& choices);
    virtual void warning(QWidget* parent, const QString& title, const QString& text);
    virtual void information(QWidget* parent, const QString& title, const QString& text);
    virtual QString getOpenFileName(QWidget* parent, const QString& caption, const QString& dir,
                                    const QString& filter, QFileDialog::Options options = {});
    virtual QString getSaveFileName(QWidget* parent, const QString& caption, const QString& dir,
                                    const QString& filter, QFileDialog::Options options = {});
    // A save dialog offering several filters (";;" between them); *selectedFilter
    // gets the one chosen.
    virtual QString getSaveFileNameAndFilter(QWidget* parent, const QString& caption, const QString& dir,
                                             const QString& filters, QString* selectedFilter);
    virtual QColor getColor(const QColor& initial, QWidget* parent, const QString& title);
    // Runs a popup menu; returns the chosen action or nullptr.
    virtual QAction* execMenu(QMenu* menu, const QPoint& globalPos);
    // Runs a modal dialog (print preview, settings, PDF choice); returns its result code.
    virtual int execDialog(QDialog* dialog);
    virtual bool openUrl(const QString& url);

    static UiSeam* instance();
    // Takes ownership; nullptr restores the real dialogs.
    static void install(UiSeam* seam);
};

#endif
