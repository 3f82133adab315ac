// Unsaved changes: the modified mark and title, and the save prompt before
// quitting, New, Open and a drop, answered every way.
#include "document.h"
#include "editorfixture.h"

#include <QCloseEvent>
#include <QMimeData>
#include <QTemporaryDir>

namespace {

const QString SAVE_PROMPT = "ask|保存|変更を保存しますか？";

QString title(const QString& name)
{
    return name + "[*] - Zamfu ver0.7.1";
}

}

class TstUnsaved : public QObject
{
    Q_OBJECT
    QTemporaryDir mDir;

    QString saved(const QString& name, int x)
    {
        DrawObject o(x, 10, 50, 50);
        const QString path = mDir.filePath(name);
        return Document::save(path, DocumentSettings(), {{&o}, {}, {}, {}}) ? path : QString();
    }
    static int firstX(const QString& path)
    {
        DocumentContent c;
        return Document::read(path, &c) && !c.areas[0].isEmpty() ? c.areas[0][0]->x : -1;
    }

private slots:
    void markFollowsHistoryAndSavedPoint()
    {
        Editor f;
        MainWindow& w = f.w;
        QVERIFY(!w.isWindowModified() && w.windowTitle() == title("無題") && w.windowFilePath().isEmpty());

        // Loading objects and selecting them is no change.
        DrawObject* a = f.place(0, 10);
        DrawObject* b = f.place(0, 300);
        f.select({a, b});
        f.press({40, 30}), f.release({40, 30});
        QVERIFY(!w.isWindowModified());

        // Saving moves the clean point and names the window.
        f.ui->spnY->setValue(80);
        QVERIFY(w.isWindowModified());
        const QString path = mDir.filePath("mark");
        QVERIFY(w.fileSave(path));
        QVERIFY(!w.isWindowModified() && w.windowTitle() == title("mark.xml") && w.windowFilePath() == path + ".xml");

        // A drag is one step, however many moves it took.
        f.select({a});
        const QPoint p = Editor::rect(a).center();
        f.press(p), f.move(p + QPoint(10, 10)), f.move(p + QPoint(20, 25)), f.release(p + QPoint(20, 25));
        QVERIFY(a->x == 30 && w.isWindowModified());
        w.undo();
        QVERIFY(a->x == 10 && !w.isWindowModified());

        // What undo cannot take back keeps the document modified until saved:
        // a link, changed settings.
        f.ui->spnX->setValue(12);
        w.TextLinkInsertObj(b);
        w.undo(); // the x change only
        QVERIFY(a->textLinkList && w.isWindowModified());
        QVERIFY(w.fileSave(path));
        f.seam->onDialog = [](QDialog*) { return int(QDialog::Accepted); };
        w.on_btnSetting_clicked(); // accepted unchanged
        QVERIFY(!w.isWindowModified());
        f.seam->onDialog = [](QDialog*) { return Setting::PaperMargin = 9, int(QDialog::Accepted); };
        w.on_btnSetting_clicked();
        QVERIFY(w.isWindowModified());

        // An image is a change; New and Open start clean.
        f.select({b});
        f.run(CMD_OBJ_IMG_PATH_CHANGE, "/nonexistent/zamfu/p.png", {b});
        f.seam->questionAnswers << QMessageBox::Discard;
        w.on_btnNew_clicked();
        QVERIFY(!w.isWindowModified() && w.windowTitle() == title("無題") && w.mListArea[0]->isEmpty());
        QVERIFY(w.fileOpen(path + ".xml") && !w.isWindowModified() && w.windowTitle() == title("mark.xml"));
    }

    void promptBeforeReplacingWork_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("answer");
        for (const QString action : {"quit", "new", "open", "drop"})
            for (const QString answer : {"save", "save as", "save fails", "discard", "cancel"})
                QTest::newRow(qPrintable(action + "/" + answer)) << action << answer;
    }

    void promptBeforeReplacingWork()
    {
        QFETCH(QString, action);
        QFETCH(QString, answer);
        Editor f;
        MainWindow& w = f.w;
        const QString tag = QString(QTest::currentDataTag()).replace('/', '-').replace(' ', '-');
        const QString book = saved(tag + "-book.xml", 10);
        const QString other = saved(tag + "-other.xml", 99);
        if (answer == "save") {
            QVERIFY(w.fileOpen(book)); // bound to its file: saved there without a dialog
            f.select({w.mListArea[0]->first()});
        } else {
            DrawObject* o = f.place(0, 10); // never saved: Save asks where
            f.select({o});
        }
        f.ui->spnX->setValue(42);
        const QString target = answer == "save fails" ? mDir.filePath("missing/x.xml") : mDir.filePath(tag + "-new.xml");
        if (answer.startsWith("save")) {
            f.seam->questionAnswers << QMessageBox::Save;
            if (answer != "save")
                f.seam->fileAnswers << target;
        } else {
            f.seam->questionAnswers << (answer == "discard" ? QMessageBox::Discard : QMessageBox::Cancel);
        }
        if (action == "open")
            f.seam->fileAnswers << other;

        bool closed = false;
        if (action == "quit") {
            QCloseEvent e;
            QApplication::sendEvent(&w, &e);
            closed = e.isAccepted();
        } else if (action == "new") {
            w.on_btnNew_clicked();
        } else if (action == "open") {
            w.on_btnOpen_clicked();
        } else {
            QMimeData data;
            data.setUrls({QUrl::fromLocalFile(other)});
            QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QDropEvent e(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(&w, &enter);
            QApplication::sendEvent(&w, &e);
            QCoreApplication::processEvents(); // the prompt comes once the drop is over
        }

        QCOMPARE(f.seam->log.value(0), SAVE_PROMPT); // instead of the general question
        const bool goesOn = answer == "save" || answer == "save as" || answer == "discard";
        if (answer == "save")
            QCOMPARE(firstX(book), 42);
        if (answer == "save as")
            QCOMPARE(firstX(target), 42);
        if (answer == "save fails")
            QVERIFY(f.seam->log.last().startsWith("warning|保存|"));
        if (!goesOn) {
            // Nothing happened: same document, still modified, not closed.
            QVERIFY(!closed && w.mListArea[0]->size() == 1 && w.mListArea[0]->first()->x == 42 && w.isWindowModified());
            QVERIFY(!f.seam->log.join(' ').contains("open|"));
            return;
        }
        if (action == "quit")
            QVERIFY(closed);
        if (action == "new")
            QVERIFY(w.mListArea[0]->isEmpty() && !w.isWindowModified());
        if (action == "open" || action == "drop")
            QVERIFY(w.mListArea[0]->first()->x == 99 && w.windowFilePath() == other && !w.isWindowModified());
    }
};

QTEST_MAIN(TstUnsaved)
#include "tst_unsaved.moc"
