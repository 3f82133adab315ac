// Unsaved changes: the modified mark and title, and the save prompt before
// quitting, New, Open and a drop, answered every way.
#include "document.h"
#include "documentstate.h"
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

        // What undo cannot take back keeps the document modified until saved:
        // a link, changed settings.
        f.select({a});
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

        // Saved in the middle of a drag: its rest is unsaved, whatever undo meets.
        DocumentState state;
        state.step(), state.markSaved(), state.amend();
        QVERIFY(state.isModified());
        const DocumentState::Id dragged = state.current();
        state.step(), state.reach(dragged);
        QVERIFY(state.isModified());
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
        // Bound to its file, saved there without a dialog; never saved, Save asks where.
        if (answer == "save")
            QVERIFY(w.fileOpen(book));
        else
            f.place(0, 10);
        f.select({w.mListArea[0]->first()});
        f.ui->spnX->setValue(42);
        const QString target = answer == "save fails" ? mDir.filePath("missing/x.xml") : mDir.filePath(tag + "-new.xml");
        f.seam->questionAnswers << (answer.startsWith("save") ? QMessageBox::Save : answer == "discard" ? QMessageBox::Discard : QMessageBox::Cancel);
        if (answer.startsWith("save "))
            f.seam->fileAnswers << target;
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
        if (answer == "save" || answer == "save as")
            QCOMPARE(firstX(answer == "save" ? book : target), 42);
        if (answer == "save fails")
            QVERIFY(f.seam->log.last().startsWith("warning|保存|"));
        if (answer == "save fails" || answer == "cancel") {
            // Nothing happened: same document, still modified, not closed.
            QVERIFY(!closed && w.mListArea[0]->size() == 1 && w.mListArea[0]->first()->x == 42 && w.isWindowModified());
            QVERIFY(!f.seam->log.join(' ').contains("open|"));
            return;
        }
        QVERIFY(action == "quit" ? closed : !w.isWindowModified());
        if (action == "new")
            QVERIFY(w.mListArea[0]->isEmpty());
        if (action == "open" || action == "drop")
            QVERIFY(w.mListArea[0]->first()->x == 99 && w.windowFilePath() == other);
    }
};

QTEST_MAIN(TstUnsaved)
#include "tst_unsaved.moc"
