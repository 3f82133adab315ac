// The PDF layouts and page sizes as written, the print preview set-up, and
// the export flow: names, folders and failures.
#include "mainwindow.h"
#include "pdfdialog.h"
#include "pdfexport.h"
#include "setting.h"
#include "testsupport.h"
#include "ui_pdfdialog.h"

#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Page sizes in millimetres, one per page, as written in the file.
QList<QSizeF> pdfPageSizes(const QString& path)
{
    const QByteArray pdf = readAll(path);
    QList<QSizeF> sizes;
    auto it = QRegularExpression("/MediaBox \\[0 0 ([\\d.]+) ([\\d.]+)\\]")
                  .globalMatch(QString::fromLatin1(pdf.constData(), pdf.size()));
    while (it.hasNext()) {
        const auto m = it.next();
        sizes << QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()) * 25.4 / 72;
    }
    return sizes;
}

// paper, pages, orientation, form
void setFormation(const QString& formation)
{
    const QStringList f = formation.split(' ');
    Setting::PaperSize = f[0];
    Setting::PageMax = f[1].toInt();
    Setting::PageOrientation = f[2];
    Setting::PageForm = f[3];
}

}

class TstPdf : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        Setting::resetDefaults();
        mSeam = ScriptedSeam::install();
    }
    void dialogChoicesAndPreview();
    void layouts_data();
    void layouts();
    void exportNamesFoldersAndFailures();

private:
    QTemporaryDir mDir;
    ScriptedSeam* mSeam = nullptr;
};

void TstPdf::dialogChoicesAndPreview()
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
    mSeam->onDialog = [&seen](QDialog* d) {
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

void TstPdf::layouts_data()
{
    QTest::addColumn<QString>("formation");
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
    setFormation(formation);
    MainWindow w;
    w.setPageFormation(Setting::PaperSize, Setting::PageMax, Setting::PageOrientation, Setting::PageDirection);
    mSeam->onDialog = [choice](QDialog* d) {
        d->findChild<QRadioButton*>(choice)->setChecked(true);
        static_cast<PdfDialog*>(d)->ui->btnOk->click();
        return d->result();
    };
    const QString out = mDir.filePath(QString(QTest::currentDataTag()).replace(' ', '_') + ".pdf");
    mSeam->fileAnswers << out;
    w.on_btnExport_clicked();
    QCOMPARE(mSeam->log.last(), QString("information|PDF出力|PDF出力が完了しました。"));
    const QList<QSizeF> sizes = pdfPageSizes(out);
    QCOMPARE(sizes.size(), pages);
    for (const QSizeF& s : sizes)
        QVERIFY2(qAbs(s.width() - mm.width()) < 0.5 && qAbs(s.height() - mm.height()) < 0.5,
                 qPrintable(QString("%1 x %2 mm").arg(s.width()).arg(s.height())));
}

void TstPdf::exportNamesFoldersAndFailures()
{
    mSeam->dialogResults << QDialog::Accepted << QDialog::Accepted << QDialog::Accepted << QDialog::Accepted
                         << QDialog::Accepted;
    QVERIFY(QDir().mkpath(mDir.filePath("busy.pdf")));
    mSeam->fileAnswers << mDir.filePath("booklet") << mDir.filePath("Second.PdF") << QString()
                       << mDir.filePath("busy.pdf") << mDir.filePath("missing/out.pdf");
    MainWindow w;
    w.on_btnExport_clicked();
    const QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QCOMPARE(mSeam->log.at(1), "save|PDF出力|" + QDir::toNativeSeparators(docs + "/新しいファイル.pdf"));
    // The remembered file is proposed next; a suffix in any case is kept.
    w.on_btnExport_clicked();
    QCOMPARE(mSeam->log.at(4), "save|PDF出力|" + QDir::toNativeSeparators(mDir.path() + "/booklet.pdf"));
    QVERIFY(QFileInfo::exists(mDir.filePath("booklet.pdf")) && QFileInfo::exists(mDir.filePath("Second.PdF")));
    // A cancelled file dialog writes and says nothing.
    w.on_btnExport_clicked();
    QCOMPARE(mSeam->log.size(), 8);
    // A folder in the way, then a missing folder: a warning, never the success message.
    w.on_btnExport_clicked();
    QCOMPARE(mSeam->log.last(), QString("warning|PDF出力|PDF出力できません。\n指定されたファイル名は、他のアプリが使用中です。"));
    QCOMPARE(Setting::ExportFile, QString("busy.pdf"));
    w.on_btnExport_clicked();
    QVERIFY(mSeam->log.last().startsWith("warning|PDF出力|PDF出力できません。\nファイルを書き込めませんでした。"));
    QCOMPARE(mSeam->log.join('\n').count("完了"), 2);

    // A drawing that never reaches the printer leaves the old file and no temporary one.
    const QString path = mDir.filePath("booklet.pdf");
    const QByteArray before = readAll(path);
    QString error;
    QVERIFY(!PdfExport::writePdf(path, 0, [](QPrinter*, int) {}, &error) && readAll(path) == before);
    QVERIFY(QDir(mDir.path()).entryList(QDir::Files | QDir::Hidden).filter(".zamfu-").isEmpty());
}

QTEST_MAIN(TstPdf)
#include "tst_pdf.moc"
