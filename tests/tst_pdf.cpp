// Printer set-up, PDF layouts and page sizes, and the export flow of the window,
// checked on the written files with pdfinfo.
#include "mainwindow.h"
#include "pdfdialog.h"
#include "pdfexport.h"
#include "setting.h"
#include "testsupport.h"
#include "ui_pdfdialog.h"

#include <QPageSize>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

namespace {

struct DialogSeam : ScriptedSeam {
    std::function<int(QDialog*)> onDialog;
    int execDialog(QDialog* dialog) override
    {
        ScriptedSeam::execDialog(dialog);
        return onDialog ? onDialog(dialog) : int(QDialog::Rejected);
    }
};

// Answers the PDF dialog with the given choice.
std::function<int(QDialog*)> choose(const QString& radio)
{
    return [radio](QDialog* d) {
        auto* pd = qobject_cast<PdfDialog*>(d);
        if (!pd)
            return int(QDialog::Rejected);
        pd->findChild<QRadioButton*>(radio)->setChecked(true);
        pd->ui->btnOk->click();
        return pd->result();
    };
}

struct PdfInfo {
    int pages = 0;
    QList<QSizeF> sizesMm;
};

PdfInfo pdfInfo(const QString& path)
{
    PdfInfo info;
    QProcess p;
    p.start("pdfinfo", {"-f", "1", "-l", "100", path});
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return info;
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    info.pages = QRegularExpression("Pages:\\s+(\\d+)").match(out).captured(1).toInt();
    auto it = QRegularExpression("Page\\s+\\d+ size:\\s+([\\d.]+) x ([\\d.]+) pts").globalMatch(out);
    while (it.hasNext()) {
        const auto m = it.next();
        info.sizesMm << QSizeF(m.captured(1).toDouble() * 25.4 / 72, m.captured(2).toDouble() * 25.4 / 72);
    }
    return info;
}

bool near(const QSizeF& a, const QSizeF& b)
{
    return qAbs(a.width() - b.width()) < 0.5 && qAbs(a.height() - b.height()) < 0.5;
}

void setFormation(const QString& paper, int pages, const QString& orientation, const QString& form)
{
    Setting::PaperSize = paper;
    Setting::PageMax = pages;
    Setting::PageOrientation = orientation;
    Setting::PageForm = form;
}

}

class TstPdf : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void dialogChoices();
    void correctsJapaneseBSizes();
    void printPreviewSetup();
    void layouts_data();
    void layouts();
    void exportNamesAndFolders();
    void targetInUse();
    void failedWriteKeepsOldFile();

private:
    QTemporaryDir mDir;
};

void TstPdf::init()
{
    Setting::resetDefaults();
    ScriptedSeam::install();
}

void TstPdf::dialogChoices()
{
    Setting::PageMax = 1;
    {
        PdfDialog d;
        QVERIFY(!d.ui->radPrint->isHidden() && d.ui->radPrint->isChecked());
        QVERIFY(d.ui->radView1->isHidden() && d.ui->radView2->isHidden());
        QCOMPARE(d.windowTitle(), QString("PDF出力"));
        QVERIFY(d.choice == QString());
        d.ui->btnOk->click();
        QCOMPARE(d.choice, QString("PdfPrint"));
    }
    Setting::PageMax = 4;
    Setting::PageOrientation = "landscape";
    {
        PdfDialog d;
        QVERIFY(!d.ui->radView1->isHidden());
        QVERIFY(d.ui->radView2->isHidden());
        d.ui->radView1->setChecked(true);
        d.ui->btnOk->click();
        QCOMPARE(d.choice, QString("PdfView1"));
    }
    Setting::PageMax = 8;
    Setting::PageOrientation = "portrait";
    {
        PdfDialog d;
        QVERIFY(!d.ui->radView1->isHidden() && !d.ui->radView2->isHidden());
        d.ui->radView2->setChecked(true);
        d.ui->btnCancel->click();
        QCOMPARE(d.choice, QString());
        QCOMPARE(d.result(), int(QDialog::Rejected));
    }
    QCOMPARE(PdfExport::layoutFromName("PdfView2"), 2);
    QCOMPARE(PdfExport::layoutFromName(""), 0);
}

void TstPdf::correctsJapaneseBSizes()
{
    QPrinter printer(QPrinter::ScreenResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    PdfExport::setPaper(&printer, Setting::paperSizeToEnum("B5"));
    QVERIFY(near(printer.pageLayout().pageSize().size(QPageSize::Millimeter), QSizeF(182, 257.1)));
    PdfExport::setPaper(&printer, Setting::paperSizeToEnum("B4"));
    QVERIFY(near(printer.pageLayout().pageSize().size(QPageSize::Millimeter), QSizeF(257.1, 364)));
    // A sizes already match and stay the stock sizes.
    PdfExport::setPaper(&printer, Setting::paperSizeToEnum("A5"));
    QCOMPARE(printer.pageLayout().pageSize().id(), QPageSize::A5);
}

void TstPdf::printPreviewSetup()
{
    auto* seam = new DialogSeam;
    UiSeam::install(seam);
    MainWindow w;
    QString seen;
    seam->onDialog = [&seen](QDialog* d) {
        auto* preview = qobject_cast<QPrintPreviewDialog*>(d);
        QPrinter* p = preview->printer();
        const QSizeF mm = p->pageLayout().fullRectPoints().size() * 25.4 / 72;
        seen = QString("%1|%2x%3|%4|%5|%6")
                   .arg(d->windowTitle())
                   .arg(qRound(mm.width()))
                   .arg(qRound(mm.height()))
                   .arg(p->fullPage())
                   .arg(p->pageLayout().margins().isNull())
                   .arg(p->resolution() == int(_PC_DPI));
        return int(QDialog::Rejected);
    };
    w.on_btnPrint_clicked();
    QCOMPARE(seen, QString("印刷プレビュー|210x297|1|1|1"));
    setFormation("A4", 8, "portrait", "slim");
    w.on_btnPrint_clicked();
    QCOMPARE(seen, QString("印刷プレビュー|297x210|1|1|1"));
    setFormation("A4", 4, "portrait", "normal");
    w.on_btnPrint_clicked();
    QCOMPARE(seen, QString("印刷プレビュー|297x210|1|1|1"));
    setFormation("A4", 4, "landscape", "normal");
    w.on_btnPrint_clicked();
    QCOMPARE(seen, QString("印刷プレビュー|210x297|1|1|1"));
    setFormation("B5", 1, "portrait", "normal");
    w.on_btnPrint_clicked();
    QCOMPARE(seen, QString("印刷プレビュー|182x257|1|1|1"));
}

void TstPdf::layouts_data()
{
    QTest::addColumn<QString>("paper");
    QTest::addColumn<int>("pages");
    QTest::addColumn<QString>("orientation");
    QTest::addColumn<QString>("form");
    QTest::addColumn<QString>("choice");
    QTest::addColumn<int>("outPages");
    QTest::addColumn<QSizeF>("sizeMm");

    QTest::newRow("sheet A4/8") << "A4" << 8 << "portrait" << "normal" << "radPrint" << 1 << QSizeF(210, 297);
    QTest::newRow("sheet A4/8 slim") << "A4" << 8 << "portrait" << "slim" << "radPrint" << 1 << QSizeF(297, 210);
    QTest::newRow("sheet A4/4") << "A4" << 4 << "portrait" << "normal" << "radPrint" << 1 << QSizeF(297, 210);
    QTest::newRow("sheet A4/4 landscape") << "A4" << 4 << "landscape" << "normal" << "radPrint" << 1 << QSizeF(210, 297);
    QTest::newRow("sheet B5/8") << "B5" << 8 << "portrait" << "normal" << "radPrint" << 1 << QSizeF(182, 257.1);
    QTest::newRow("sheet A3/1 landscape") << "A3" << 1 << "landscape" << "normal" << "radPrint" << 1 << QSizeF(420, 297);
    QTest::newRow("pages A4/8") << "A4" << 8 << "portrait" << "normal" << "radView1" << 8 << QSizeF(74, 105);
    QTest::newRow("pages A4/8 slim") << "A4" << 8 << "portrait" << "slim" << "radView1" << 8 << QSizeF(52, 148);
    QTest::newRow("pages B5/8 slim") << "B5" << 8 << "portrait" << "slim" << "radView1" << 8 << QSizeF(45, 128);
    QTest::newRow("pages A4/4 landscape") << "A4" << 4 << "landscape" << "normal" << "radView1" << 4 << QSizeF(148, 105);
    QTest::newRow("spreads A4/8") << "A4" << 8 << "portrait" << "normal" << "radView2" << 4 << QSizeF(148, 105);
    QTest::newRow("spreads A4/8 slim") << "A4" << 8 << "portrait" << "slim" << "radView2" << 4 << QSizeF(105, 148);
    QTest::newRow("spreads B4/4") << "B4" << 4 << "portrait" << "normal" << "radView2" << 2 << QSizeF(257.1, 182);
}

void TstPdf::layouts()
{
    QFETCH(QString, paper);
    QFETCH(int, pages);
    QFETCH(QString, orientation);
    QFETCH(QString, form);
    QFETCH(QString, choice);
    QFETCH(int, outPages);
    QFETCH(QSizeF, sizeMm);

    auto* seam = new DialogSeam;
    UiSeam::install(seam);
    MainWindow w;
    setFormation(paper, pages, orientation, form);
    w.setPageFormation(paper, pages, orientation, Setting::PageDirection);
    seam->onDialog = choose(choice);
    const QString out = mDir.filePath(QString(QTest::currentDataTag()).replace(' ', '_').replace('/', '-') + ".pdf");
    seam->fileAnswers << out;
    w.on_btnExport_clicked();
    QCOMPARE(seam->log.last(), QString("information|PDF出力|PDF出力が完了しました。"));

    const PdfInfo info = pdfInfo(out);
    QCOMPARE(info.pages, outPages);
    QCOMPARE(info.sizesMm.size(), outPages);
    for (const QSizeF& s : info.sizesMm)
        QVERIFY2(near(s, sizeMm), qPrintable(QString("%1 x %2 mm").arg(s.width()).arg(s.height())));
}

void TstPdf::exportNamesAndFolders()
{
    auto* seam = ScriptedSeam::install();
    seam->dialogResults << QDialog::Accepted << QDialog::Accepted << QDialog::Accepted;
    MainWindow w;

    seam->fileAnswers << mDir.filePath("booklet");
    w.on_btnExport_clicked();
    const QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QCOMPARE(seam->log.at(1), "save|PDF出力|" + QDir::toNativeSeparators(docs + "/新しいファイル.pdf"));
    QVERIFY(QFileInfo::exists(mDir.filePath("booklet.pdf")));
    QCOMPARE(Setting::ExportDir, QFileInfo(mDir.path()).absoluteFilePath());
    QCOMPARE(Setting::ExportFile, QString("booklet.pdf"));
    QCOMPARE(seam->log.last(), QString("information|PDF出力|PDF出力が完了しました。"));

    // The next proposal is the remembered file; an upper-case suffix is kept.
    seam->fileAnswers << mDir.filePath("Second.PdF");
    w.on_btnExport_clicked();
    QCOMPARE(seam->log.at(4), "save|PDF出力|" + QDir::toNativeSeparators(Setting::ExportDir + "/booklet.pdf"));
    QVERIFY(QFileInfo::exists(mDir.filePath("Second.PdF")));
    QVERIFY(!QFileInfo::exists(mDir.filePath("Second.PdF.pdf")));

    // Cancelling the file dialog writes nothing and says nothing.
    const int before = seam->log.size();
    w.on_btnExport_clicked();
    QCOMPARE(seam->log.size(), before + 2);

    // Cancelling the layout dialog does not even ask for a file.
    w.on_btnExport_clicked();
    QCOMPARE(seam->log.size(), before + 3);

    // No temporary files are left beside the results.
    QCOMPARE(QDir(mDir.path()).entryList(QDir::Files | QDir::Hidden).filter(".zamfu-").size(), 0);
}

void TstPdf::targetInUse()
{
    auto* seam = ScriptedSeam::install();
    seam->dialogResults << QDialog::Accepted;
    MainWindow w;
    const QString busy = mDir.filePath("busy.pdf");
    QVERIFY(QDir().mkpath(busy));
    seam->fileAnswers << busy;
    w.on_btnExport_clicked();
    QCOMPARE(seam->log.last(),
             QString("warning|PDF出力|PDF出力できません。\n指定されたファイル名は、他のアプリが使用中です。"));
    QCOMPARE(Setting::ExportFile, QString("busy.pdf"));
    QVERIFY(QFileInfo(busy).isDir());
}

void TstPdf::failedWriteKeepsOldFile()
{
    // A painter that never opens the printer leaves nothing worth keeping.
    const QString path = mDir.filePath("old.pdf");
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("previous content");
    }
    QString error;
    QVERIFY(!PdfExport::writePdf(path, 0, [](QPrinter*, int) {}, &error));
    QVERIFY(!error.isEmpty());
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("previous content"));
    QCOMPARE(QDir(mDir.path()).entryList(QDir::Files | QDir::Hidden).filter(".zamfu-").size(), 0);

    // A complete PDF replaces it.
    QVERIFY(PdfExport::writePdf(path, 0, [](QPrinter* p, int) { QPainter painter(p); painter.drawLine(0, 0, 10, 10); },
                                &error));
    f.close();
    QVERIFY(f.open(QIODevice::ReadOnly));
    QVERIFY(f.read(5) == "%PDF-");

    // Through the window: no success message when the folder is missing.
    auto* seam = ScriptedSeam::install();
    seam->dialogResults << QDialog::Accepted;
    MainWindow w;
    seam->fileAnswers << mDir.filePath("missing/folder/out.pdf");
    w.on_btnExport_clicked();
    QVERIFY(seam->log.last().startsWith("warning|PDF出力|PDF出力できません。"));
    QVERIFY(!seam->log.join('\n').contains("PDF出力が完了しました。"));
}

QTEST_MAIN(TstPdf)
#include "tst_pdf.moc"
