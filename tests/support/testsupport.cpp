#include "testsupport.h"

#include "document.h"
#include "setting.h"
#include "sheet.h"

#include <QAction>
#include <QDialog>
#include <QFile>
#include <QMenu>
#include <QPainter>
#include <QProcess>

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

QString zamfuBinary()
{
#ifdef QT_TESTCASE_BUILDDIR
    if (qEnvironmentVariableIsEmpty("ZAMFU_BINARY"))
        return QT_TESTCASE_BUILDDIR "/zamfu";
#endif
    return qEnvironmentVariable("ZAMFU_BINARY");
}

QImage renderedPdf(const QString& pdf, int dpi)
{
    const auto [code, out, err] =
        runProgram("pdftoppm", {"-r", QString::number(dpi), "-f", "1", "-l", "1", "-png", "-singlefile", pdf, pdf});
    return code == 0 ? QImage(pdf + ".png") : QImage();
}

QImage editorView(const QString& document, int area)
{
    DocumentContent content;
    if (!Document::read(document, &content))
        return QImage();
    content.settings.applyToSetting();
    _EDITAREA_W_PX = 560, _EDITAREA_H_PX = 397;
    QImage view(560, 397, QImage::Format_RGB32);
    view.fill(Qt::white);
    QPainter p(&view);
    QList<QList<DrawObject*>*> lists;
    for (QList<DrawObject*>& objects : content.areas)
        lists << &objects;
    Sheet::render(&p, Sheet::Context::fromSettings(1.0, false), area, 0, lists);
    return view;
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

ProgramRun runProgram(const QString& program, const QStringList& args, const QString& workDir,
                      const QProcessEnvironment& env)
{
    QProcess p;
    p.setProcessEnvironment(env);
    if (!workDir.isEmpty())
        p.setWorkingDirectory(workDir);
    p.start(program, args);
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit)
        return {-1, QString(), program + " did not run: " + p.errorString()};
    return {p.exitCode(), QString::fromLocal8Bit(p.readAllStandardOutput()), QString::fromLocal8Bit(p.readAllStandardError())};
}

double meanDifference(const QImage& a, const QImage& b)
{
    const int w = qMin(a.width(), b.width()), h = qMin(a.height(), b.height());
    double sum = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            sum += qAbs(qRed(p) - qRed(q)) + qAbs(qGreen(p) - qGreen(q)) + qAbs(qBlue(p) - qBlue(q));
        }
    return w > 0 && h > 0 ? sum / (3.0 * w * h) : 0;
}
