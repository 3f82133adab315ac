// The PDF layouts and page sizes as written, the print preview set-up, and
// the export flow: names, folders and failures.
#include "editarea.h"
#include "mainwindow.h"
#include "pdfdialog.h"
#include "outputfile.h"
#include "pdfexport.h"
#include "seamtestcase.h"
#include "sheet.h"
#include "ui_pdfdialog.h"

#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

// Default settings but for paper, pages, orientation and form.
static void setFormation(const QString& formation)
{
    Setting::resetDefaults();
    const QStringList f = formation.split(' ');
    Setting::PaperSize = f[0], Setting::PageMax = f[1].toInt(), Setting::PageOrientation = f[2], Setting::PageForm = f[3];
}

// Page sizes as the file states them, in whole millimetres.
static QString mediaBoxes(const QString& path)
{
    const QByteArray pdf = readFile(path);
    QStringList sizes;
    auto it = QRegularExpression("/MediaBox \\[0 0 ([\\d.]+) ([\\d.]+)\\]").globalMatch(QString::fromLatin1(pdf.data(), pdf.size()));
    while (it.hasNext()) {
        const auto m = it.next();
        sizes << QString("%1x%2").arg(qRound(m.captured(1).toDouble() * 25.4 / 72)).arg(qRound(m.captured(2).toDouble() * 25.4 / 72));
    }
    return sizes.join(' ');
}

class TstPdf : public SeamTestCase
{
    Q_OBJECT
    QTemporaryDir mDir;

private slots:
    void printPreviewSetUp()
    {
        MainWindow w;
        QString seen;
        seam->onDialog = [&seen](QDialog* d) {
            QPrinter* p = static_cast<QPrintPreviewDialog*>(d)->printer();
            const QSizeF mm = p->pageLayout().fullRectPoints().size() * 25.4 / 72;
            seen = QString("%1 %2x%3 full=%4 margins=%5 dpi=%6")
                       .arg(d->windowTitle()).arg(qRound(mm.width())).arg(qRound(mm.height())).arg(p->fullPage())
                       .arg(p->pageLayout().margins().isNull()).arg(p->resolution() == int(_PC_DPI));
            return int(QDialog::Rejected);
        };
        setFormation("A4 4 portrait normal");
        w.on_btnPrint_clicked();
        QCOMPARE(seen, QString("印刷プレビュー 297x210 full=1 margins=1 dpi=1"));
    }

    void dialogChoicesAndPageSizesAsWritten()
    {
        // Formation, layout, pages, every page's size in millimetres, and the
        // layouts the dialog hides: one page offers only the sheet, landscape
        // pages no spreads (1: pages, 2: spreads).
        const QList<std::tuple<QString, QString, int, QString, int>> rows = {
            {"A4 1 portrait normal", "radPrint", 1, "210x297", 3}, {"A4 4 landscape normal", "radPrint", 1, "210x297", 2},
            {"A4 8 portrait slim", "radView1", 8, "52x148", 0},    {"B4 4 portrait normal", "radView2", 2, "257x182", 0}};
        for (const auto& [formation, choice, pages, mm, hidden] : rows) {
            setFormation(formation);
            MainWindow w;
            w.setPageFormation(Setting::PaperSize, Setting::PageMax, Setting::PageOrientation, Setting::PageDirection);
            int offered = -1;
            seam->onDialog = [choice = choice, &offered](QDialog* d) {
                Ui::PdfDialog* ui = static_cast<PdfDialog*>(d)->ui;
                if (ui->radPrint->isChecked() && !ui->radPrint->isHidden())
                    offered = ui->radView1->isHidden() + 2 * ui->radView2->isHidden();
                d->findChild<QRadioButton*>(choice)->setChecked(true);
                ui->btnOk->click();
                return d->result();
            };
            const QString out = mDir.filePath(QString(formation + choice).replace(' ', '_') + ".pdf");
            seam->fileAnswers << out;
            w.on_btnExport_clicked();
            QCOMPARE(offered, hidden);
            QCOMPARE(seam->log.last(), QString("information|PDF出力|PDF出力が完了しました。"));
            QCOMPARE(formation + ": " + mediaBoxes(out), formation + ": " + QString(mm + " ").repeated(pages).trimmed());
        }
    }

    void everyPaperInEveryLayoutAtItsTrueSize()
    {
        // Sizes from the standards (B is the Japanese series), not from the
        // program's table; each step down halves the sheet.
        const QMap<QString, QSize> mm = {{"A3", {297, 420}}, {"A4", {210, 297}}, {"A5", {148, 210}}, {"A6", {105, 148}},
                                         {"A7", {74, 105}},  {"A8", {52, 74}},   {"B4", {257, 364}}, {"B5", {182, 257}},
                                         {"B6", {128, 182}}, {"B7", {91, 128}},  {"B8", {64, 91}}};
        auto down = [&](const QString& paper, int steps) { return mm.value(paper.left(1) + QString::number(paper.mid(1).toInt() + steps)); };
        auto turned = [](QSize s, bool landscape) { return landscape ? s.transposed() : s; };
        const QStringList formations = {"1 portrait normal", "1 landscape normal", "4 portrait normal", "4 landscape normal",
                                        "8 portrait normal", "8 landscape normal", "8 portrait slim"};
        for (const QString& paper : {"A3", "B4", "A4", "B5", "A5"}) {
            for (const QString& formation : formations) {
                setFormation(paper + " " + formation);
                const int pages = Setting::PageMax, steps = pages == 8 ? 3 : pages == 4 ? 2 : 0;
                const bool landscape = Setting::PageOrientation == "landscape", slim = Setting::PageForm == "slim";
                const QSize sheet = mm.value(paper);
                const QSize page = slim ? QSize(sheet.width() / 4, sheet.height() / 2) : turned(down(paper, steps), landscape);
                QList<std::tuple<int, int, QSize>> layouts = { // layout, pages, size
                    {PdfExport::LayoutSheet, 1, turned(sheet, pages == 8 ? slim : (pages == 4) != landscape)}};
                if (pages > 1)
                    layouts.append({PdfExport::LayoutPages, pages, page});
                if (pages > 1 && !landscape)
                    layouts.append({PdfExport::LayoutSpreads, pages / 2, turned(down(paper, steps - 1), !slim)});
                const QSize area = EditArea::size(Setting::getEditAreaSize(paper, pages), pages, Setting::PageOrientation, Setting::PageForm);
                _EDITAREA_W_PX = area.width(), _EDITAREA_H_PX = area.height();
                QList<QList<DrawObject*>> areas = {{}, {}, {}, {}};
                const QList<QList<DrawObject*>*> lists = {&areas[0], &areas[1], &areas[2], &areas[3]};
                for (const auto& [layout, count, size] : layouts) {
                    QVERIFY(PdfExport::layoutAvailable(layout));
                    const QString out = mDir.filePath("sizes.pdf"), what = QString("%1 %2 layout %3").arg(paper, formation).arg(layout);
                    QString error;
                    QVERIFY2(PdfExport::writePdf(out, layout, [&lists](QPrinter* printer, int layout) {
                        QPainter painter(printer);
                        Sheet::render(&painter, Sheet::Context::fromSettings(1.0, true), Sheet::ALL_AREAS, layout, lists);
                    }, &error), qPrintable(what + ": " + error));
                    const QString expected = QString("%1x%2 ").arg(size.width()).arg(size.height()).repeated(count).trimmed();
                    QCOMPARE(what + ": " + mediaBoxes(out), what + ": " + expected);
                }
            }
        }
    }

    void replaceableTargetsAndDocumentNames()
    {
        // A read-only PDF in a writable folder is replaced by renaming over
        // it, as on the command line; only a folder in the way is refused.
        const QString locked = mDir.filePath("locked.pdf");
        QFile f(locked);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write("old") == 3);
        f.close();
        QVERIFY(QFile::setPermissions(locked, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        QVERIFY(OutputFile::canReplace(locked) && OutputFile::canReplace(mDir.filePath("new.pdf")) && !OutputFile::canReplace(mDir.path()));
        MainWindow w;
        seam->dialogResults = {QDialog::Accepted, QDialog::Accepted, QDialog::Accepted};
        seam->fileAnswers << locked;
        w.on_btnExport_clicked();
        QCOMPARE(seam->log.last(), QString("information|PDF出力|PDF出力が完了しました。"));
        QVERIFY(readFile(locked).startsWith("%PDF-"));

        // Title from the document's name, or the new document's; the maker and its version.
        auto info = [](const QString& pdf) {
            const QString out = runProgram("pdfinfo", {pdf}).out;
            auto field = [&out](const QString& name) {
                return QRegularExpression("^" + name + ": +(.*)$", QRegularExpression::MultilineOption).match(out).captured(1);
            };
            return field("Title") + "|" + field("Creator");
        };
        QCOMPARE(info(locked), QString("新しいファイル|Zamfu " ZAMFU_VERSION));
        QVERIFY(w.fileSave(mDir.filePath("冊子")));
        seam->fileAnswers << locked;
        w.on_btnExport_clicked();
        QCOMPARE(info(locked), QString("冊子|Zamfu " ZAMFU_VERSION));
        w.init();
        seam->fileAnswers << locked;
        w.on_btnExport_clicked();
        QCOMPARE(info(locked), QString("新しいファイル|Zamfu " ZAMFU_VERSION));
    }

    void exportNamesFoldersAndFailures()
    {
        seam->dialogResults = QVector<int>(5, QDialog::Accepted).toList();
        QVERIFY(QDir().mkpath(mDir.filePath("busy.pdf")));
        seam->fileAnswers << mDir.filePath("booklet") << mDir.filePath("Second.PdF") << QString()
                           << mDir.filePath("busy.pdf") << mDir.filePath("missing/out.pdf");
        MainWindow w;
        w.on_btnExport_clicked();
        const QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        QCOMPARE(seam->log.at(1), "save|PDF出力|" + QDir::toNativeSeparators(docs + "/新しいファイル.pdf"));
        // The remembered file is proposed next; a suffix in any case is kept.
        w.on_btnExport_clicked();
        QCOMPARE(seam->log.at(4), "save|PDF出力|" + QDir::toNativeSeparators(mDir.path() + "/booklet.pdf"));
        QVERIFY(QFileInfo::exists(mDir.filePath("booklet.pdf")) && QFileInfo::exists(mDir.filePath("Second.PdF")));
        // A cancelled file dialog writes and says nothing.
        w.on_btnExport_clicked();
        QCOMPARE(seam->log.size(), 8);
        // A folder in the way, then a missing folder: a warning, never the success message.
        w.on_btnExport_clicked();
        QCOMPARE(seam->log.last(), QString("warning|PDF出力|PDF出力できません。\n指定されたファイル名は、他のアプリが使用中です。"));
        QCOMPARE(Setting::ExportFile, QString("busy.pdf"));
        w.on_btnExport_clicked();
        QVERIFY(seam->log.last().startsWith("warning|PDF出力|PDF出力できません。\nファイルを書き込めませんでした。"));
        QCOMPARE(seam->log.join('\n').count("完了"), 2);

        // A drawing that never reaches the printer leaves the old file and no temporary one.
        const QString path = mDir.filePath("booklet.pdf");
        const QByteArray before = readFile(path);
        QString error;
        QVERIFY(!PdfExport::writePdf(path, 0, [](QPrinter*, int) {}, &error) && readFile(path) == before);
        QVERIFY(QDir(mDir.path()).entryList(QDir::Files | QDir::Hidden).filter(".zamfu-").isEmpty());
    }
};

QTEST_MAIN(TstPdf)
#include "tst_pdf.moc"
