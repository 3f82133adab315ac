// The window: start-up, init, formation, zoom, message line, quit, help; documents through
// the dialogs and drops; copy, paste, duplicate, stacking and the image buttons.
#include "document.h"
#include "drawobject.h"
#include "imagestore.h"
#include "mainwindow.h"
#include "seamtestcase.h"
#include "ui_mainwindow.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QMimeData>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

class TstMainWindow : public SeamTestCase
{
    Q_OBJECT
    QTemporaryDir dir;

    // Boxes on one page at the given x, selected in that order.
    static QList<DrawObject*> place(MainWindow& w, int area, const QList<int>& xs)
    {
        QList<DrawObject*> objs;
        for (int x : xs) {
            objs << new DrawObject(x, 10, 40, 30);
            w.mListArea[area]->append(objs.last());
            w.selectObject(objs.size() == 1 ? "new" : "add", objs.last(), false);
        }
        return objs;
    }
    static QList<int> xs(const QList<DrawObject*>& objs)
    {
        QList<int> out;
        for (DrawObject* o : objs)
            out << o->x;
        return out;
    }
    static bool drop(MainWindow& w, const QUrl& url)
    {
        QMimeData data;
        data.setUrls({url});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QDropEvent ev(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&w, &enter);
        QCoreApplication::sendEvent(&w, &ev);
        return enter.isAccepted();
    }

private slots:
    void startupInitShellAndDocumentDialogs()
    {
        MainWindow w;
        QCOMPARE(w.ui->tabwgtMain->tabText(0) + w.ui->lblMsg->text(), QString("8-1本折り/左開き(横書用)"));
        QVERIFY(w.ui->tab0->size() == QSize(560, 397) && w.ui->txtText->font().pointSize() == 12);

        // init empties everything, resets the panel and leaves link mode.
        place(w, 1, {30});
        w.actionCopy();
        w.on_btnCopyObj_clicked();
        QCOMPARE(w.ui->spnX->value(), 30);
        w.TextLinkCruiseStart();
        w.init();
        QVERIFY(w.mListArea[0]->isEmpty() && w.mListArea[1]->isEmpty() && w.mListSelected.isEmpty());
        QVERIFY(w.mListClipboard.isEmpty() && w.mListUndo.isEmpty());
        QVERIFY(!w.ui->wgtObj->isEnabled() && w.mPointerMode == POINTER_IDLE && w.ui->spnX->value() == 0);
        QCOMPARE(w.ui->lblMsg->text(), QString("本折り/左開き(横書用)"));

        // Zoom twice back to the same size and tab, message line, quit, help.
        w.ui->tabwgtMain->setCurrentIndex(2);
        w.on_btnZoom_clicked();
        QVERIFY(w.ui->lblZoom->text() == "x2" && w.ui->tab0->size() == QSize(1120, 794) && w.getCurrentArea() == 2);
        w.on_btnZoom_clicked();
        QVERIFY(w.ui->lblZoom->text() == "x1" && w.ui->tab0->size() == QSize(560, 397) && w.getCurrentArea() == 2);
        w.displayMessage("", "#fff", "#f63"); // empty, not null: shown as it is
        QCOMPARE(w.ui->lblMsg->text() + w.ui->lblMsg->styleSheet(), QString("color: #fff;background-color: #f63;border-radius: 5px;"));

        seam->questionAnswers << QMessageBox::No << QMessageBox::Yes;
        QCloseEvent no, yes;
        QApplication::sendEvent(&w, &no);
        QApplication::sendEvent(&w, &yes);
        QVERIFY(!no.isAccepted() && yes.isAccepted() && seam->log.last() == "question|終了|Zamfuを終了しますか？");
        w.on_btnHelp_clicked(); // a copy of the page in the user's own folder
        const QString url = seam->log.last().section('|', 1, 1);
        QVERIFY2(url.endsWith("/zamfu/help.html") && !url.contains(QDir::tempPath()), qPrintable(url));
        QVERIFY(QFile(QUrl(url).toLocalFile()).size() > 100);

        // Save, open and new through their dialogs.
        place(w, 2, {1});
        seam->fileAnswers << dir.path() + "/book";
        w.on_btnSave_clicked();
        const QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) + "/新しいファイル.xml";
        QCOMPARE(seam->log.last(), "save|保存|" + QDir::toNativeSeparators(docs));
        w.on_btnOpen_clicked(); // cancelled: nothing happens
        QCOMPARE(seam->log.last(), "open|開く|" + QDir::toNativeSeparators(dir.path() + "/book.xml"));
        QCOMPARE(w.mListArea[2]->size(), 1);

        // Opening replaces objects, settings, tabs and clipboard, and shows edit area 0.
        DocumentSettings s;
        s.pageMax = 4, s.pageDirection = "right";
        DrawObject o(30, 40, 50, 60);
        QVERIFY(Document::save(dir.path() + "/four.XML", s, {{}, {&o}, {}, {}}));
        w.actionCopy();
        w.ui->tabwgtMain->setCurrentIndex(2);
        seam->fileAnswers << dir.path() + "/four.XML";
        w.on_btnOpen_clicked();
        QVERIFY(w.mListArea[2]->isEmpty() && w.mListClipboard.isEmpty() && !QApplication::overrideCursor());
        QVERIFY(w.mListArea[1]->at(0)->w == 50 && w.getCurrentArea() == 0 && w.ui->tabwgtMain->count() == 2);
        QVERIFY(w.ui->tabwgtMain->tabText(1) == "3-2" && w.ui->tabwgtMain->layoutDirection() == Qt::RightToLeft);
        QCOMPARE(Setting::SaveFile + w.getImageDir(), "four.XML" + dir.path() + "/dummy.jpg");

        seam->questionAnswers << QMessageBox::No;
        w.on_btnNew_clicked();
        QVERIFY(w.mListArea[1]->size() == 1 && seam->log.last() == "question|最初から|すべてクリアされます。よろしいですか？");
        w.on_btnNew_clicked(); // Yes
        QVERIFY(w.mListArea[1]->isEmpty());
    }

    void fileDialogsShowTypeNamesAndHelpWithoutBrowser()
    {
        // The real dialogs, closed from inside their own event loop: the type
        // box names the type without its pattern.
        UiSeam::install(nullptr);
        MainWindow w;
        QStringList types;
        QTimer poll;
        poll.setInterval(20);
        connect(&poll, &QTimer::timeout, [&types] {
            if (auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
                types << d->findChild<QComboBox*>("fileTypeCombo")->currentText();
                d->reject();
            }
        });
        poll.start();
        w.on_btnOpen_clicked();
        w.on_btnSave_clicked();
        poll.stop();
        QCOMPARE(types, QStringList({"XML", "XML"}));

        // Without a browser the help says where its page lies.
        seam = ScriptedSeam::install();
        seam->urlOpens = false;
        w.on_btnHelp_clicked();
        QVERIFY(seam->log.size() == 2 && seam->log.last().startsWith("information|ヘルプ|"));
        const QString url = seam->log.first().section('|', 1, 1);
        QVERIFY2(seam->log.last().endsWith(QDir::toNativeSeparators(QUrl(url).toLocalFile())), qPrintable(seam->log.last()));
    }

    void badFilesAndDropsKeepDocument()
    {
        QFile bad(dir.path() + "/bad.xml");
        QVERIFY(bad.open(QIODevice::WriteOnly) && bad.write("<orihon><page_max>4</page_max><page_area><obj>") && bad.flush());
        MainWindow w;
        DrawObject* keep = place(w, 0, {5}).first();
        w.on_btnCopyObj_clicked(); // some undo history
        QVERIFY(!w.fileOpen(dir.path() + "/bad.xml") && !w.fileOpen(dir.path() + "/missing.xml"));
        QVERIFY(drop(w, QUrl::fromLocalFile(dir.path() + "/p.png")) && drop(w, QUrl("https://example.invalid/b.xml")));
        const QString invalid = "warning|開く|ファイル形式が無効です。";
        QCOMPARE(seam->log, (QStringList{invalid, invalid, invalid, invalid}));
        QVERIFY(!w.fileSave(dir.path() + "/no/such/x.xml") && seam->log.last().startsWith("warning|保存|"));
        QVERIFY(w.mListArea[0]->size() == 2 && w.mListArea[0]->first() == keep && w.mListUndo.size() == 1);
        QVERIFY(Setting::PageMax == 8 && Setting::SaveDir.isEmpty());

        QVERIFY(w.fileSave(dir.path() + "/ok.xml"));
        QVERIFY(drop(w, QUrl::fromLocalFile(dir.path() + "/ok.xml")) && w.mListUndo.isEmpty() && w.mListArea[0]->size() == 2);
    }

    void copyPasteDuplicateAndStack()
    {
        MainWindow w;
        place(w, 0, {200, 100});
        w.actionCopy();
        w.on_btnDelObj_clicked(); // the clipboard keeps its own copies
        w.ui->tabwgtMain->setCurrentIndex(1);
        const int undoBefore = w.mListUndo.size();
        w.actionPaste();
        w.actionPaste();
        QVERIFY(w.mListUndo.size() == undoBefore + 2 && xs(*w.mListArea[1]) == QList<int>({205, 105, 205, 105}));
        QVERIFY(w.mListArea[0]->isEmpty() && w.mListArea[1]->at(3)->y == 15 && w.mListSelected == w.mListArea[1]->mid(2));

        // Duplicates land on the other half of the spread (W = 560); copies from
        // another page keep their x.
        w.ui->tabwgtMain->setCurrentIndex(0);
        const QList<DrawObject*> src = place(w, 0, {300, 100, 280});
        w.on_btnCopyObj_clicked();
        QCOMPARE(xs(w.mListArea[0]->mid(3)), (QList<int>{20, 380, 0}));
        w.selectObject("new", src[0], false);
        w.ui->tabwgtMain->setCurrentIndex(2);
        w.on_btnCopyObj_clicked();
        QCOMPARE(xs(*w.mListArea[2]), QList<int>{300});

        // Stacking a selection of two: the last selected ends uppermost, or lowest.
        w.ui->tabwgtMain->setCurrentIndex(0);
        w.selectObject("new", src[1], false);
        w.selectObject("add", src[0], false);
        QMetaObject::invokeMethod(&w, "on_spnZ_valueChanged", Q_ARG(int, -1));
        QCOMPARE(w.mListArea[0]->mid(4), (src.mid(1, 1) + src.mid(0, 1)));
        QMetaObject::invokeMethod(&w, "on_spnZ_valueChanged", Q_ARG(int, 0));
        QCOMPARE(w.mListArea[0]->mid(0, 2), src.mid(0, 2));

        // The image buttons: one undoable command over the whole selection.
        const QString png = dir.path() + "/p.png";
        QImage(3, 3, QImage::Format_RGB32).save(png);
        w.selectObject("add", w.mListArea[2]->first(), false);
        seam->fileAnswers << png;
        const int before = w.mListUndo.size();
        w.on_btnImg_clicked();
        for (DrawObject* o : w.mListSelected)
            QVERIFY(o->imgPath == png && o->img && o->img->usable());
        QCOMPARE(Setting::ImageDir, dir.path());
        w.on_btnImgDel_clicked();
        QVERIFY(w.mListUndo.size() == before + 2 && w.mListSelected.last()->imgPath.isEmpty());
    }

};

QTEST_MAIN(TstMainWindow)
#include "tst_mainwindow.moc"
