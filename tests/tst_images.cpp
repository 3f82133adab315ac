// Images: one shared read per file, output at print resolution, large and
// hostile files, the placeholder and the output warnings, and renderings
// compared with those kept from before images were read reduced.
#include "document.h"
#include "editorfixture.h"
#include "imagekinds.h"
#include "imagescene.h"
#include "imagestore.h"

#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTemporaryDir>
#include <QtEndian>

#include <sys/stat.h>
#include <zlib.h>

namespace {

// An 8-bit RGB PNG of the given data.
QByteArray png(int w, int h, const QByteArray& idat)
{
    return ImageKinds::pngHeader(w, h, 8, 2) + ImageKinds::pngChunk("IDAT", idat) + ImageKinds::pngChunk("IEND", {});
}

// An RGB PNG in four coloured quarters, deflated row by row: the rows below
// the first of each half repeat the one above, so 48 megapixels take a few
// hundred kilobytes and no full-size buffer.
QByteArray quarteredPng(int w, int h, const QColor (&q)[4])
{
    z_stream z{};
    deflateInit(&z, 1);
    QByteArray idat, row(1 + 3 * w, 0);
    for (int y = 0; y <= h; ++y) {
        row.fill(0);
        row[0] = 2; // "up" filter: all zero repeats the row above
        for (int x = 0; x < w && y % (h / 2) == 0; ++x) {
            const QColor& c = q[(y ? 2 : 0) + (x >= w / 2 ? 1 : 0)];
            row[0] = 0, row[1 + 3 * x] = char(c.red()), row[2 + 3 * x] = char(c.green()), row[3 + 3 * x] = char(c.blue());
        }
        z.next_in = reinterpret_cast<Bytef*>(row.data()), z.avail_in = y < h ? uInt(row.size()) : 0;
        do {
            idat.resize(idat.size() + 65536);
            z.next_out = reinterpret_cast<Bytef*>(idat.data() + idat.size() - 65536), z.avail_out = 65536;
            deflate(&z, y < h ? Z_NO_FLUSH : Z_FINISH);
            idat.chop(int(z.avail_out));
        } while (z.avail_out == 0);
    }
    deflateEnd(&z);
    return png(w, h, idat);
}

void writeFilled(const QString& path, const QColor& c, QSize size = {400, 300})
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(c);
    QVERIFY(image.save(path));
}

bool near(QColor a, QColor b, int tol = 24)
{
    return qAbs(a.red() - b.red()) <= tol && qAbs(a.green() - b.green()) <= tol && qAbs(a.blue() - b.blue()) <= tol;
}

// Pixels per thousand that differ by more than 24 in a channel once each is
// the mean of its 3 x 3 neighbourhood: a picture scaled another way differs
// in single pixels along its edges, which this evens out; a picture out of
// place differs along whole edges, which stays.
double differing(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return 1000;
    auto mean = [](const QImage& in, int x, int y) {
        int r = 0, g = 0, b = 0, n = 0;
        for (int yy = qMax(0, y - 1); yy <= qMin(in.height() - 1, y + 1); ++yy)
            for (int xx = qMax(0, x - 1); xx <= qMin(in.width() - 1, x + 1); ++xx, ++n)
                r += qRed(in.pixel(xx, yy)), g += qGreen(in.pixel(xx, yy)), b += qBlue(in.pixel(xx, yy));
        return QColor(r / n, g / n, b / n);
    };
    const QImage x = a.convertToFormat(QImage::Format_RGB32), y = b.convertToFormat(QImage::Format_RGB32);
    qint64 n = 0;
    for (int row = 0; row < x.height(); ++row)
        for (int col = 0; col < x.width(); ++col)
            n += !near(mean(x, col, row), mean(y, col, row));
    return 1000.0 * n / (qint64(x.width()) * x.height());
}

} // namespace

using ImageScene::picture;

class TstImages : public QObject
{
    Q_OBJECT
    QTemporaryDir mDir;
    const QColor mQuarters[4] = {QColor(220, 30, 30), QColor(30, 160, 60), QColor(30, 60, 220), QColor(240, 200, 30)};
    QList<QPair<QString, ImageDecoder::Problem>> mBroken; // files no picture can be read from

    QString path(const QString& name) const { return mDir.filePath(name); }

private slots:
    void initTestCase()
    {
        ImageScene::writeImages(mDir.path());
        // 8000 x 6000: red, green / blue, yellow quarters
        QVERIFY(ImageKinds::write(path("big.png"), quarteredPng(8000, 6000, mQuarters)));
        const QByteArray photo = readFile(path("photo.jpg")), quadrants = readFile(path("quadrants.png"));
        const QByteArray progressive = ImageKinds::all()[1].bytes;
        const QList<std::tuple<QString, QByteArray, ImageDecoder::Problem>> broken = {
            {"cut.jpg", photo.left(photo.size() / 2), ImageDecoder::Damaged},
            {"cut-progressive.jpg", progressive.left(progressive.size() * 2 / 3), ImageDecoder::Damaged},
            {"cut.png", quadrants.left(quadrants.size() / 2), ImageDecoder::Damaged}, {"empty.png", {}, ImageDecoder::Unsupported},
            {"huge.png", png(100000, 100000, QByteArray(16, 0)), ImageDecoder::TooLarge}};
        for (const auto& [name, bytes, problem] : broken) {
            mBroken << qMakePair(path(name), problem);
            QVERIFY(ImageKinds::write(path(name), bytes));
        }
        QVERIFY(mkfifo(QFile::encodeName(path("fifo.png")).constData(), 0600) == 0);
        mBroken << qMakePair(path("fifo.png"), ImageDecoder::NotRegular) << qMakePair(path("missing.png"), ImageDecoder::Missing);
    }

    // One read per file, shared by copies and kept by an undo record; a
    // source keeps the version it read (rewritten or removed, the picture
    // shown stays and is not read again at every paint) until set anew.
    void sharedReadOnceAndKeptWhenChanged()
    {
        Editor e;
        const QString file = path("shared.png");
        writeFilled(file, Qt::green);
        DrawObject *a = e.place(0, 10), *b = e.place(0, 200);
        e.select({a, b});
        e.seam->fileAnswers << file;
        e.w.on_btnImg_clicked();
        QVERIFY(a->img && a->img == b->img);
        e.w.actionCopy();
        e.w.actionPaste();
        DrawObject* pasted = e.w.mListSelected.first();
        e.w.on_btnDelObj_clicked();
        QVERIFY(!e.w.mListArea[0]->contains(pasted) && pasted->img == a->img && e.w.mListClipboard.first()->img == a->img);
        ImageScene::render({a}, 1, false);
        const qint64 read = a->img->base().cacheKey();
        QVERIFY(a->img->base().width() < 400);

        // Rewritten smaller and blue, then drawn larger than first read.
        writeFilled(file, Qt::blue, {40, 30});
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadWrite) && f.setFileTime(QDateTime::currentDateTime().addSecs(10), QFileDevice::FileModificationTime));
        a->w = 400, a->h = 300;
        for (int i = 0; i < 2; ++i)
            QVERIFY(near(ImageScene::render({a, b}, 2 - i, false).pixelColor(200, 150), Qt::green));
        QCOMPARE(a->img->base().cacheKey(), read);
        e.run(CMD_OBJ_IMG_PATH_CHANGE, file, {b});
        QVERIFY(b->img != a->img);
        QVERIFY(near(ImageScene::render({b}, 1, false).pixelColor(b->x + 5, b->y + 5), Qt::blue));
        // Removed: still printed, with no warning.
        QVERIFY(QFile::remove(file));
        ImageOutputReport report;
        QVERIFY(near(ImageScene::render({a}, 1, true).pixelColor(200, 150), Qt::green));
        QVERIFY(report.failures().isEmpty());
    }

    void unreadableLargeAndPrintedAtTheOutputResolution()
    {
        // The photo (1200 x 900) twice at 240 x 180 and once at half that; the
        // tall picture (150 x 300) in a box of one by two inches, below the
        // resolution; the 48-megapixel picture; the files no picture can be read from.
        const QString doc = path("ppi.xml"), pdf = path("ppi.pdf");
        QList<DrawObject*> placed = {picture(path("photo.jpg"), 10, 10, 240, 180), picture(path("photo.jpg"), 10, 200, 240, 180),
                                     picture(path("photo.jpg"), 600, 250, 120, 90), picture(path("tall.png"), 600, 10, 96, 192, true, true),
                                     picture(path("big.png"), 300, 100, 240, 180)};
        for (const auto& [file, problem] : mBroken) {
            // On screen a crossed frame named after the file; nothing in print.
            std::unique_ptr<DrawObject> o(picture(file, 20, 20, 200, 150));
            const QImage screen = ImageScene::render({o.get()}, 1, false);
            QVERIFY2(o->img->problem() == problem, qPrintable(file + " " + QString::number(o->img->problem())));
            QVERIFY(near(screen.pixelColor(40, 35), QColor(128, 128, 128), 40) && near(screen.pixelColor(20, 100), QColor(128, 128, 128), 40));
            QCOMPARE(inkBounds(ImageScene::render({o.get()}, 1, true), [](const QColor& c) { return c != Qt::white; }), QRect());
            placed << picture(file, 20, 400 + 40 * placed.size(), 100, 30);
        }
        DocumentSettings s;
        s.paperMargin = 0, s.pageMax = 1;
        const bool saved = Document::save(doc, s, {placed, {}, {}, {}});
        qDeleteAll(placed);
        QVERIFY(saved);
        const auto [code, out, err] = runProgram(zamfuBinary(), {"--export-pdf", pdf, "--image-ppi", "200", doc});
        // The command line warns once per picture not drawn and still writes the PDF.
        QCOMPARE(code, 0);
        QCOMPARE(err.count("zamfu: warning: image not drawn: "), mBroken.size());
        for (const auto& item : mBroken)
            QVERIFY2(err.contains(": " + item.first + " ("), qPrintable(item.first));
        // Every placement drawn, each picture embedded once per printed size.
        QStringList sizes, seen;
        int count = 0;
        for (const QString& line : runProgram("pdfimages", {"-list", pdf}).out.split('\n').mid(2)) {
            const QStringList f = line.simplified().split(' ');
            if (f.size() <= 13 || f[2] != "image")
                continue;
            ++count;
            if (!seen.contains(f[10])) // the object: drawn twice, embedded once
                sizes << f[3] + "x" + f[4], seen << f[10];
            // Never enlarged: the small picture keeps its own pixels.
            QVERIFY2(qAbs(f[12].toInt() - (f[3] == "150" ? 150 : 200)) <= 2, qPrintable(line));
        }
        QCOMPARE(count, 5);
        QCOMPARE(sizes.join(' '), QString("500x375 250x188 150x300 500x375"));
        // The 48-megapixel picture is drawn.
        const QImage rendered = renderedPdf(pdf, 96);
        for (int i = 0; i < 4; ++i)
            QVERIFY2(near(rendered.pixelColor(360 + 120 * (i % 2), 145 + 90 * (i / 2)), mQuarters[i]), qPrintable(QString::number(i)));
        const auto [bad, o2, e2] = runProgram(zamfuBinary(), {"--export-pdf", path("bad.pdf"), "--image-ppi", "71", doc});
        QVERIFY2(bad == 2 && e2.startsWith("zamfu: ") && e2.count("zamfu: ") == 1, qPrintable(e2));
    }

    // The editor warns once per output; its print preview is the whole
    // sheet, without margins, at the program's own resolution.
    void editorWarnsOncePerOutput()
    {
        Editor e;
        Setting::PaperSize = "B5", Setting::PageMax = 4;
        e.w.setPageFormation("B5", 4, "portrait", Setting::PageDirection);
        e.w.mListArea[0]->append(picture(path("missing.png"), 10, 10, 100, 80));
        e.w.mListArea[1]->append(picture(path("cut.png"), 10, 10, 100, 80));
        e.w.mListArea[1]->append(picture(path("missing.png"), 200, 10, 100, 80));
        QString preview;
        e.seam->onDialog = [&preview](QDialog* d) {
            auto* dialog = qobject_cast<QPrintPreviewDialog*>(d);
            if (!dialog)
                return int(QDialog::Accepted);
            const QPrinter* p = dialog->printer();
            const QSize mm = p->pageLayout().fullRectPoints().size() * 25.4 / 72;
            preview = QString("%1x%2 full=%3 margins=%4 dpi=%5").arg(mm.width()).arg(mm.height()).arg(p->fullPage())
                          .arg(p->pageLayout().margins().isNull()).arg(p->resolution() == int(_PC_DPI));
            return int(QDialog::Rejected);
        };
        e.seam->fileAnswers << path("editor.pdf");
        e.w.on_btnExport_clicked();
        e.w.on_btnPrint_clicked();
        QCOMPARE(preview, QString("257x182 full=1 margins=1 dpi=1"));
        const QString list = QDir::toNativeSeparators(path("missing.png")) + "（ファイルが見つかりません）\n"
                             + QDir::toNativeSeparators(path("cut.png")) + "（壊れているか、途中で切れています）";
        QCOMPARE(e.seam->log.mid(e.seam->log.size() - 4),
                 (QStringList{"information|PDF出力|PDF出力が完了しました。", "warning|PDF出力|次の画像を描画できませんでした。\n" + list,
                              "warning|印刷|次の画像を描画できませんでした。\n" + list, "dialog|印刷プレビュー|"}));
    }

    // Today's look, kept as pictures: fitting, clipping, rotation, mold cut and
    // text on top; print output drawn at screen resolution looks the same.
    void renderingUnchanged()
    {
        const QList<DrawObject*> objects = ImageScene::objects(mDir.path());
        const QString kept = sourceDir() + "/tests/data/rendering/";
        const QImage zoom1(kept + "scene-zoom1.png"), zoom2(kept + "scene-zoom2.png");
        for (const auto& [zoom, printer, reference] : {std::tuple{1, false, zoom1}, {2, false, zoom2}, {1, true, zoom1}}) {
            const double d = differing(ImageScene::render(objects, zoom, printer), reference);
            QVERIFY2(d < 0.5, qPrintable(QString("zoom %1 %2: %3 per mille").arg(zoom).arg(printer ? "print" : "screen").arg(d)));
        }
        qDeleteAll(objects);
        const double d = differing(editorView(sourceDir() + "/examples/sample.xml"), QImage(kept + "sample-spread1.png"));
        QVERIFY2(d < 0.5, qPrintable(QString::number(d)));
    }
};

QTEST_MAIN(TstImages)
#include "tst_images.moc"
