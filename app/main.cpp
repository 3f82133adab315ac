#include "cli.h"
#include "mainwindow.h"
#include "testscript.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char* argv[])
{
    bool cliHandled = false;
    const int cliCode = runCommandLine(argc, argv, &cliHandled); // --export-pdf, --help
    if (cliHandled)
        return cliCode;
    QApplication app(argc, argv);

    // Qt's own dialog texts: a translations/ folder beside the working
    // directory first, then Qt's installed translations.
    QTranslator translator;
    const QString locale = QLocale::system().name();
    if (translator.load("translations/qtbase_" + locale)
        || translator.load("qtbase_" + locale, QLibraryInfo::location(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&translator);

    const QString path = argc >= 2 ? QString::fromLocal8Bit(argv[1]) : QString();

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
