#include "drawobject.h"
#include "objectpainter.h"
#include "shapes.h"

#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QRect AREA(0, 0, 560, 397);

QImage blank(QColor fill = Qt::white)
{
    QImage image(AREA.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(fill);
    return image;
}

void paintInto(QImage& image, DrawObject& obj, bool printer = false, QRect clip1 = AREA, QRect clip2 = QRect())
{
    QPainter p(&image);
    paintObject(&obj, &p, clip1, clip2, printer);
}

// A plain box without text (the layout may have filled the default text).
DrawObject* plainBox(int x, int y, int w, int h)
{
    auto* obj = new DrawObject(x, y, w, h);
    obj->text.clear();
    obj->layoutRects.clear();
    obj->layoutFlags.clear();
    obj->layoutTexts.clear();
    obj->layoutKinds.clear();
    return obj;
}

// Puts one text entry into the layout by hand, as the layout would.
void setEntry(DrawObject& obj, const QString& text, const QRect& rect, int kind = -1)
{
    obj.text = text;
    obj.layoutRects = {rect};
    obj.layoutFlags = {Qt::AlignLeft};
    obj.layoutTexts = {text};
    obj.layoutKinds.clear();
    if (kind >= 0)
        obj.layoutKinds = {kind};
}

bool near(QColor a, QColor b, int tol = 8)
{
    return qAbs(a.red() - b.red()) <= tol && qAbs(a.green() - b.green()) <= tol && qAbs(a.blue() - b.blue()) <= tol;
}

// Bounding box of the pixels matching pred.
template <typename Pred>
QRect inkBounds(const QImage& image, Pred pred)
{
    QRect r;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (pred(image.pixelColor(x, y)))
                r |= QRect(x, y, 1, 1);
    return r;
}

bool dark(QColor c) { return c.alpha() > 0 && c.value() < 100; }

QString writeImage(const QTemporaryDir& dir, const QString& name, QSize size, QColor color)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    const QString path = dir.filePath(name);
    image.save(path);
    return path;
}

quint32 crc32(const QByteArray& data)
{
    quint32 crc = 0xffffffffu;
    for (char ch : data) {
        crc ^= quint8(ch);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

QByteArray pngChunk(const QByteArray& type, const QByteArray& body)
{
    QByteArray out;
    QDataStream s(&out, QIODevice::WriteOnly);
    s << quint32(body.size());
    out += type + body;
    QByteArray crc;
    QDataStream c(&crc, QIODevice::WriteOnly);
    c << crc32(type + body);
    return out + crc;
}

// A PNG whose header declares the size; the pixel data is a stub.
QByteArray pngHeaderOnly(quint32 w, quint32 h)
{
    QByteArray ihdr;
    QDataStream s(&ihdr, QIODevice::WriteOnly);
    s << w << h << quint8(8) << quint8(6) << quint8(0) << quint8(0) << quint8(0);
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", ihdr) + pngChunk("IDAT", QByteArray(8, '\0'))
           + pngChunk("IEND", QByteArray());
}

} // namespace

class TestPainting : public QObject
{
    Q_OBJECT
private slots:
    void backgroundFollowsRadius();
    void imageFitsTheBox();
    void imageFilesThatCannotBeShown();
    void borderAndRuledLines();
    void clipsFromTheCaller();
    void rotationTurnsTheWholeObject();
    void screenMarksOnlyOnScreen();
    void printerIsDetectedFromTheDevice();
    void outlineSurroundsTheGlyphs();
    void imagedTextIsAlmostOpaque();
    void verticalGlyphTransforms();
    void textImageOnlyAsLargeAsNeeded();
};

void TestPainting::backgroundFollowsRadius()
{
    QScopedPointer<DrawObject> obj(plainBox(100, 100, 200, 100));
    obj->bgColorEnabled = true;
    obj->bgColor = QColor(0, 0, 255);
    obj->bgRadius = 10;
    obj->borderStyle = 1;
    obj->borderWidth = 4;
    obj->borderColor = Qt::red;
    QImage image = blank();
    paintInto(image, *obj);
    QVERIFY(near(image.pixelColor(100, 100), Qt::white)); // corner cut
    QVERIFY(near(image.pixelColor(299, 199), Qt::white));
    QVERIFY(near(image.pixelColor(200, 150), Qt::blue));
    QVERIFY(near(image.pixelColor(200, 101), Qt::red)); // border follows the top edge
    // Square corners without a radius; nothing outside the box.
    obj->bgRadius = 0;
    obj->borderStyle = 0;
    image = blank();
    paintInto(image, *obj);
    QVERIFY(near(image.pixelColor(100, 100), Qt::blue));
    QVERIFY(near(image.pixelColor(299, 199), Qt::blue));
    QVERIFY(near(image.pixelColor(300, 150), Qt::white));
    QVERIFY(near(image.pixelColor(99, 150), Qt::white));
    // The rounded clip does not cut the shape.
    obj->bgColorEnabled = false;
    obj->bgRadius = 40;
    obj->shapeData = "Shape=3;BodyColor=0,255,0,255;LineColor=0,255,0,255;LineWidth=1;IsEllipse=true;MoldCut=none;";
    obj->w = obj->h = 100;
    image = blank();
    paintInto(image, *obj);
    QVERIFY(near(image.pixelColor(150, 101), Qt::green));
}

void TestPainting::imageFitsTheBox()
{
    const QRect box(0, 0, 100, 100);
    QCOMPARE(imageTargetRect(box, QSize(200, 100), true, true), QRect(0, 24, 100, 50));
    QCOMPARE(imageTargetRect(box, QSize(100, 200), true, true), QRect(25, 0, 50, 100));
    QCOMPARE(imageTargetRect(box, QSize(200, 100), true, false), QRect(0, 0, 100, 50));
    QCOMPARE(imageTargetRect(box, QSize(100, 200), true, false), QRect(0, 0, 50, 100));
    QCOMPARE(imageTargetRect(box, QSize(100, 200), false, true), box);
    QCOMPARE(imageTargetRect(QRect(10, 10, 60, 60), QSize(30, 30), true, true), QRect(10, 10, 60, 60));
    // Degenerate sizes stay inside the box.
    QVERIFY(box.contains(imageTargetRect(box, QSize(0, 50), true, true)) || imageTargetRect(box, QSize(0, 50), true, true).isEmpty());
    QVERIFY(imageTargetRect(box, QSize(100000, 1), true, true).height() <= 1);

    QTemporaryDir dir;
    QScopedPointer<DrawObject> obj(plainBox(100, 100, 100, 100));
    obj->setImgPath(writeImage(dir, "wide.png", QSize(200, 100), Qt::red));
    QVERIFY(obj->img && !obj->img->isNull());
    obj->imgRatioKeep = true;
    obj->imgCenter = true;
    QImage image = blank();
    paintInto(image, *obj);
    QVERIFY(near(image.pixelColor(150, 124), Qt::red));
    QVERIFY(near(image.pixelColor(150, 173), Qt::red));
    QVERIFY(near(image.pixelColor(150, 123), Qt::white));
    QVERIFY(near(image.pixelColor(150, 174), Qt::white));
    obj->imgRatioKeep = false;
    image = blank();
    paintInto(image, *obj);
    QVERIFY(near(image.pixelColor(100, 100), Qt::red));
    QVERIFY(near(image.pixelColor(199, 199), Qt::red));
    QVERIFY(near(image.pixelColor(200, 200), Qt::white));
}

void TestPainting::imageFilesThatCannotBeShown()
{
    QTemporaryDir dir;
    QScopedPointer<DrawObject> obj(plainBox(10, 10, 100, 100));

    obj->setImgPath(dir.filePath("missing.png"));
    QVERIFY(!obj->img);
    QCOMPARE(obj->imgPath, dir.filePath("missing.png"));

    QFile junk(dir.filePath("junk.png"));
    QVERIFY(junk.open(QIODevice::WriteOnly));
    junk.write("this is not an image");
    junk.close();
    obj->setImgPath(junk.fileName());
    QVERIFY(!obj->img || obj->img->isNull());

    // 40000 x 40000 declared: refused before decoding, path kept.
    QFile huge(dir.filePath("huge.png"));
    QVERIFY(huge.open(QIODevice::WriteOnly));
    huge.write(pngHeaderOnly(40000, 40000));
    huge.close();
    QCOMPARE(QImageReader(huge.fileName()).size(), QSize(40000, 40000));
    obj->setImgPath(huge.fileName());
    QVERIFY(!obj->img || obj->img->isNull());
    QCOMPARE(obj->imgPath, huge.fileName());

    // None of them paints anything or crashes.
    obj->imgRatioKeep = true;
    QImage image = blank();
    paintInto(image, *obj);
    QCOMPARE(inkBounds(image, [](QColor c) { return c != Qt::white; }), QRect());

    // Clearing the path drops the image.
    obj->setImgPath(writeImage(dir, "ok.png", QSize(4, 4), Qt::red));
    QVERIFY(obj->img && !obj->img->isNull());
    obj->setImgPath(QString());
    QVERIFY(!obj->img);
}

void TestPainting::borderAndRuledLines()
{
    QScopedPointer<DrawObject> obj(plainBox(100, 100, 200, 100));
    obj->borderColor = Qt::red;
    obj->borderStyle = 1;
    obj->borderWidth = 0;
    QImage image = blank();
    paintInto(image, *obj);
    QVERIFY(near(image.pixelColor(200, 100), Qt::white));
    obj->borderWidth = 3;
    obj->borderStyle = 0;
    image = blank();
    paintInto(image, *obj);
    QVERIFY(near(image.pixelColor(200, 100), Qt::white));
    obj->borderStyle = 1;
    image = blank();
    paintInto(image, *obj);
    QVERIFY(near(image.pixelColor(200, 101), Qt::red));
    QVERIFY(near(image.pixelColor(101, 150), Qt::red));
    QVERIFY(near(image.pixelColor(200, 150), Qt::white));
    obj->borderStyle = 0;

    obj->ruledlineColor = Qt::blue;
    obj->ruledlineWidth = 1;
    obj->ruledlineStyle = 0;
    obj->ruledline = 63;
    image = blank();
    paintInto(image, *obj);
    QVERIFY(near(image.pixelColor(200, 100), Qt::white));

    // Each bit draws its own line and no other.
    obj->ruledlineStyle = 1;
    struct Probe { int bit; QPoint on; };
    const Probe probes[] = {{1, {200, 100}}, {2, {100, 150}}, {4, {299, 150}}, {8, {200, 199}},
                            {16, {150, 175}}, {32, {150, 125}}};
    for (const Probe& pr : probes) {
        obj->ruledline = pr.bit;
        image = blank();
        paintInto(image, *obj);
        for (const Probe& other : probes)
            QVERIFY2(near(image.pixelColor(other.on), Qt::blue, 60) == (other.bit == pr.bit),
                     qPrintable(QString("bit %1 probe %2").arg(pr.bit).arg(other.bit)));
    }
    // With a radius the lines are cut at the rounded corner.
    obj->ruledline = 1;
    obj->bgRadius = 30;
    image = blank();
    paintInto(image, *obj);
    QVERIFY(near(image.pixelColor(101, 100), Qt::white));
    QVERIFY(near(image.pixelColor(200, 100), Qt::blue, 60));
}

void TestPainting::clipsFromTheCaller()
{
    QScopedPointer<DrawObject> obj(plainBox(0, 0, 560, 397));
    obj->bgColorEnabled = true;
    obj->bgColor = Qt::blue;
    QImage image = blank();
    paintInto(image, *obj, false, QRect(0, 0, 100, 100), QRect(200, 200, 50, 50));
    QVERIFY(near(image.pixelColor(50, 50), Qt::blue));
    QVERIFY(near(image.pixelColor(220, 220), Qt::blue));
    QVERIFY(near(image.pixelColor(150, 150), Qt::white));
    QVERIFY(near(image.pixelColor(100, 50), Qt::white));
    // An invalid second rectangle is ignored; overlapping ones are united.
    image = blank();
    paintInto(image, *obj, false, QRect(0, 0, 100, 100), QRect(QPoint(300, 300), QPoint(200, 200)));
    QVERIFY(near(image.pixelColor(250, 250), Qt::white));
    image = blank();
    paintInto(image, *obj, false, QRect(0, 0, 100, 100), QRect(50, 50, 100, 100));
    QVERIFY(near(image.pixelColor(75, 75), Qt::blue));
}

void TestPainting::rotationTurnsTheWholeObject()
{
    QScopedPointer<DrawObject> obj(plainBox(200, 190, 100, 20));
    obj->bgColorEnabled = true;
    obj->bgColor = Qt::blue;
    obj->selected = true;
    obj->r = 90;
    QImage image = blank();
    paintInto(image, *obj);
    QVERIFY(near(image.pixelColor(250, 160), Qt::blue));
    QVERIFY(near(image.pixelColor(250, 240), Qt::blue));
    QVERIFY(near(image.pixelColor(210, 200), Qt::white));
    QVERIFY(near(image.pixelColor(290, 200), Qt::white));
    // The selection frame turns with it.
    const QRect frame = inkBounds(image, [](QColor c) { return c.value() < 160; });
    QVERIFY(qAbs(frame.width() - 20) <= 2);
    QVERIFY(qAbs(frame.height() - 100) <= 2);
}

void TestPainting::screenMarksOnlyOnScreen()
{
    QScopedPointer<DrawObject> obj(plainBox(100, 100, 200, 100));
    obj->selected = true;
    QList<DrawObject*> chain = {obj.data()};
    obj->textLinkList = &chain;
    QImage screen = blank();
    paintInto(screen, *obj, false);
    QVERIFY(screen.pixelColor(290, 190).green() < 250); // chain number square
    QVERIFY(screen.pixelColor(290, 190).red() > 200);
    const QRect frame = inkBounds(screen, [](QColor c) { return c.value() < 160; });
    QVERIFY(frame.contains(QRect(101, 101, 198, 98)));

    QImage print = blank();
    paintInto(print, *obj, true);
    QCOMPARE(inkBounds(print, [](QColor c) { return c != Qt::white; }), QRect());
    obj->textLinkList = nullptr;
}

void TestPainting::printerIsDetectedFromTheDevice()
{
    QTemporaryDir dir;
    QPrinter printer(QPrinter::ScreenResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("out.pdf"));
    QVERIFY(isPrinterDevice(&printer));
    QImage image = blank();
    QVERIFY(!isPrinterDevice(&image));
    QVERIFY(!isPrinterDevice(nullptr));

    // Painting a selected, outlined box on a real printer device works and
    // sizes the off-screen image at the finer print resolution.
    QScopedPointer<DrawObject> obj(plainBox(10, 10, 200, 100));
    obj->selected = true;
    obj->textEdgeWidth = 2;
    setEntry(*obj, "Ab", QRect(4, 4, 100, 40));
    QPainter p(&printer);
    obj->paint(&p, AREA, QRect());
    p.end();
    QVERIFY(obj->textImage);
    QCOMPARE(obj->textImage->size(), QSize(400, 200));
    QVERIFY(QFileInfo(dir.filePath("out.pdf")).size() > 0);

    // A painter without a device is ignored.
    QPainter idle;
    obj->paint(&idle, AREA, QRect());
}

void TestPainting::outlineSurroundsTheGlyphs()
{
    QScopedPointer<DrawObject> obj(plainBox(100, 100, 200, 100));
    obj->textSize = 40;
    setEntry(*obj, "I", QRect(20, 10, 100, 80));
    obj->textColor = Qt::black;
    obj->textEdgeColor = Qt::red;
    QImage plain = blank();
    paintInto(plain, *obj);
    const QRect glyph = inkBounds(plain, [](QColor c) { return c != Qt::white; });
    QVERIFY(!glyph.isEmpty());
    QVERIFY(!obj->textImage); // not needed without outline or imaging

    auto reddish = [](QColor c) { return c.red() > c.green() + 30; };
    for (bool printer : {false, true}) {
        for (int e : {1, 3}) {
            obj->textEdgeWidth = e;
            QImage out = blank();
            paintInto(out, *obj, printer);
            const QRect edge = inkBounds(out, reddish);
            QVERIFY(!edge.isEmpty());
            // Printer output is drawn from a finer image; scaled back down
            // to screen pixels its faint edge may move by one.
            const int slack = printer ? 1 : 0;
            QVERIFY(qAbs(edge.left() - (glyph.left() - e)) <= slack);
            QVERIFY(qAbs(edge.right() - (glyph.right() + e)) <= slack);
            QVERIFY(qAbs(edge.top() - (glyph.top() - e)) <= slack);
            QCOMPARE(inkBounds(out, dark), inkBounds(plain, dark)); // text stays on top
        }
    }
    // Vertical writing on screen uses only the diagonal offsets.
    obj->textTategaki = true;
    obj->layoutKinds = {0};
    obj->textEdgeWidth = 2;
    QImage out = blank();
    paintInto(out, *obj);
    const QRect edge = inkBounds(out, reddish);
    QCOMPARE(edge.left(), glyph.left() - 2);
    QCOMPARE(edge.top(), glyph.top() - 2);
}

void TestPainting::imagedTextIsAlmostOpaque()
{
    QScopedPointer<DrawObject> obj(plainBox(100, 100, 200, 100));
    obj->textSize = 40;
    setEntry(*obj, "■", QRect(10, 10, 120, 80));
    auto maxAlpha = [](const QImage& image) {
        int a = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                a = qMax(a, qAlpha(image.pixel(x, y)));
        return a;
    };
    QImage direct = blank(Qt::transparent);
    paintInto(direct, *obj);
    QCOMPARE(maxAlpha(direct), 255);
    obj->textImaging = true;
    QImage imaged = blank(Qt::transparent);
    paintInto(imaged, *obj);
    QCOMPARE(maxAlpha(imaged), 254);
    QCOMPARE(inkBounds(imaged, dark), inkBounds(direct, dark));
    // Empty text: no text, no outline, no image.
    obj->text.clear();
    obj->textEdgeWidth = 2;
    delete obj->textImagePainter;
    obj->textImagePainter = nullptr;
    delete obj->textImage;
    obj->textImage = nullptr;
    QImage none = blank(Qt::transparent);
    paintInto(none, *obj);
    QCOMPARE(maxAlpha(none), 0);
    QVERIFY(!obj->textImage);
}

void TestPainting::verticalGlyphTransforms()
{
    QScopedPointer<DrawObject> obj(plainBox(100, 50, 200, 200));
    obj->textSize = 40;
    obj->textTategaki = true;
    const QFontMetrics fm(obj->makeFont());
    const int ooW = fm.horizontalAdvance("oo");
    const int pitch = 2 - fm.boundingRect("Q").top();
    const QRect rect(60, 60, 80, 80);
    auto bounds = [&](const QString& text, int kind) {
        setEntry(*obj, text, rect, kind);
        QImage image = blank();
        paintInto(image, *obj);
        return inkBounds(image, dark);
    };
    // A turned dash stands upright.
    const QRect flat = bounds("－", 0);
    const QRect turned = bounds("－", 1);
    QVERIFY(flat.width() > 2 * flat.height());
    QVERIFY(turned.height() > 2 * turned.width());
    // Small kana and punctuation move by their fixed share plus the correction.
    obj->textTateRevMiniX = 3;
    obj->textTateRevMiniY = -2;
    const QRect upright = bounds("ゃ", 0);
    const QRect mini = bounds("ゃ", 2);
    QCOMPARE(mini.topLeft() - upright.topLeft(), QPoint(3 + ooW / 5, -2 - pitch / 5));
    obj->textTateRevPuncX = -1;
    obj->textTateRevPuncY = 4;
    const QRect punc = bounds("、", 3);
    QCOMPARE(punc.topLeft() - bounds("、", 0).topLeft(), QPoint(-1 + (2 * ooW) / 3, 4 - pitch / 2));
    // The rotation correction shifts turned glyphs.
    obj->textTateRevRotateY = 5;
    QCOMPARE(bounds("－", 1).topLeft() - turned.topLeft(), QPoint(0, 5));
    // The same glyphs through the off-screen image land where drawn directly.
    obj->textImaging = true;
    QCOMPARE(bounds("ゃ", 2), mini);
}

void TestPainting::textImageOnlyAsLargeAsNeeded()
{
    // A huge box printed: the off-screen image covers only what the caller's
    // clip lets through, not 9999 x 9999 at twice the resolution.
    QScopedPointer<DrawObject> big(plainBox(100, 100, 9999, 9999));
    big->textSize = 30;
    big->textEdgeWidth = 2;
    big->textImaging = true;
    setEntry(*big, "Zamfu", QRect(10, 10, 300, 60));
    QImage bigOut = blank();
    paintInto(bigOut, *big, true);
    QVERIFY(big->textImage);
    QVERIFY(qint64(big->textImage->width()) * big->textImage->height() <= qint64(AREA.width() * 2 + 4) * (AREA.height() * 2 + 4));

    // Ordinary output is unchanged: the same text in a small box looks the same.
    QScopedPointer<DrawObject> small(plainBox(100, 100, 400, 200));
    small->textSize = 30;
    small->textEdgeWidth = 2;
    small->textImaging = true;
    setEntry(*small, "Zamfu", QRect(10, 10, 300, 60));
    for (bool printer : {false, true}) {
        QImage a = blank(), b = blank();
        paintInto(a, *small, printer);
        paintInto(b, *big, printer);
        QCOMPARE(a, b);
        // Clipping half of it away leaves the other half pixel-identical.
        QImage half = blank();
        paintInto(half, *small, printer, QRect(0, 0, 200, 397));
        QCOMPARE(half.copy(0, 0, 200, 397), a.copy(0, 0, 200, 397));
        QCOMPARE(half.copy(200, 0, 360, 397), blank().copy(200, 0, 360, 397));
    }
    // Turned half round, mostly off the device: the visible part is found in
    // the turned frame and looks as it does from a smaller box.
    QScopedPointer<DrawObject> turnedBig(plainBox(-4000, -4000, 9999, 9999));
    QScopedPointer<DrawObject> turnedSmall(plainBox(-1, -1, 2000, 2000));
    for (DrawObject* obj : {turnedBig.data(), turnedSmall.data()}) {
        obj->r = 180;
        obj->textSize = 30;
        obj->textEdgeWidth = 2;
        obj->textImaging = true;
        setEntry(*obj, "Zamfu", QRect(1798 - obj->x, 1798 - obj->y, 300, 60));
    }
    for (bool printer : {false, true}) {
        QImage a = blank(), b = blank();
        paintInto(a, *turnedSmall, printer);
        paintInto(b, *turnedBig, printer);
        QVERIFY(!inkBounds(b, dark).isEmpty());
        QCOMPARE(a, b);
        QVERIFY(qint64(turnedBig->textImage->width()) * turnedBig->textImage->height()
                <= qint64(AREA.width() * 2 + 4) * (AREA.height() * 2 + 4));
    }
    // Entirely clipped away: nothing drawn, nothing allocated.
    QScopedPointer<DrawObject> hidden(plainBox(100, 100, 400, 200));
    hidden->textEdgeWidth = 1;
    setEntry(*hidden, "Zamfu", QRect(10, 10, 300, 60));
    QImage none = blank();
    paintInto(none, *hidden, true, QRect(0, 0, 50, 50));
    QVERIFY(!hidden->textImage);
    // Zero-sized boxes paint nothing and do not fail.
    QScopedPointer<DrawObject> empty(plainBox(10, 10, 0, 0));
    empty->textEdgeWidth = 1;
    empty->textImaging = true;
    setEntry(*empty, "x", QRect(0, 0, 10, 10));
    QImage e = blank();
    paintInto(e, *empty, true);
    QCOMPARE(e, blank());
}

QTEST_MAIN(TestPainting)
#include "tst_painting.moc"
