// The PDF layouts and page sizes as written, the print preview set-up, and
// the export flow: names, folders and failures.
#include "mainwindow.h"
#include "pdfdialog.h"
#include "pdfexport.h"
#include "seamtestcase.h"
#include "ui_pdfdialog.h"

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

class TstPdf : public SeamTestCase
{
    Q_OBJECT
    QTemporaryDir mDir;

private slots:
    void dialogChoicesAndPreview()
    {
        // One page offers only the sheet; landscape pages have no spread layout.
        const QList<QPair<QString, int>> cases = {{"A4 1 portrait normal", 3}, {"A4 4 landscape normal", 2}, {"A4 8 portrait normal", 0}};
        for (const auto& [formation, hidden] : cases) {
            setFormation(formation);
            PdfDialog d;
            QVERIFY(d.ui->radPrint->isChecked() && !d.ui->radPrint->isHidden());
            QCOMPARE(d.ui->radView1->isHidden() * 1 + d.ui->radView2->isHidden() * 2, hidden);
        }
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

    void layoutsAndPageSizesAsWritten()
    {
        // Formation, layout, pages, and every page's size in millimetres.
        const QList<std::tuple<QString, QString, int, QString>> rows = {
            {"A4 8 portrait normal", "radPrint", 1, "210x297"},  {"A4 8 portrait slim", "radPrint", 1, "297x210"},
            {"A4 4 portrait normal", "radPrint", 1, "297x210"},  {"A4 4 landscape normal", "radPrint", 1, "210x297"},
            {"B5 8 portrait normal", "radPrint", 1, "182x257"},  {"A4 8 portrait normal", "radView1", 8, "74x105"},
            {"A4 8 portrait slim", "radView1", 8, "52x148"},     {"A4 8 portrait normal", "radView2", 4, "148x105"},
            {"B4 4 portrait normal", "radView2", 2, "257x182"}};
        for (const auto& [formation, choice, pages, mm] : rows) {
            setFormation(formation);
            MainWindow w;
            w.setPageFormation(Setting::PaperSize, Setting::PageMax, Setting::PageOrientation, Setting::PageDirection);
            seam->onDialog = [choice = choice](QDialog* d) {
                d->findChild<QRadioButton*>(choice)->setChecked(true);
                static_cast<PdfDialog*>(d)->ui->btnOk->click();
                return d->result();
            };
            const QString out = mDir.filePath(QString(formation + choice).replace(' ', '_') + ".pdf");
            seam->fileAnswers << out;
            w.on_btnExport_clicked();
            QCOMPARE(seam->log.last(), QString("information|PDF出力|PDF出力が完了しました。"));
            // Page sizes as the file states them, in whole millimetres.
            const QByteArray pdf = readFile(out);
            QStringList sizes;
            auto it = QRegularExpression("/MediaBox \\[0 0 ([\\d.]+) ([\\d.]+)\\]").globalMatch(QString::fromLatin1(pdf.data(), pdf.size()));
            while (it.hasNext()) {
                const auto m = it.next();
                sizes << QString("%1x%2").arg(qRound(m.captured(1).toDouble() * 25.4 / 72)).arg(qRound(m.captured(2).toDouble() * 25.4 / 72));
            }
            QCOMPARE(formation + ": " + sizes.join(' '), formation + ": " + QString(mm + " ").repeated(pages).trimmed());
        }
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
