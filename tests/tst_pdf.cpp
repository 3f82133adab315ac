// The PDF layouts and page sizes as written (read back with pdfinfo), the
// print preview set-up, and the export flow: names, folders and failures.
#include "mainwindow.h"
#include "pdfdialog.h"
#include "pdfexport.h"
#include "setting.h"
#include "testsupport.h"
#include "ui_pdfdialog.h"

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

// Works the dialog the window runs: picks a PDF layout, or inspects the preview.
struct DialogSeam : ScriptedSeam {
    std::function<int(QDialog*)> onDialog;
    int execDialog(QDialog* d) override
    {
        ScriptedSeam::execDialog(d);
        return onDialog(d);
    }
};

// Page sizes in millimetres, one per page.
QList<QSizeF> pdfPageSizes(const QString& path)
{
    QProcess p;
    p.start("pdfinfo", {"-f", "1", "-l", "100", path});
    p.waitForFinished(30000);
    QList<QSizeF> sizes;
    auto it = QRegularExpression("Page\\s+\\d+ size:\\s+([\\d.]+) x ([\\d.]+) pts")
                  .globalMatch(QString::fromUtf8(p.readAllStandardOutput()));
    while (it.hasNext()) {
        const auto m = it.next();
        sizes << QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()) * 25.4 / 72;
    }
    return sizes;
}

void setFormation(const QString& paper, int pages, const QString& orientation, const QString& form)
{
    Setting::PaperSize = paper;
    Setting::PageMax = pages;
    Setting::PageOrientation = orientation;
    Setting::PageForm = form;
}

QStringList tempFiles(const QString& dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden).filter(".zamfu-");
}

}

class TstPdf : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        Setting::resetDefaults();
        ScriptedSeam::install();
    }
    void dialogChoices();
    void printPreviewSetup();
    void layouts_data();
    void layouts();
    void exportNamesAndFolders();
    void failuresKeepTheOldFile();

private:
    QTemporaryDir mDir;
};

void TstPdf::dialogChoices()
{
    const QList<QPair<QString, QString>> cases = {
        {"1 portrait", "radPrint"}, {"4 landscape", "radPrint radView1"}, {"8 portrait", "radPrint radView1 radView2"}};
    for (const auto& c : cases) {
        Setting::PageMax = c.first.section(' ', 0, 0).toInt();
        Setting::PageOrientation = c.first.section(' ', 1);
        PdfDialog d;
        QStringList shown;
        for (QRadioButton* r : {d.ui->radPrint, d.ui->radView1, d.ui->radView2})
            if (!r->isHidden())
                shown << r->objectName();
        QCOMPARE(shown.join(' '), c.second);
        QVERIFY(d.ui->radPrint->isChecked());
    }
}

void TstPdf::printPreviewSetup()
{
    auto* seam = new DialogSeam;
    UiSeam::install(seam);
    MainWindow w;
    QString seen;
    seam->onDialog = [&seen](QDialog* d) {
        QPrinter* p = static_cast<QPrintPreviewDialog*>(d)->printer();
        const QSizeF mm = p->pageLayout().fullRectPoints().size() * 25.4 / 72;
        seen = QString("%1 %2x%3 full=%4 margins=%5 dpi=%6")
                   .arg(d->windowTitle())
                   .arg(qRound(mm.width()))
                   .arg(qRound(mm.height()))
                   .arg(p->fullPage())
                   .arg(p->pageLayout().margins().isNull())
                   .arg(p->resolution() == int(_PC_DPI));
        return int(QDialog::Rejected);
    };
    setFormation("A4", 4, "portrait", "normal");
    w.on_btnPrint_clicked();
    QCOMPARE(seen, QString("印刷プレビュー 297x210 full=1 margins=1 dpi=1"));
}

void TstPdf::layouts_data()
{
    QTest::addColumn<QString>("formation"); // paper, pages, orientation, form
    QTest::addColumn<QString>("choice");
    QTest::addColumn<int>("pages");
    QTest::addColumn<QSizeF>("mm");
    QTest::newRow("sheet 8") << "A4 8 portrait normal" << "radPrint" << 1 << QSizeF(210, 297);
    QTest::newRow("sheet 8 slim") << "A4 8 portrait slim" << "radPrint" << 1 << QSizeF(297, 210);
    QTest::newRow("sheet 4") << "A4 4 portrait normal" << "radPrint" << 1 << QSizeF(297, 210);
    QTest::newRow("sheet 4 landscape") << "A4 4 landscape normal" << "radPrint" << 1 << QSizeF(210, 297);
    QTest::newRow("sheet B5") << "B5 8 portrait normal" << "radPrint" << 1 << QSizeF(182, 257.1);
    QTest::newRow("pages 8") << "A4 8 portrait normal" << "radView1" << 8 << QSizeF(74, 105);
    QTest::newRow("pages 8 slim") << "A4 8 portrait slim" << "radView1" << 8 << QSizeF(52, 148);
    QTest::newRow("spreads 8") << "A4 8 portrait normal" << "radView2" << 4 << QSizeF(148, 105);
    QTest::newRow("spreads B4") << "B4 4 portrait normal" << "radView2" << 2 << QSizeF(257.1, 182);
}

void TstPdf::layouts()
{
    QFETCH(QString, formation);
    QFETCH(QString, choice);
    QFETCH(int, pages);
    QFETCH(QSizeF, mm);
    const QStringList f = formation.split(' ');
    setFormation(f[0], f[1].toInt(), f[2], f[3]);
    auto* seam = new DialogSeam;
    UiSeam::install(seam);
    MainWindow w;
    w.setPageFormation(f[0], f[1].toInt(), f[2], Setting::PageDirection);
    seam->onDialog = [choice](QDialog* d) {
        d->findChild<QRadioButton*>(choice)->setChecked(true);
        static_cast<PdfDialog*>(d)->ui->btnOk->click();
        return d->result();
    };
    const QString out = mDir.filePath(QString(QTest::currentDataTag()).replace(' ', '_') + ".pdf");
    seam->fileAnswers << out;
    w.on_btnExport_clicked();
    QCOMPARE(seam->log.last(), QString("information|PDF出力|PDF出力が完了しました。"));
    const QList<QSizeF> sizes = pdfPageSizes(out);
    QCOMPARE(sizes.size(), pages);
    for (const QSizeF& s : sizes)
        QVERIFY2(qAbs(s.width() - mm.width()) < 0.5 && qAbs(s.height() - mm.height()) < 0.5,
                 qPrintable(QString("%1 x %2 mm").arg(s.width()).arg(s.height())));
}

void TstPdf::exportNamesAndFolders()
{
    auto* seam = ScriptedSeam::install();
    seam->dialogResults << QDialog::Accepted << QDialog::Accepted << QDialog::Accepted;
    seam->fileAnswers << mDir.filePath("booklet") << mDir.filePath("Second.PdF");
    MainWindow w;
    w.on_btnExport_clicked();
    const QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QCOMPARE(seam->log.at(1), "save|PDF出力|" + QDir::toNativeSeparators(docs + "/新しいファイル.pdf"));
    QVERIFY(QFileInfo::exists(mDir.filePath("booklet.pdf")));
    QCOMPARE(Setting::ExportFile, QString("booklet.pdf"));

    // The remembered file is proposed next; a suffix in any case is kept.
    w.on_btnExport_clicked();
    QCOMPARE(seam->log.at(4), "save|PDF出力|" + QDir::toNativeSeparators(mDir.path() + "/booklet.pdf"));
    QVERIFY(QFileInfo::exists(mDir.filePath("Second.PdF")));

    // A cancelled file dialog writes and says nothing.
    w.on_btnExport_clicked();
    QCOMPARE(seam->log.size(), 8);
    QVERIFY(tempFiles(mDir.path()).isEmpty());
}

void TstPdf::failuresKeepTheOldFile()
{
    const QString path = mDir.filePath("old.pdf");
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("previous content");
    f.close();
    // A drawing that never reaches the printer leaves nothing worth keeping.
    QString error;
    QVERIFY(!PdfExport::writePdf(path, 0, [](QPrinter*, int) {}, &error));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("previous content"));
    f.close();
    QVERIFY(tempFiles(mDir.path()).isEmpty());
    QVERIFY(PdfExport::writePdf(path, 0, [](QPrinter* p, int) { QPainter(p).drawLine(0, 0, 9, 9); }, &error));
    QCOMPARE(QFileInfo(path).size() > 100, true);

    // Through the window: a folder in the way, then a missing folder; no success message.
    auto* seam = ScriptedSeam::install();
    seam->dialogResults << QDialog::Accepted << QDialog::Accepted;
    QVERIFY(QDir().mkpath(mDir.filePath("busy.pdf")));
    seam->fileAnswers << mDir.filePath("busy.pdf") << mDir.filePath("missing/out.pdf");
    MainWindow w;
    w.on_btnExport_clicked();
    QCOMPARE(seam->log.last(), QString("warning|PDF出力|PDF出力できません。\n指定されたファイル名は、他のアプリが使用中です。"));
    QCOMPARE(Setting::ExportFile, QString("busy.pdf"));
    w.on_btnExport_clicked();
    QVERIFY(seam->log.last().startsWith("warning|PDF出力|PDF出力できません。\nファイルを書き込めませんでした。"));
    QVERIFY(!seam->log.join('\n').contains("完了"));
}

QTEST_MAIN(TstPdf)
#include "tst_pdf.moc"
