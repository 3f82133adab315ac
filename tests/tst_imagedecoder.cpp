// The image decoder on every kind of file it treats apart, on hostile files
// built to cost memory or time, and on every input the fuzz target stopped on.
#include "imagedecoder.h"
#include "imagekinds.h"
#include "testsupport.h"
#include "tests/fuzz/imagecheck.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <sys/resource.h>

namespace {

qint64 peakMegabytes()
{
    rusage r{};
    getrusage(RUSAGE_SELF, &r);
    return r.ru_maxrss / 1024;
}

QByteArray deflated(const QByteArray& data)
{
    return qCompress(data, 9).mid(4); // less Qt's length prefix
}

} // namespace

class TstImageDecoder : public QObject
{
    Q_OBJECT
    QTemporaryDir mDir;

    QString write(const QString& name, const QByteArray& bytes)
    {
        return ImageKinds::write(mDir.filePath(name), bytes) ? mDir.filePath(name) : QString();
    }

private slots:
    // First, while the process's peak memory is still low.
    void compressedTextIsNotInflated()
    {
        // Forty text chunks of 8 MB each, deflated to 8 KB: libpng would
        // inflate and keep every one while reading the header.
        const QByteArray text = "Comment" + QByteArray(2, 0) + deflated(QByteArray(7900000, 'a'));
        QByteArray bomb = ImageKinds::pngHeader(1, 1, 8, 0);
        for (int i = 0; i < 40; ++i)
            bomb += ImageKinds::pngChunk("zTXt", text);
        bomb += ImageKinds::pngChunk("IDAT", deflated(QByteArray("\0\x80", 2))) + ImageKinds::pngChunk("IEND", {});
        const qint64 before = peakMegabytes();
        ImageDecoder::Problem problem;
        const QImage image = ImageDecoder::decode(write("text.png", bomb), QSize(), &problem);
        QVERIFY(problem == ImageDecoder::NoProblem && image.pixelColor(0, 0) == QColor(128, 128, 128));
        QVERIFY2(peakMegabytes() - before < 100, qPrintable(QString("%1 MB more").arg(peakMegabytes() - before)));
    }

    // Each kind at full size, reduced evenly and unevenly, and tiny, every
    // quarter in its colour and transparency.
    void everyKindDecodes()
    {
        for (const ImageKinds::Kind& kind : ImageKinds::all()) {
            const QString path = write(kind.name, kind.bytes), suffix = QFileInfo(path).suffix();
            const ImageDecoder::Header h = ImageDecoder::probe(path);
            QVERIFY2(h.problem == ImageDecoder::NoProblem && h.size == kind.encoded.size()
                         && h.format == (suffix == "jpg" ? "jpeg" : suffix.toLatin1()), qPrintable(kind.name));
            for (const QSize want : {QSize(), QSize(32, 4), QSize(2, 2)}) {
                ImageDecoder::Problem problem;
                const QImage image = ImageDecoder::decode(path, want, &problem);
                const QSize size = want.isEmpty() ? kind.encoded.size() : want;
                const QString what = QString("%1 at %2x%3").arg(kind.name).arg(size.width()).arg(size.height());
                QVERIFY2(ImageCheck::checkDecoded(image, problem, size).isEmpty() && !image.isNull(), qPrintable(what));
                for (int q = 0; q < 4; ++q) {
                    const QRgb got = image.convertToFormat(QImage::Format_ARGB32_Premultiplied)
                                         .pixel((2 * (q % 2) + 1) * size.width() / 4, (2 * (q / 2) + 1) * size.height() / 4);
                    const QRgb expected = qPremultiply(kind.encoded.pixel((2 * (q % 2) + 1) * 16, (2 * (q / 2) + 1) * 8));
                    for (int shift = 0; shift < 32; shift += 8) // each channel
                        QVERIFY2(qAbs(int(got >> shift & 0xff) - int(expected >> shift & 0xff)) <= kind.tolerance,
                                 qPrintable(QString("%1, quarter %2: %3 instead of %4").arg(what).arg(q).arg(got, 8, 16).arg(expected, 8, 16)));
                }
            }
        }
    }

    // Files whose header promises one thing and whose decoding would take
    // far more.
    void hostileFilesRefusedCheaply()
    {
        // GIF: Qt reports a picture of 1 x 16384, then allocates its logical
        // screen, 14368 x 10495 (from 47 bytes); or reports 8192 x 2 where it
        // allocates the frame's width over the screen's height. ICO: the
        // directory says 16 x 16, the PNG inside 20000 x 20000; or an entry
        // claims more than the file, which Qt's reader would allocate first.
        const QString found = sourceDir() + "/tests/fuzz/image-regressions/";
        QCOMPARE(ImageDecoder::probe(found + "gif-screen-beyond-reported-size.gif").problem, ImageDecoder::TooLarge);
        QCOMPARE(ImageDecoder::probe(found + "gif-frame-beyond-reported-size.gif").size, QSize(8192, 6400));
        QCOMPARE(ImageDecoder::probe(found + "ico-holding-huge-png.ico").problem, ImageDecoder::TooLarge);
        QCOMPARE(ImageDecoder::probe(found + "ico-entry-longer-than-file.ico").problem, ImageDecoder::Damaged);

        // A JPEG with a stray byte after its start is still JPEG: read by our
        // own decoder, reduced, not whole by Qt's (which refuses this size).
        QByteArray jpeg = ImageKinds::all()[0].bytes;
        const int sof = jpeg.indexOf("\xff\xc0");
        qToBigEndian<quint16>(11000, jpeg.data() + sof + 5);
        qToBigEndian<quint16>(12000, jpeg.data() + sof + 7);
        const ImageDecoder::Header big = ImageDecoder::probe(write("stray.jpg", jpeg.insert(2, '\0')));
        QVERIFY(big.problem == ImageDecoder::NoProblem && big.size == QSize(12000, 11000));

        // A scan repeated 450 times costs 450 passes over 10 megapixels
        // (seconds for a few kilobytes): refused once scans times pixels pass
        // a bound; real files have about ten.
        ImageDecoder::Problem problem;
        const QString scans = write("scans.jpg", ImageKinds::repeatedScans(QSize(4000, 2500), 444));
        QVERIFY(ImageDecoder::decode(scans, QSize(40, 25), &problem).isNull() && problem == ImageDecoder::Damaged);
        const QString few = write("few.jpg", ImageKinds::repeatedScans(QSize(4000, 2500), 10));
        QVERIFY(!ImageDecoder::decode(few, QSize(40, 25), &problem).isNull());
    }

    void fuzzFindingsDecodeSafely()
    {
        const QDir dir(sourceDir() + "/tests/fuzz/image-regressions");
        for (const QString& name : dir.entryList(QDir::Files)) {
            const QString wrong = ImageCheck::check(dir.filePath(name));
            QVERIFY2(wrong.isEmpty(), qPrintable(name + ": " + wrong));
        }
    }
};

QTEST_MAIN(TstImageDecoder)
#include "tst_imagedecoder.moc"
