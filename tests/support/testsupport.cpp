#include "testsupport.h"

#include <QAction>
#include <QDialog>
#include <QFile>
#include <QMenu>

QAction* ScriptedSeam::execMenu(QMenu* menu, const QPoint&)
{
    menuSeen.clear();
    for (QAction* a : menu->actions())
        if (!a->isSeparator())
            menuSeen << a->text();
    log << "menu|" + menuSeen.join(",") + "|";
    const QString want = menuChoices.isEmpty() ? QString() : menuChoices.takeFirst();
    for (QAction* a : menu->actions())
        if (!want.isEmpty() && a->text() == want && a->isEnabled())
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

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QRect inkBounds(const QImage& image, const std::function<bool(const QColor&)>& match)
{
    QRect r;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (match(image.pixelColor(x, y)))
                r |= QRect(x, y, 1, 1);
    return r;
}
