// Unsaved changes: the modified mark and title, and the save prompt before
// quitting, New, Open and a drop, answered every way.
#include "document.h"
#include "documentstate.h"
#include "editorfixture.h"

#include <QCloseEvent>

class TstUnsaved : public QObject
{
    Q_OBJECT
    QTemporaryDir mDir;

private slots:
    void markFollowsHistoryAndSavedPoint()
    {
        Editor f;
        QVERIFY(!f.w.isWindowModified() && f.w.windowTitle() == "無題[*] - Zamfu ver0.7.1" && f.w.windowFilePath().isEmpty());

        // Saving moves the clean point and names the window.
        DrawObject* a = f.place(0, 10);
        DrawObject* b = f.place(0, 300);
        f.select({a});
        const QString path = mDir.filePath("mark");
        QVERIFY(f.w.fileSave(path));
        QVERIFY(!f.w.isWindowModified() && f.w.windowTitle() == "mark.xml[*] - Zamfu ver0.7.1" && f.w.windowFilePath() == path + ".xml");

        // What undo cannot take back keeps the document modified until saved:
        // a link, changed settings.
        f.ui->spnX->setValue(12);
        f.w.TextLinkInsertObj(b);
        f.w.undo(); // the x change only
        QVERIFY(a->textLinkList && f.w.isWindowModified());
        QVERIFY(f.w.fileSave(path));
        f.seam->onDialog = [](QDialog*) { return Setting::PaperMargin = 9, int(QDialog::Accepted); };
        f.w.on_btnSetting_clicked();
        QVERIFY(f.w.isWindowModified());

        // New starts clean.
        f.seam->questionAnswers << QMessageBox::Discard;
        f.w.on_btnNew_clicked();
        QVERIFY(!f.w.isWindowModified() && f.w.windowFilePath().isEmpty() && f.w.mListArea[0]->isEmpty());

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
        const QString tag = QString(QTest::currentDataTag()).replace('/', '-').replace(' ', '-');
        auto saved = [&](const QString& name, int x) {
            DrawObject o(x, 10, 50, 50);
            return Document::save(mDir.filePath(name), DocumentSettings(), {{&o}, {}, {}, {}}) ? mDir.filePath(name) : QString();
        };
        const QString book = saved(tag + "-book.xml", 10), other = saved(tag + "-other.xml", 99);
        // Bound to its file, saved there without a dialog; never saved, Save asks where.
        if (answer == "save")
            QVERIFY(f.w.fileOpen(book));
        else
            f.place(0, 10);
        f.select({f.w.mListArea[0]->first()});
        f.ui->spnX->setValue(42);
        const QString target = mDir.filePath(answer == "save fails" ? "missing/x.xml" : tag + "-new.xml");
        f.seam->questionAnswers << (answer.startsWith("save") ? QMessageBox::Save : answer == "discard" ? QMessageBox::Discard : QMessageBox::Cancel);
        if (answer.startsWith("save "))
            f.seam->fileAnswers << target;
        f.seam->fileAnswers << other; // for Open

        QCloseEvent close;
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(other)});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        if (action == "quit")
            QApplication::sendEvent(&f.w, &close);
        else if (action == "new")
            f.w.on_btnNew_clicked();
        else if (action == "open")
            f.w.on_btnOpen_clicked();
        else
            QApplication::sendEvent(&f.w, &enter), QApplication::sendEvent(&f.w, &drop);
        QCoreApplication::processEvents(); // a drop asks once it is over
        const bool closed = action == "quit" && close.isAccepted();

        QCOMPARE(f.seam->log.value(0), QString("ask|保存|変更を保存しますか？")); // instead of the general question
        if (answer == "save" || answer == "save as")
            QVERIFY(readFile(answer == "save" ? book : target).contains("<x>42</x>"));
        if (answer == "save fails" || answer == "cancel") {
            // Nothing happened: same document, still modified, not closed.
            QVERIFY(!closed && f.w.mListArea[0]->size() == 1 && f.w.mListArea[0]->first()->x == 42 && f.w.isWindowModified());
            QVERIFY(!f.seam->log.join(' ').contains("open|"));
            return;
        }
        QVERIFY(action == "quit" ? closed : !f.w.isWindowModified());
        if (action == "new")
            QVERIFY(f.w.mListArea[0]->isEmpty());
        if (action == "open" || action == "drop")
            QVERIFY(f.w.mListArea[0]->first()->x == 99 && f.w.windowFilePath() == other);
    }
};

QTEST_MAIN(TstUnsaved)
#include "tst_unsaved.moc"
