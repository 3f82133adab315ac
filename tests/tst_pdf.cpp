// The PDF layouts and page sizes as written, and the export flow: names,
// folders and failures.
#include "mainwindow.h"
#include "pdfdialog.h"
#include "pdfexport.h"
#include "seamtestcase.h"
#include "ui_pdfdialog.h"

#include <QPrinter>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

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
    void everyLayoutAtItsTrueSize()
    {
        // Formation, layout, every page's size in millimetres (from the
        // standards, B the Japanese series), and the layouts the dialog
        // hides: one page offers only the sheet, landscape pages no spreads
        // (1: pages, 2: spreads).
        const QList<std::tuple<QString, QString, QString, int>> rows = {
            {"A4 1 portrait normal", "radPrint", "210x297", 3},      {"B4 1 landscape normal", "radPrint", "364x257", 3},
            {"A4 4 landscape normal", "radPrint", "210x297", 2},     {"A4 4 landscape normal", "radView1", "148x105*4", 2},
            {"A3 4 portrait normal", "radPrint", "420x297", 0},      {"A3 4 portrait normal", "radView1", "148x210*4", 0},
            {"B4 4 portrait normal", "radView2", "257x182*2", 0},    {"A3 8 portrait normal", "radPrint", "297x420", 0},
            {"A3 8 portrait normal", "radView1", "105x148*8", 0},    {"A3 8 portrait normal", "radView2", "210x148*4", 0},
            {"B4 8 landscape normal", "radPrint", "257x364", 2},     {"B4 8 landscape normal", "radView1", "128x91*8", 2},
            {"A3 8 portrait slim", "radPrint", "420x297", 0},        {"A3 8 portrait slim", "radView1", "74x210*8", 0},
            {"A3 8 portrait slim", "radView2", "148x210*4", 0}};
        for (const auto& [formation, choice, mm, hidden] : rows) {
            const QStringList f = formation.split(' '); // default settings but for these
            Setting::resetDefaults();
            Setting::PaperSize = f[0], Setting::PageMax = f[1].toInt(), Setting::PageOrientation = f[2], Setting::PageForm = f[3];
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
            const QStringList size = mm.split('*');
            QCOMPARE(formation + " " + choice + ": " + mediaBoxes(out),
                     formation + " " + choice + ": " + QString(size[0] + " ").repeated(size.value(1, "1").toInt()).trimmed());
        }
    }

    void exportNamesTargetsAndFailures()
    {
        // A read-only PDF in a writable folder is replaced by renaming over
        // it, as on the command line; only a folder in the way is refused.
        const QString locked = mDir.filePath("Locked.PdF");
        QFile f(locked);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write("old") == 3);
        f.close();
        QVERIFY(QFile::setPermissions(locked, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        QVERIFY(QDir().mkpath(mDir.filePath("busy.pdf")));
        seam->dialogResults = QVector<int>(6, QDialog::Accepted).toList();
        seam->fileAnswers << mDir.filePath("booklet") << locked << QString() << mDir.filePath("busy.pdf")
                           << mDir.filePath("missing/out.pdf") << locked;
        // Title from the document's name, or the new document's; the maker and its version.
        auto info = [](const QString& pdf) {
            return QRegularExpression("^Title: +([^\\n]*)$.*^Creator: +([^\\n]*)$", QRegularExpression::MultilineOption | QRegularExpression::DotMatchesEverythingOption)
                .match(runProgram("pdfinfo", {pdf}).out).capturedTexts().mid(1).join('|');
        };
        MainWindow w;
        w.on_btnExport_clicked();
        const QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        QCOMPARE(seam->log.at(1), "save|PDF出力|" + QDir::toNativeSeparators(docs + "/新しいファイル.pdf"));
        // The remembered file is proposed next; a suffix in any case is kept.
        w.on_btnExport_clicked();
        QCOMPARE(seam->log.at(4), "save|PDF出力|" + QDir::toNativeSeparators(mDir.path() + "/booklet.pdf"));
        QCOMPARE(info(locked), QString("新しいファイル|Zamfu " ZAMFU_VERSION));
        // A cancelled file dialog writes and says nothing.
        w.on_btnExport_clicked();
        QCOMPARE(seam->log.size(), 8);
        // A folder in the way, then a missing folder: a warning, never the success message.
        w.on_btnExport_clicked();
        QCOMPARE(seam->log.last(), QString("warning|PDF出力|PDF出力できません。\n指定されたファイル名は、他のアプリが使用中です。"));
        w.on_btnExport_clicked();
        QVERIFY(seam->log.last().startsWith("warning|PDF出力|PDF出力できません。\nファイルを書き込めませんでした。"));
        QCOMPARE(seam->log.join('\n').count("完了"), 2);
        QVERIFY(w.fileSave(mDir.filePath("冊子")));
        w.on_btnExport_clicked();
        QCOMPARE(info(locked), QString("冊子|Zamfu " ZAMFU_VERSION));

        // A drawing that never reaches the printer leaves the old file and no temporary one.
        const QByteArray before = readFile(locked);
        QString error;
        QVERIFY(!PdfExport::writePdf(locked, 0, [](QPrinter*, int) {}, &error) && readFile(locked) == before);
        QVERIFY(QDir(mDir.path()).entryList(QDir::Files | QDir::Hidden).filter(".zamfu-").isEmpty());
    }
};

QTEST_MAIN(TstPdf)
#include "tst_pdf.moc"
