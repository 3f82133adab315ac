#ifndef TESTSCRIPT_H
#define TESTSCRIPT_H

#include <QObject>
#include <QStringList>

class MainWindow;

// Lets an end-to-end test drive the real program: ZAMFU_TEST_SCRIPT names a
// file of lines worked through once the window shows, one per turn of the
// event loop. Built only with ZAMFU_TEST_HOOKS (a test build); otherwise
// fromEnvironment() always gives nullptr.
//
//   answer yes|no|save|discard|cancel   queued for the questions, in order
//   file PATH                           queued for the file dialogs
//   click WIDGET | value WIDGET N | index WIDGET N | text WIDGET TEXT  (\n: line break)
//   call SLOT                           a slot of the window without arguments
//   snapshot PATH                       the document, image paths absolute
//   report PATH                         title, file, modified mark, questions asked
//   quit                                closes the window
//
// Answers and files are queued before the window shows, so the recovery
// offer at start-up takes the first answer.
class TestScript : public QObject
{
    Q_OBJECT

public:
    // Installs the answering seam at once; nullptr when no script is set.
    static TestScript* fromEnvironment(MainWindow* window);
    void start();

private:
    TestScript(MainWindow* window, const QStringList& actions);
    void next();
    bool run(const QString& line);

    MainWindow* mWindow;
    QStringList mActions;
};

#endif
