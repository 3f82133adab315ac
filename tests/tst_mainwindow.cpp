// The window: quit, opening, New, help; bad files and drops; copy, paste,
// duplicate, stacking and page numbers. The settings dialog: controls that
// depend on the page count, the refused formations, the sheet colour, and
// what OK stores.
#include "document.h"
#include "editorfixture.h"
#include "pagenumbers.h"
#include "seamtestcase.h"
#include "settingdialog.h"
#include "ui_settingdialog.h"

#include <QCloseEvent>
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

        // Quit asks first.
        seam->questionAnswers << QMessageBox::No << QMessageBox::Yes;
        QCloseEvent no, yes;
        QApplication::sendEvent(&w, &no);
        QApplication::sendEvent(&w, &yes);
        QVERIFY(!no.isAccepted() && yes.isAccepted() && seam->log.last() == "question|終了|Zamfuを終了しますか？");

        // Opening replaces objects, settings, tabs and clipboard, and shows edit area 0.
        place(w, 2, {1});
        DocumentSettings s;
        s.pageMax = 4, s.pageDirection = "right";
        DrawObject o(30, 40, 50, 60);
        QVERIFY(Document::save(dir.path() + "/four.XML", s, {{}, {&o}, {}, {}}));
        w.actionCopy();
        w.ui->tabwgtMain->setCurrentIndex(2);
        seam->fileAnswers << dir.path() + "/four.XML";
        w.on_btnOpen_clicked();
        QVERIFY(w.mListArea[2]->isEmpty() && w.mListClipboard.isEmpty() && !QApplication::overrideCursor());
        QVERIFY(w.mListArea[1]->at(0)->w == 50 && w.getCurrentArea() == 0 && w.ui->tabwgtMain->tabText(1) == "3-2");
        QCOMPARE(Setting::SaveFile + w.getImageDir(), "four.XML" + dir.path() + "/dummy.jpg");

        // New empties everything, resets the panel and leaves link mode.
        seam->questionAnswers << QMessageBox::No;
        w.on_btnNew_clicked();
        QVERIFY(w.mListArea[1]->size() == 1 && seam->log.last() == "question|最初から|すべてクリアされます。よろしいですか？");
        place(w, 1, {30});
        w.actionCopy();
        w.on_btnCopyObj_clicked();
        w.TextLinkCruiseStart();
        seam->questionAnswers << QMessageBox::Discard; // the unsaved copy
        w.on_btnNew_clicked();
        QVERIFY(w.mListArea[1]->isEmpty() && w.mListSelected.isEmpty() && w.mListClipboard.isEmpty() && w.mListUndo.isEmpty());
        QVERIFY(!w.ui->wgtObj->isEnabled() && w.mPointerMode == POINTER_IDLE && w.ui->spnX->value() == 0);
        QCOMPARE(w.ui->lblMsg->text(), QString("本折り/右開き(縦書用)")); // no link prompt left over

        // The help is a copy of its page in the user's own folder; without a
        // browser a message says where it lies.
        seam = ScriptedSeam::install();
        seam->urlOpens = false;
        w.on_btnHelp_clicked();
        const QString url = seam->log.first().section('|', 1, 1);
        QVERIFY2(url.endsWith("/zamfu/help.html") && !url.contains(QDir::tempPath()), qPrintable(url));
        QVERIFY(QFile(QUrl(url).toLocalFile()).size() > 100 && seam->log.size() == 2 && seam->log.last().startsWith("information|ヘルプ|"));
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
        QVERIFY(w.mListArea[1]->at(3)->y == 15 && w.mListSelected == w.mListArea[1]->mid(2));

        // Duplicates land on the other half of the spread (W = 560).
        w.ui->tabwgtMain->setCurrentIndex(0);
        const QList<DrawObject*> src = place(w, 0, {300, 100, 280});
        w.on_btnCopyObj_clicked();
        QCOMPARE(xs(w.mListArea[0]->mid(3)), (QList<int>{20, 380, 0}));

        // Stacking a selection of two: the last selected ends uppermost, or lowest.
        w.selectObject("new", src[1], false);
        w.selectObject("add", src[0], false);
        QMetaObject::invokeMethod(&w, "on_spnZ_valueChanged", Q_ARG(int, -1));
        QCOMPARE(w.mListArea[0]->mid(4), (src.mid(1, 1) + src.mid(0, 1)));
        QMetaObject::invokeMethod(&w, "on_spnZ_valueChanged", Q_ARG(int, 0));
        QCOMPARE(w.mListArea[0]->mid(0, 2), src.mid(0, 2));
    }

    void pageNumbersPerFormationAndFromTheButton()
    {
        // Margins no page can hold keep the numbers on the page, without overflow.
        for (int margin : {110, INT_MAX, INT_MIN})
            QCOMPARE(PageNumbers::boxes(8, "left", 560, 397, margin).first().y, margin == INT_MIN ? 377 : 0);

        // The header button places them all in one undoable step, on top.
        Editor e;
        e.box(5, 5, 10, 10, 2);
        QTest::mouseClick(e.ui->btnPageNum, Qt::LeftButton);
        DrawObject* seven = e.w.getAreaObjects(3)->last(); // on top of what was there
        QCOMPARE(seven->text + QString::number(e.w.getAreaObjects(2)->size()), QString("- 7 -3"));
        QCOMPARE(Editor::rect(seven), QRect(385, 358, 70, 20));
        e.w.undo();
        QVERIFY(e.w.getAreaObjects(0)->isEmpty() && e.w.getAreaObjects(3)->isEmpty() && e.w.getAreaObjects(2)->size() == 1);
    }

    void loadsAndStoresEverySetting()
    {
        Setting::PaperSize = "B5", Setting::PaperMargin = 12, Setting::PageForm = "slim", Setting::PageDirection = "jabara-right";
        Setting::PageFoldLine = "line2", Setting::EditAreaPattern = "mesh", Setting::PageColor = QColor(1, 2, 3, 4);
        Setting::PrinterName = "a printer that was unplugged";
        SettingDialog d;
        // The colour keeps its alpha.
        seam->colorAnswers << QColor(200, 100, 50, 77);
        d.ui->btnPaperColor->click();

        // OK stores back every setting it loaded; the vanished printer becomes the default.
        d.ui->btnOk->click();
        QCOMPARE(QStringList({Setting::PaperSize, QString::number(Setting::PaperMargin), Setting::PageForm,
                              Setting::PageDirection, Setting::PageFoldLine, Setting::EditAreaPattern, Setting::PrinterName}),
                 QStringList({"B5", "12", "slim", "jabara-right", "line2", "mesh", ""}));
        QVERIFY(d.result() == QDialog::Accepted && Setting::PageColor == QColor(200, 100, 50, 77));
    }

    void settingsFollowThePageCount()
    {
        Setting::PageMax = 4, Setting::PageOrientation = "landscape";
        SettingDialog d;
        // 8 pages: upright forced, slim offered; back to 4: orientation back, slim off.
        d.ui->cmbPageMax->setCurrentText("8");
        d.ui->radSlimOn->click();
        QVERIFY(d.ui->cmbPageOrientation->isHidden() && d.ui->cmbPageOrientation->currentIndex() == 0 && d.ui->radSlimOn->isChecked());
        d.ui->cmbPageMax->setCurrentText("4");
        QVERIFY(!d.ui->cmbPageOrientation->isHidden() && d.ui->radSlimOff->isChecked() && d.ui->lblFinalSize->text() == "A6");
        // Folds four pages cannot take are refused, and nothing is stored.
        d.ui->cmbPaperSize->setCurrentText("B4");
        d.ui->cmbPageDirection->setCurrentIndex(2); // gatefold
        d.ui->btnOk->click();
        QVERIFY(d.result() == QDialog::Rejected && Setting::PaperSize == "A4");
        QCOMPARE(seam->log.last(), QString("information|設定確認|4ページ構成の時、観音折り・蛇腹折りはできません。"));

        // 1 page: no formation and no fold lines, both reset, and OK stores them reset.
        d.ui->cmbPageDirection->setCurrentIndex(1);
        d.ui->cmbFoldLine->setCurrentIndex(1);
        d.ui->cmbPageMax->setCurrentText("1");
        QVERIFY(d.ui->cmbPageDirection->isHidden() && d.ui->lblFoldLine->isHidden());
        Setting::PageDirection = "right";
        d.ui->btnOk->click();
        QCOMPARE(QString("%1 %2 %3").arg(Setting::PageMax).arg(Setting::PageDirection, Setting::PageFoldLine),
                 QString("1 left none"));
    }

};

QTEST_MAIN(TstMainWindow)
#include "tst_mainwindow.moc"
