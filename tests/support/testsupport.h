#ifndef TESTSUPPORT_H
#define TESTSUPPORT_H

#include "uiseam.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// A UiSeam that answers from queues and records what was asked, so no test
// ever blocks on a dialog.
class ScriptedSeam : public UiSeam
{
public:
    QList<QMessageBox::StandardButton> questionAnswers; // default: Yes
    QStringList fileAnswers;                            // default: empty (cancel)
    QList<QColor> colorAnswers;                         // default: invalid (cancel)
    QList<int> dialogResults;                           // default: Rejected
    QStringList menuChoices;                            // action texts; default: none
    QStringList log;                                    // "kind|title|text"
    QStringList menuSeen;                               // texts of the last menu's actions
    std::function<int(QDialog*)> onDialog;              // works a dialog instead of dialogResults

    QMessageBox::StandardButton question(QWidget*, const QString& title, const QString& text,
                                         QMessageBox::StandardButtons) override;
    void warning(QWidget*, const QString& title, const QString& text) override;
    void information(QWidget*, const QString& title, const QString& text) override;
    QString getOpenFileName(QWidget*, const QString& caption, const QString& dir, const QString& filter) override;
    QString getSaveFileName(QWidget*, const QString& caption, const QString& dir, const QString& filter) override;
    QColor getColor(const QColor& initial, QWidget*, const QString& title) override;
    QAction* execMenu(QMenu* menu, const QPoint& globalPos) override;
    int execDialog(QDialog* dialog) override;
    bool openUrl(const QString& url) override;

    // Installs a fresh seam and returns it (owned by UiSeam).
    static ScriptedSeam* install();
};

// Folder of the source tree (for examples/ and test data).
QString sourceDir();

#endif
