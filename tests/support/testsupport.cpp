#include "testsupport.h"

#include <QAction>
#include <QDialog>
#include <QMenu>

QMessageBox::StandardButton ScriptedSeam::question(QWidget*, const QString& title, const QString& text,
                                                   QMessageBox::StandardButtons)
{
    log << "question|" + title + "|" + text;
    return questionAnswers.isEmpty() ? QMessageBox::Yes : questionAnswers.takeFirst();
}

void ScriptedSeam::warning(QWidget*, const QString& title, const QString& text)
{
    log << "warning|" + title + "|" + text;
}

void ScriptedSeam::information(QWidget*, const QString& title, const QString& text)
{
    log << "information|" + title + "|" + text;
}

QString ScriptedSeam::getOpenFileName(QWidget*, const QString& caption, const QString& dir, const QString&)
{
    log << "open|" + caption + "|" + dir;
    return fileAnswers.isEmpty() ? QString() : fileAnswers.takeFirst();
}

QString ScriptedSeam::getSaveFileName(QWidget*, const QString& caption, const QString& dir, const QString&)
{
    log << "save|" + caption + "|" + dir;
    return fileAnswers.isEmpty() ? QString() : fileAnswers.takeFirst();
}

QColor ScriptedSeam::getColor(const QColor&, QWidget*, const QString& title)
{
    log << "color|" + title + "|";
    return colorAnswers.isEmpty() ? QColor() : colorAnswers.takeFirst();
}

QAction* ScriptedSeam::execMenu(QMenu* menu, const QPoint&)
{
    menuSeen.clear();
    for (QAction* a : menu->actions())
        if (!a->isSeparator())
            menuSeen << a->text();
    log << "menu|" + menuSeen.join(",") + "|";
    if (menuChoices.isEmpty())
        return nullptr;
    const QString want = menuChoices.takeFirst();
    for (QAction* a : menu->actions())
        if (a->text() == want && a->isEnabled())
            return a;
    return nullptr;
}

int ScriptedSeam::execDialog(QDialog* dialog)
{
    log << "dialog|" + dialog->windowTitle() + "|";
    if (onDialog)
        return onDialog(dialog);
    return dialogResults.isEmpty() ? QDialog::Rejected : dialogResults.takeFirst();
}

bool ScriptedSeam::openUrl(const QString& url)
{
    log << "url|" + url + "|";
    return true;
}

ScriptedSeam* ScriptedSeam::install()
{
    auto* s = new ScriptedSeam;
    UiSeam::install(s);
    return s;
}

QString sourceDir()
{
    const QByteArray env = qgetenv("ZAMFU_SOURCE_DIR");
    return env.isEmpty() ? QString(ZAMFU_SOURCE_DIR_FALLBACK) : QString::fromLocal8Bit(env);
}
