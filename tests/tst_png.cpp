// PNG export: names, counts and sizes per layout and resolution, the images
// against the PDF rendered at the same resolution, bad options, failed writes,
// and the PDF button's PNG choice.
#include "document.h"
#include "editorfixture.h"
#include "pdfexport.h"
#include "pngexport.h"

#include <QDir>
#include <QRadioButton>
#include <QTemporaryDir>

namespace {

const QString ZAMFU = zamfuBinary();

// A coloured sheet with a margin, text in two linked boxes (whose chain
// numbers are screen-only) and a shape; pageMax pages.
QString makeDocument(const QString& path, int pageMax)
{
    DocumentSettings s;
    s.pageMax = pageMax, s.pageColor = QColor(255, 236, 200), s.paperMargin = 5;
    QList<QList<DrawObject*>> areas{{}, {}, {}, {}};
    auto* a = new DrawObject(20, 30, 200, 120);
    auto* b = new DrawObject(300, 30, 200, 120);
    auto* chain = new QList<DrawObject*>{a, b};
    a->textLinkList = b->textLinkList = chain;
    a->text = "折本を作ります。Zamfu は見開きのとおりに組み、用紙に面付けします。", a->textSize = 14;
    b->text.clear(), b->bgColorEnabled = true, b->bgColor = QColor(120, 170, 230);
    areas[0] << a << b;
    auto* shape = new DrawObject(60, 200, 120, 100);
    shape->text.clear(), shape->shapeData = "shape=2;", shape->r = 30;
    areas[pageMax > 1 ? 1 : 0] << shape;
    Document::save(path, s, areas);
    for (auto& list : areas)
        qDeleteAll(list);
    delete chain;
    return path;
}

QStringList entries(const QString& dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

}

class TstPng : public QObject
{
    Q_OBJECT
    QTemporaryDir mDir;
    QString mEight, mFour, mOne;

private slots:
    void initTestCase()
    {
        mEight = makeDocument(mDir.filePath("eight.xml"), 8);
        mFour = makeDocument(mDir.filePath("four.xml"), 4);
        mOne = makeDocument(mDir.filePath("one.xml"), 1);
    }

    void imagesMatchThePdfAtTheSameResolution()
    {
        QCOMPARE(PngExport::fileNames("/a/out.PNG", 2) + PngExport::fileNames("/a/out", 2) + PngExport::fileNames("/a/out.png", 1),
                 QStringList({"/a/out-1.png", "/a/out-2.png", "/a/out-1.png", "/a/out-2.png", "/a/out.png"}));
        // Document, layout, resolution, images: each as large as the PDF's
        // page rendered at that resolution, and alike.
        const QList<std::tuple<QString, QString, int, int>> cases = {
            {mEight, "pages", 100, 8}, {mEight, "spreads", 90, 4}, {mFour, "print", 600, 1}, {mOne, "print", 72, 1}};
        for (const auto& [doc, layout, dpi, count] : cases) {
            QTemporaryDir out;
            const QString what = QFileInfo(doc).baseName() + " " + layout, r = QString::number(dpi);
            QVERIFY(runProgram(ZAMFU, {"--export-pdf", out.filePath("b.pdf"), "--layout", layout, doc}).code == 0);
            const ProgramRun png = runProgram(ZAMFU, {"--export-png", out.filePath("x.png"), "--layout", layout, "--dpi", r, doc});
            QVERIFY2(png.code == 0 && png.err.isEmpty(), qPrintable(what + ": " + png.err));
            QVERIFY(runProgram("pdftoppm", {"-r", r, "-png", out.filePath("b.pdf"), out.filePath("pdf")}).code == 0);
            const QStringList pdfPages = QDir(out.path()).entryList({"pdf-*.png"}, QDir::Files, QDir::Name);
            const QStringList pngs = PngExport::fileNames(out.filePath("x.png"), count);
            QCOMPARE(entries(out.path()).size(), 1 + 2 * count); // and nothing left aside
            for (int i = 0; i < count; ++i) {
                const QImage pdf(out.filePath(pdfPages.value(i))), png(pngs[i]);
                QVERIFY2(!png.isNull() && png.size() == pdf.size() && meanDifference(png, pdf) < 2.0, qPrintable(what + " " + pngs[i]));
            }
        }
        // The default resolution is 150 per inch. The sheet colour fills the
        // page inside the printer margin; the margin itself stays white; the
        // chain numbers are the editor's own.
        QCOMPARE(runProgram(ZAMFU, {"--export-png", mDir.filePath("default.png"), mEight}).code, 0);
        QCOMPARE(QImage(mDir.filePath("default.png")).size(), QSize(1240, 1755));
        QVERIFY(runProgram(ZAMFU, {"--export-png", mDir.filePath("s.png"), "--dpi", "96", mEight}).code == 0);
        const QImage sheet(mDir.filePath("s.png"));
        QVERIFY(sheet.pixelColor(sheet.width() / 2, 8) == Qt::white && sheet.pixelColor(sheet.width() / 2, 30) == QColor(255, 236, 200));
        QVERIFY(runProgram(ZAMFU, {"--export-png", mDir.filePath("p.png"), "--layout", "spreads", "--dpi", "96", mEight}).code == 0);
        const QImage spread(mDir.filePath("p-1.png"));
        QCOMPARE(spread.pixelColor(250, 250), QColor(255, 236, 200));
        // Nothing red or dark where box a's chain number would be.
        QCOMPARE(inkBounds(spread.copy(200, 130, 20, 20), [](const QColor& c) { return c.red() <= 200 || c.green() <= 200; }), QRect());
    }

    void failedWriteLeavesNoPartialFile()
    {
        QTemporaryDir out;
        QFile old(out.filePath("b-1.png"));
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
        old.close();
        // The file size limit makes the system refuse the write part way
        // through (its signal ignored, so the program sees the error).
        const QString command = QString("trap '' XFSZ; ulimit -f 16; exec \"%1\" --export-png \"%2\" --layout pages "
                                        "--dpi 300 \"%3\"").arg(ZAMFU, out.filePath("b.png"), mEight);
        ProgramRun r = runProgram("bash", {"-c", command});
        QVERIFY2(r.code == 1 && r.err.startsWith("zamfu: cannot write") && r.err.count('\n') == 1, qPrintable(r.err));
        QCOMPARE(entries(out.path()), QStringList{"b-1.png"});
        QCOMPARE(readFile(out.filePath("b-1.png")), QByteArray("old"));

        // A folder in place of the third image: refused before anything is written.
        QVERIFY(QDir(out.path()).mkdir("b-3.png"));
        r = runProgram(ZAMFU, {"--export-png", out.filePath("b.png"), "--layout", "pages", mEight});
        QVERIFY2(r.code == 1, qPrintable(r.err));
        QCOMPARE(entries(out.path()), QStringList{"b-1.png"});
        QCOMPARE(readFile(out.filePath("b-1.png")), QByteArray("old"));
    }

    void pdfButtonAlsoWritesPngs()
    {
        Editor e;
        e.place(0, 20);
        QTemporaryDir out;
        e.seam->onDialog = [](QDialog* d) {
            d->findChild<QRadioButton*>("radView2")->setChecked(true);
            QMetaObject::invokeMethod(d, "on_btnOk_clicked");
            return int(QDialog::Accepted);
        };
        e.seam->fileAnswers = QStringList{out.filePath("booklet")};
        e.seam->filterAnswers = QStringList{"PNG画像 (*.png)"};
        e.w.on_btnExport_clicked();
        QCOMPARE(entries(out.path()), QStringList({"booklet-1.png", "booklet-2.png", "booklet-3.png", "booklet-4.png"}));
        QCOMPARE(e.seam->log.last(), QString("information|PDF出力|PDF出力が完了しました。"));
    }
};

QTEST_MAIN(TstPng)
#include "tst_png.moc"
