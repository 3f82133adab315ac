#include "appdata.h"
#include "cli.h"
#include "highdpi.h"
#include "mainwindow.h"
#include "testscript.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char* argv[])
{
    bool cliHandled = false;
    QString path; // the document to open; "--" lets its name start with "-"
    const int cliCode = runCommandLine(argc, argv, &cliHandled, &path); // exports, --help, --version, errors
    if (cliHandled)
        return cliCode;
    enableHighDpiScaling();
    QApplication app(argc, argv);
    QApplication::setApplicationVersion(ZAMFU_VERSION);
    // Ties the window to the installed menu entry and its icon.
    QGuiApplication::setDesktopFileName("io.github.zamfu.Zamfu");
    QApplication::setWindowIcon(QIcon(":/icons/zamfu.png"));

    // Qt's own dialog texts: a translations/ folder beside the working
    // directory first, then the copy installed with the program, then Qt's.
    QTranslator translator;
    const QString name = "qtbase_" + QLocale::system().name();
    const QString installed = AppData::translationsDir();
    if (translator.load("translations/" + name) || (!installed.isEmpty() && translator.load(name, installed))
        || translator.load(name, QLibraryInfo::location(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&translator);

    MainWindow w;
    TestScript* script = TestScript::fromEnvironment(&w); // test builds only
    // Work an editor lost comes first; a restored copy stays the open document.
    w.enableRecovery(RecoveryStore::defaultDir());
    if (!w.offerRecovery() && !path.isEmpty())
        w.fileOpen(path);
    w.show();
    if (script)
        script->start();
    return app.exec();
}
