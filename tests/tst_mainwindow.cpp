// The window: start-up, init, formation, zoom, message line, quit, help; documents through
// the dialogs and drops; copy, paste, duplicate, stacking, the image buttons and
// page numbers. The settings dialog: loading, controls that depend on the page
// count, the refused formations, the sheet colour, and what OK stores and rebuilds.
#include "document.h"
#include "editorfixture.h"
#include "imagestore.h"
#include "pagenumbers.h"
#include "seamtestcase.h"
#include "settingdialog.h"
#include "ui_settingdialog.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QMimeData>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

static QString placed(int pages, const QString& direction, int W, int H, int margin)
{
    QStringList out;
    for (const PageNumbers::Slot& s : PageNumbers::boxes(pages, direction, W, H, margin))
        out << QString("%1@%2:%3,%4").arg(s.label).arg(s.area).arg(s.x).arg(s.y);
    return out.join(" ");
}

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

        // init empties everything, resets the panel and leaves link mode.
        place(w, 1, {30});
        w.actionCopy();
        w.on_btnCopyObj_clicked();
        QCOMPARE(w.ui->spnX->value(), 30);
        w.TextLinkCruiseStart();
        w.init();
        QVERIFY(w.mListArea[1]->isEmpty() && w.mListSelected.isEmpty() && w.mListClipboard.isEmpty() && w.mListUndo.isEmpty());
        QVERIFY(!w.ui->wgtObj->isEnabled() && w.mPointerMode == POINTER_IDLE && w.ui->spnX->value() == 0);
        QCOMPARE(w.ui->lblMsg->text(), QString("本折り/左開き(横書用)"));

        // Zoom twice back to the same size and tab, message line, quit, help.
        w.ui->tabwgtMain->setCurrentIndex(2);
        for (const int zoom : {2, 1}) {
            w.on_btnZoom_clicked();
            QVERIFY(w.ui->lblZoom->text() == QString("x%1").arg(zoom) && w.ui->tab0->size() == QSize(560, 397) * zoom && w.getCurrentArea() == 2);
        }
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

    void pageNumbersPerFormationAndFromTheButton()
    {
        QCOMPARE(placed(8, "left", 560, 397, 5), QString("- 8 -@0:105,358 - 1 -@0:385,358 - 2 -@1:105,358 "
                                                         "- 3 -@1:385,358 - 4 -@2:105,358 - 5 -@2:385,358 "
                                                         "- 6 -@3:105,358 - 7 -@3:385,358"));
        QCOMPARE(placed(4, "jabara-right", 560, 397, 10),
                 QString("- 4 -@0:385,339 - 1 -@0:105,339 - 2 -@1:385,339 - 3 -@1:105,339"));
        QCOMPARE(placed(1, "left", 794, 1122, 0), QString("- 1 -@0:362,1102"));
        QCOMPARE(placed(3, "left", 560, 397, 5), QString());
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
        QVERIFY(seven->textSize == 10 && seven->textAlign == 132 && !seven->textMargin && !seven->bgColorEnabled);
        e.w.undo();
        for (int a = 0; a < 4; ++a)
            QCOMPARE(e.w.getAreaObjects(a)->size(), a == 2 ? 1 : 0);
    }

    void loadsAndStoresEverySetting()
    {
        Setting::PaperSize = "B5", Setting::PaperMargin = 12, Setting::PageForm = "slim", Setting::PageDirection = "jabara-right";
        Setting::PageFoldLine = "line2", Setting::EditAreaPattern = "mesh", Setting::PageColor = QColor(1, 2, 3, 4);
        Setting::PrinterName = "a printer that was unplugged";
        SettingDialog d;
        QVERIFY(d.ui->radSlimOn->isChecked() && d.ui->radMeshOn->isChecked() && d.ui->lblFinalSize->text() == "B8（スリム型）");
        QVERIFY(d.ui->cmbPrinter->itemText(0) == "（デフォルト）" && d.ui->cmbPrinter->currentIndex() == -1);
        // The colour keeps its alpha; a colour dialog closed without a choice changes nothing.
        seam->colorAnswers << QColor(200, 100, 50, 77) << QColor();
        d.ui->btnPaperColor->click();
        d.ui->btnPaperColor->click();

        // OK keeps every other setting; the vanished printer becomes the default.
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
        QVERIFY(d.ui->cmbPageOrientation->currentIndex() == 1 && d.ui->radSlimOn->isHidden() && d.ui->lblSlim->isHidden());
        // 8 pages: upright forced, slim offered; back to 4: orientation back, slim off.
        d.ui->cmbPageMax->setCurrentText("8");
        QVERIFY(d.ui->cmbPageOrientation->isHidden() && d.ui->cmbPageOrientation->currentIndex() == 0 && !d.ui->radSlimOn->isHidden());
        d.ui->radSlimOn->click();
        QCOMPARE(d.ui->lblFinalSize->text(), QString("A7（スリム型）"));
        d.ui->cmbPageMax->setCurrentText("4");
        QVERIFY(!d.ui->cmbPageOrientation->isHidden() && d.ui->radSlimOff->isChecked() && d.ui->lblFinalSize->text() == "A6");

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

    void settingsRefuseFoldsWithFourPages()
    {
        SettingDialog d;
        d.ui->cmbPageMax->setCurrentText("4");
        d.ui->cmbPaperSize->setCurrentText("B4");
        for (int fold : {2, 5}) { // gatefold, accordion
            d.ui->cmbPageDirection->setCurrentIndex(fold);
            d.ui->btnOk->click();
            QCOMPARE(seam->log.last(), QString("information|設定確認|4ページ構成の時、観音折り・蛇腹折りはできません。"));
        }
        QVERIFY(d.result() == QDialog::Rejected && Setting::PageMax == 8 && Setting::PaperSize == "A4");
        d.ui->cmbPageDirection->setCurrentIndex(1);
        d.ui->btnOk->click();
        QVERIFY(d.result() == QDialog::Accepted && Setting::PageDirection == "right");
    }

    void windowAppliesFormation()
    {
        MainWindow w;
        w.ui->tabwgtMain->setCurrentIndex(2);
        seam->onDialog = [](QDialog* d) {
            auto* sd = static_cast<SettingDialog*>(d);
            sd->ui->cmbPageMax->setCurrentText("4");
            sd->ui->cmbPageOrientation->setCurrentIndex(1);
            sd->ui->btnOk->click();
            return sd->result();
        };
        w.on_btnSetting_clicked();
        QVERIFY(w.ui->tabwgtMain->count() == 2 && w.ui->tabwgtMain->currentIndex() == 0);
        QCOMPARE(QSize(_EDITAREA_W_PX, _EDITAREA_H_PX), QSize(1122, 397));
    }
};

QTEST_MAIN(TstMainWindow)
#include "tst_mainwindow.moc"
