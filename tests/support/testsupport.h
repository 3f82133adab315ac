#ifndef TESTSUPPORT_H
#define TESTSUPPORT_H

#include "uiseam.h"

#include <QImage>
#include <QList>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <functional>

// A UiSeam that answers from queues and records what was asked, so no test
// ever blocks on a dialog.
class ScriptedSeam : public UiSeam
{
public:
    QList<QMessageBox::StandardButton> questionAnswers; // default: Yes (ask: its Escape answer)
    QStringList fileAnswers;                            // default: empty (cancel)
    QStringList filterAnswers;                          // default: the first filter offered
    QStringList filtersSeen;                            // the filters each save dialog offered
    QList<QColor> colorAnswers;                         // default: invalid (cancel)
    QList<int> dialogResults;                           // default: Rejected
    QStringList menuChoices;                            // action texts; default: none
    QStringList log;                                    // "kind|title|text"
    QStringList menuSeen;                               // texts of the last menu's actions
    std::function<int(QDialog*)> onDialog;              // works a dialog instead of dialogResults

    QMessageBox::StandardButton question(QWidget*, const QString& title, const QString& text,
                                         QMessageBox::StandardButtons) override
    {
        return next("question|" + title + "|" + text, questionAnswers, QMessageBox::Yes);
    }
    QMessageBox::StandardButton ask(QWidget*, const QString& title, const QString& text, const QString&,
                                    const Choices& choices) override
    {
        return next("ask|" + title + "|" + text, questionAnswers, choices.last().first);
    }
    void warning(QWidget*, const QString& title, const QString& text) override { log << "warning|" + title + "|" + text; }
    void information(QWidget*, const QString& title, const QString& text) override { log << "information|" + title + "|" + text; }
    QList<QFileDialog::Options> fileOptions;            // options of each file dialog asked
    bool urlOpens = true;                               // what openUrl answers
    QString getOpenFileName(QWidget*, const QString& caption, const QString& dir, const QString&,
                            QFileDialog::Options options) override
    {
        fileOptions << options;
        return next("open|" + caption + "|" + dir, fileAnswers, QString());
    }
    QString getSaveFileName(QWidget*, const QString& caption, const QString& dir, const QString&,
                            QFileDialog::Options options) override
    {
        fileOptions << options;
        return next("save|" + caption + "|" + dir, fileAnswers, QString());
    }
    QString getSaveFileNameAndFilter(QWidget*, const QString& caption, const QString& dir, const QString& filters,
                                     QString* selectedFilter) override
    {
        filtersSeen << filters;
        if (selectedFilter)
            *selectedFilter = filterAnswers.isEmpty() ? filters.section(";;", 0, 0) : filterAnswers.takeFirst();
        return next("save|" + caption + "|" + dir, fileAnswers, QString());
    }
    QColor getColor(const QColor&, QWidget*, const QString& title) override { return next("color|" + title + "|", colorAnswers, QColor()); }
    QAction* execMenu(QMenu* menu, const QPoint& globalPos) override;
    int execDialog(QDialog* dialog) override;
    bool openUrl(const QString& url) override { return log << "url|" + url + "|", urlOpens; }

    // Installs a fresh seam and returns it (owned by UiSeam).
    static ScriptedSeam* install();

private:
    template <typename T>
    T next(const QString& entry, QList<T>& answers, const T& fallback)
    {
        log << entry;
        return answers.isEmpty() ? fallback : answers.takeFirst();
    }
};

// Folder of the source tree (for examples/ and test data).
QString sourceDir();
// The whole file, or nothing when it cannot be read.
QByteArray readFile(const QString& path);
// The built zamfu program.
QString zamfuBinary();
// A program run to its end (two minutes at most); code -1 when it did not run.
struct ProgramRun {
    int code = -1;
    QString out, err;
};
ProgramRun runProgram(const QString& program, const QStringList& args, const QString& workDir = QString(),
                      const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment());
// Mean difference of two images per channel, 0..255, over their common part.
double meanDifference(const QImage& a, const QImage& b);
// The first page of a PDF rendered at dpi (pdftoppm); null on failure.
QImage renderedPdf(const QString& pdf, int dpi);
// Edit area `area` of a document file as the editor draws it at zoom 1, on
// the default 560 x 397 edit area (the document's settings are applied).
QImage editorView(const QString& document, int area = 0);
// The smallest rectangle holding every pixel that matches.
QRect inkBounds(const QImage& image, const std::function<bool(const QColor&)>& match);

#endif
