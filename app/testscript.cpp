#include "testscript.h"

#ifdef ZAMFU_TEST_HOOKS

#include "mainwindow.h"
#include "uiseam.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFile>
#include <QPlainTextEdit>
#include <QSaveFile>
#include <QSpinBox>
#include <QTabWidget>
#include <QTextStream>
#include <QTimer>

#include <cstdio>

namespace {

// Answers from the script instead of asking anyone; keeps a log of what was asked.
class ScriptSeam : public UiSeam
{
public:
    QList<QMessageBox::StandardButton> answers;
    QStringList files;
    QStringList asked;

    QMessageBox::StandardButton question(QWidget*, const QString& title, const QString& text,
                                         QMessageBox::StandardButtons buttons) override
    {
        asked << title + "|" + text;
        const auto a = answers.isEmpty() ? QMessageBox::NoButton : answers.takeFirst();
        return buttons.testFlag(a) ? a : QMessageBox::No;
    }
    QMessageBox::StandardButton ask(QWidget*, const QString& title, const QString& text, const QString&,
                                    const Choices& choices) override
    {
        asked << title + "|" + text;
        const auto a = answers.isEmpty() ? QMessageBox::NoButton : answers.takeFirst();
        for (const auto& c : choices)
            if (c.first == a)
                return a;
        return choices.isEmpty() ? QMessageBox::NoButton : choices.last().first;
    }
    void warning(QWidget*, const QString& title, const QString& text) override { asked << title + "|" + text; }
    void information(QWidget*, const QString& title, const QString& text) override { asked << title + "|" + text; }
    QString getOpenFileName(QWidget*, const QString&, const QString&, const QString&, QFileDialog::Options) override
    {
        return file();
    }
    QString getSaveFileName(QWidget*, const QString&, const QString&, const QString&, QFileDialog::Options) override
    {
        return file();
    }
    QColor getColor(const QColor&, QWidget*, const QString&) override { return QColor(); }
    QAction* execMenu(QMenu*, const QPoint&) override { return nullptr; }
    int execDialog(QDialog*) override { return 0; }
    bool openUrl(const QString&) override { return false; }

private:
    QString file() { return files.isEmpty() ? QString() : files.takeFirst(); }
};

ScriptSeam* gSeam = nullptr;

bool writeText(const QString& path, const QByteArray& bytes)
{
    QSaveFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() && f.commit();
}

}

TestScript* TestScript::fromEnvironment(MainWindow* window)
{
    const QString path = qEnvironmentVariable("ZAMFU_TEST_SCRIPT");
    if (path.isEmpty())
        return nullptr;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        std::fprintf(stderr, "zamfu: cannot read test script %s\n", qPrintable(path));
        return nullptr;
    }
    static const QHash<QString, QMessageBox::StandardButton> ANSWERS = {
        {"yes", QMessageBox::Yes},   {"no", QMessageBox::No},         {"save", QMessageBox::Save},
        {"discard", QMessageBox::Discard}, {"cancel", QMessageBox::Cancel}};
    gSeam = new ScriptSeam;
    QStringList actions;
    QTextStream in(&file);
    in.setCodec("UTF-8");
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        const QString word = line.section(' ', 0, 0);
        if (word == "answer")
            gSeam->answers << ANSWERS.value(line.section(' ', 1), QMessageBox::NoButton);
        else if (word == "file")
            gSeam->files << line.section(' ', 1);
        else if (!line.isEmpty() && !line.startsWith('#'))
            actions << line;
    }
    UiSeam::install(gSeam);
    return new TestScript(window, actions);
}

TestScript::TestScript(MainWindow* window, const QStringList& actions)
    : QObject(window), mWindow(window), mActions(actions)
{
}

void TestScript::start()
{
    QTimer::singleShot(0, this, &TestScript::next);
}

void TestScript::next()
{
    if (mActions.isEmpty())
        return;
    const QString line = mActions.takeFirst();
    if (!run(line))
        std::fprintf(stderr, "zamfu: test script line failed: %s\n", qPrintable(line));
    QTimer::singleShot(0, this, &TestScript::next);
}

bool TestScript::run(const QString& line)
{
    const QString word = line.section(' ', 0, 0);
    const QString arg = line.section(' ', 1);
    QWidget* widget = mWindow->findChild<QWidget*>(arg.section(' ', 0, 0));
    const QString rest = arg.section(' ', 1);
    if (word == "click") {
        auto* b = qobject_cast<QAbstractButton*>(widget);
        return b && (b->click(), true);
    }
    if (word == "value") {
        auto* s = qobject_cast<QSpinBox*>(widget);
        return s && (s->setValue(rest.toInt()), true);
    }
    if (word == "index") {
        if (auto* c = qobject_cast<QComboBox*>(widget))
            return c->setCurrentIndex(rest.toInt()), true;
        auto* t = qobject_cast<QTabWidget*>(widget);
        return t && (t->setCurrentIndex(rest.toInt()), true);
    }
    if (word == "text") {
        auto* e = qobject_cast<QPlainTextEdit*>(widget);
        return e && (e->setPlainText(QString(rest).replace("\\n", "\n")), true);
    }
    if (word == "call")
        return QMetaObject::invokeMethod(mWindow, qPrintable(arg));
    if (word == "snapshot")
        return writeText(arg, mWindow->documentBytes(QString()));
    if (word == "report") {
        QStringList lines{"title=" + mWindow->windowTitle(), "file=" + mWindow->windowFilePath(),
                          QString("modified=%1").arg(mWindow->isWindowModified())};
        for (const QString& q : qAsConst(gSeam->asked))
            lines << "asked=" + q;
        return writeText(arg, (lines.join('\n') + '\n').toUtf8());
    }
    if (word == "quit")
        return mWindow->close(), true;
    return false;
}

#else

TestScript* TestScript::fromEnvironment(MainWindow*)
{
    return nullptr;
}

void TestScript::start() {}

TestScript::TestScript(MainWindow* window, const QStringList&) : QObject(nullptr), mWindow(window) {}
void TestScript::next() {}
bool TestScript::run(const QString&) { return false; }

#endif
