#include "drawobject.h"
#include "objectpainter.h"

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

QImage paintOn(DrawObject& obj, bool printer = false, QRect clip1 = AREA, QRect clip2 = QRect(), QColor fill = Qt::white)
{
    QImage image = blank(fill);
    QPainter p(&image);
    paintObject(&obj, &p, clip1, clip2, printer);
    return image;
}

// A box without text, or with one hand-made layout entry.
DrawObject* box(int x, int y, int w, int h, const QString& text = QString(), QRect rect = QRect(), int kind = -1)
{
    auto* obj = new DrawObject(x, y, w, h);
    obj->text = text;
    obj->textSize = 30;
    obj->layoutRects = text.isEmpty() ? QList<QRect>() : QList<QRect>{rect};
    obj->layoutFlags = text.isEmpty() ? QList<int>() : QList<int>{Qt::AlignLeft};
    obj->layoutTexts = text.isEmpty() ? QStringList() : QStringList{text};
    obj->layoutKinds = kind < 0 ? QList<int>() : QList<int>{kind};
    return obj;
}

bool is(const QImage& image, int x, int y, QColor c, int tol = 8)
{
    const QColor g = image.pixelColor(x, y);
    return qAbs(g.red() - c.red()) <= tol && qAbs(g.green() - c.green()) <= tol && qAbs(g.blue() - c.blue()) <= tol;
}

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
bool inked(QColor c) { return c != Qt::white; }

} // namespace

class TestPainting : public QObject
{
    Q_OBJECT
private slots:
    void backgroundBorderAndClips();
    void ruledLineBits();
    void imageFitting();
    void imageFilesThatCannotBeShown();
    void rotationAndScreenMarks();
    void outlineAndImagedText();
    void verticalGlyphTransforms();
    void textImageOnlyAsLargeAsNeeded();
};

void TestPainting::backgroundBorderAndClips()
{
    QScopedPointer<DrawObject> obj(box(100, 100, 200, 100));
    obj->bgColorEnabled = true;
    obj->bgColor = Qt::blue;
    obj->bgRadius = 10;
    obj->borderStyle = 1;
    obj->borderWidth = 4;
    obj->borderColor = Qt::red;
    QImage img = paintOn(*obj);
    QVERIFY(is(img, 100, 100, Qt::white)); // rounded corner stays clear
    QVERIFY(is(img, 200, 150, Qt::blue));
    QVERIFY(is(img, 200, 101, Qt::red));
    QVERIFY(is(img, 200, 98, Qt::white));

    // Caller clips: two rectangles united, an invalid second one ignored.
    obj->bgRadius = 0;
    img = paintOn(*obj, false, QRect(0, 0, 150, 150), QRect(250, 150, 50, 50));
    QVERIFY(is(img, 120, 120, Qt::blue) && is(img, 260, 160, Qt::blue));
    QVERIFY(is(img, 200, 120, Qt::white));
    img = paintOn(*obj, false, QRect(0, 0, 150, 150), QRect(QPoint(300, 300), QPoint(200, 200)));
    QVERIFY(is(img, 260, 160, Qt::white));

    // The rounded clip does not cut the shape.
    obj->bgColorEnabled = false;
    obj->bgRadius = 40;
    obj->shapeData = "Shape=3;BodyColor=0,255,0,255;LineColor=0,255,0,255;LineWidth=1;IsEllipse=true;";
    QVERIFY(is(paintOn(*obj), 200, 101, Qt::green));
}

void TestPainting::ruledLineBits()
{
    QScopedPointer<DrawObject> obj(box(100, 100, 200, 100));
    obj->ruledlineColor = Qt::blue;
    obj->ruledline = 63;
    QCOMPARE(inkBounds(paintOn(*obj), inked), QRect()); // style 0: nothing
    obj->ruledlineStyle = 1;
    struct Probe { int bit; QPoint on; };
    const Probe probes[] = {{1, {200, 100}}, {2, {100, 150}}, {4, {299, 150}},
                            {8, {200, 199}}, {16, {150, 175}}, {32, {150, 125}}};
    for (const Probe& pr : probes) {
        obj->ruledline = pr.bit;
        const QImage img = paintOn(*obj);
        for (const Probe& other : probes)
            QVERIFY2(is(img, other.on.x(), other.on.y(), Qt::blue, 60) == (other.bit == pr.bit),
                     qPrintable(QString("bit %1 probe %2").arg(pr.bit).arg(other.bit)));
    }
    obj->ruledline = 1; // cut at a rounded corner
    obj->bgRadius = 30;
    QVERIFY(is(paintOn(*obj), 101, 100, Qt::white));
}

void TestPainting::imageFitting()
{
    const QRect b(0, 0, 100, 100);
    QCOMPARE(imageTargetRect(b, QSize(200, 100), true, true), QRect(0, 24, 100, 50));
    QCOMPARE(imageTargetRect(b, QSize(100, 200), true, true), QRect(25, 0, 50, 100));
    QCOMPARE(imageTargetRect(b, QSize(200, 100), true, false), QRect(0, 0, 100, 50));
    QCOMPARE(imageTargetRect(b, QSize(100, 200), false, true), b);

    QTemporaryDir dir;
    QImage wide(200, 100, QImage::Format_RGB32);
    wide.fill(Qt::red);
    QVERIFY(wide.save(dir.filePath("wide.png")));
    QScopedPointer<DrawObject> obj(box(100, 100, 100, 100));
    obj->setImgPath(dir.filePath("wide.png"));
    obj->imgRatioKeep = obj->imgCenter = true;
    QImage img = paintOn(*obj);
    QVERIFY(is(img, 150, 124, Qt::red) && is(img, 150, 173, Qt::red));
    QVERIFY(is(img, 150, 123, Qt::white) && is(img, 150, 174, Qt::white));
    obj->imgRatioKeep = false;
    QCOMPARE(inkBounds(paintOn(*obj), inked), QRect(100, 100, 100, 100));
}

void TestPainting::imageFilesThatCannotBeShown()
{
    QTemporaryDir dir;
    QScopedPointer<DrawObject> obj(box(10, 10, 100, 100));
    obj->imgRatioKeep = true;
    obj->setImgPath(dir.filePath("missing.png"));
    QVERIFY(!obj->img);

    auto write = [&](const QString& name, const QByteArray& bytes) {
        QFile f(dir.filePath(name));
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return f.fileName();
    };
    // A GIF declaring 40000 x 40000 must be refused before it is decoded.
    QByteArray gif("GIF89a");
    QDataStream s(&gif, QIODevice::Append);
    s.setByteOrder(QDataStream::LittleEndian);
    s << quint16(40000) << quint16(40000) << quint8(0) << quint8(0) << quint8(0) << quint8(',') << quint16(0)
      << quint16(0) << quint16(40000) << quint16(40000) << quint8(0) << quint8(2) << quint8(1) << quint8(0)
      << quint8(0) << quint8(';');
    for (const QString& path : {write("junk.png", "not an image"), write("huge.gif", gif)}) {
        obj->setImgPath(path);
        QVERIFY(!obj->img || obj->img->isNull());
        QCOMPARE(obj->imgPath, path);
        QCOMPARE(inkBounds(paintOn(*obj), inked), QRect());
    }
    obj->setImgPath(QString());
    QVERIFY(!obj->img);
}

void TestPainting::rotationAndScreenMarks()
{
    QScopedPointer<DrawObject> obj(box(200, 190, 100, 20));
    obj->bgColorEnabled = true;
    obj->bgColor = Qt::blue;
    obj->r = 90;
    QCOMPARE(inkBounds(paintOn(*obj), inked), QRect(240, 150, 20, 100));

    // Selection frame and chain number on screen only.
    obj->r = 0;
    obj->bgColorEnabled = false;
    obj->selected = true;
    QList<DrawObject*> chain = {obj.data()};
    obj->textLinkList = &chain;
    const QImage screen = paintOn(*obj);
    QVERIFY(screen.pixelColor(295, 205).red() > 200 && screen.pixelColor(295, 205).green() < 250);
    QVERIFY(inkBounds(screen, inked).contains(QRect(201, 191, 98, 18)));
    QCOMPARE(inkBounds(paintOn(*obj, true), inked), QRect());

    // On a real printer device the marks are left out by detection alone.
    QTemporaryDir dir;
    QPrinter printer(QPrinter::ScreenResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("out.pdf"));
    QVERIFY(isPrinterDevice(&printer));
    QImage image = blank();
    QVERIFY(!isPrinterDevice(&image));
    obj->textEdgeWidth = 2;
    obj->layoutRects = {QRect(4, 4, 100, 40)};
    obj->layoutFlags = {Qt::AlignLeft};
    obj->layoutTexts = {obj->text = "Ab"};
    QPainter p(&printer);
    obj->paint(&p, AREA, QRect());
    p.end();
    QVERIFY(obj->textImage);
    QCOMPARE(obj->textImage->size(), QSize(200, 40)); // twice the box, finer for print
    obj->textLinkList = nullptr;
}

void TestPainting::outlineAndImagedText()
{
    QScopedPointer<DrawObject> obj(box(100, 100, 200, 100, "I", QRect(20, 10, 100, 80)));
    obj->textEdgeColor = Qt::red;
    const QImage plain = paintOn(*obj);
    const QRect glyph = inkBounds(plain, inked);
    QVERIFY(!obj->textImage); // nothing off-screen without outline or imaging
    for (bool printer : {false, true}) {
        obj->textEdgeWidth = 3;
        const QImage out = paintOn(*obj, printer);
        const QRect edge = inkBounds(out, [](QColor c) { return c.red() > c.green() + 30; });
        // Printer output comes from a finer image: its faint edge may move by one.
        const int slack = printer ? 1 : 0;
        QVERIFY(qAbs(edge.left() - (glyph.left() - 3)) <= slack);
        QVERIFY(qAbs(edge.top() - (glyph.top() - 3)) <= slack);
        QCOMPARE(inkBounds(out, dark), inkBounds(plain, dark)); // text on top
    }
    // Imaged text: alpha 255 becomes 254; drawn direct it stays 255.
    obj->textEdgeWidth = 0;
    auto maxAlpha = [](const QImage& image) {
        int a = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                a = qMax(a, qAlpha(image.pixel(x, y)));
        return a;
    };
    QCOMPARE(maxAlpha(paintOn(*obj, false, AREA, QRect(), Qt::transparent)), 255);
    obj->textImaging = true;
    const QImage imaged = paintOn(*obj, false, AREA, QRect(), Qt::transparent);
    QCOMPARE(maxAlpha(imaged), 254);
    QCOMPARE(inkBounds(imaged, dark), inkBounds(plain, dark));
}

void TestPainting::verticalGlyphTransforms()
{
    QScopedPointer<DrawObject> obj(box(100, 50, 200, 200));
    obj->textTategaki = true;
    const QFontMetrics fm(obj->makeFont());
    const int ooW = fm.horizontalAdvance("oo");
    const int pitch = 2 - fm.boundingRect("Q").top();
    auto bounds = [&](const QString& text, int kind) {
        obj->text = text;
        obj->layoutRects = {QRect(60, 60, 80, 80)};
        obj->layoutFlags = {Qt::AlignLeft};
        obj->layoutTexts = {text};
        obj->layoutKinds = {kind};
        return inkBounds(paintOn(*obj), dark);
    };
    const QRect flat = bounds("－", 0), turned = bounds("－", 1);
    QVERIFY(flat.width() > 2 * flat.height());
    QVERIFY(turned.height() > 2 * turned.width());
    obj->textTateRevRotateY = 5; // in the turned frame: moves down the page
    QCOMPARE(bounds("－", 1).topLeft() - turned.topLeft(), QPoint(0, 5));
    obj->textTateRevMiniX = 3;
    obj->textTateRevMiniY = -2;
    const QRect mini = bounds("ゃ", 2);
    QCOMPARE(mini.topLeft() - bounds("ゃ", 0).topLeft(), QPoint(3 + ooW / 5, -2 - pitch / 5));
    obj->textImaging = true; // the off-screen path places glyphs the same way
    QCOMPARE(bounds("ゃ", 2), mini);
}

void TestPainting::textImageOnlyAsLargeAsNeeded()
{
    // Printed, a 9999 x 9999 box gets an off-screen image only for what the
    // clip lets through, and looks exactly like a small box with that text.
    QScopedPointer<DrawObject> big(box(100, 100, 9999, 9999, "Zamfu", QRect(10, 10, 300, 60)));
    QScopedPointer<DrawObject> small(box(100, 100, 400, 200, "Zamfu", QRect(10, 10, 300, 60)));
    for (DrawObject* o : {big.data(), small.data()})
        o->textEdgeWidth = 2, o->textImaging = true;
    const qint64 bound = qint64(AREA.width() * 2 + 4) * (AREA.height() * 2 + 4);
    for (bool printer : {false, true}) {
        const QImage a = paintOn(*small, printer);
        QCOMPARE(paintOn(*big, printer), a);
        QVERIFY(big->textImage);
        QVERIFY(qint64(big->textImage->width()) * big->textImage->height() <= bound);
        // Half clipped away: the other half is pixel-identical.
        const QImage half = paintOn(*small, printer, QRect(0, 0, 200, 397));
        QCOMPARE(half.copy(0, 0, 200, 397), a.copy(0, 0, 200, 397));
        QCOMPARE(inkBounds(half.copy(200, 0, 360, 397), inked), QRect());
    }
    // Turned half round, mostly off the device: the visible part is found in
    // the turned frame.
    QScopedPointer<DrawObject> turnedBig(box(-4000, -4000, 9999, 9999, "Zamfu", QRect(5798, 5798, 300, 60)));
    QScopedPointer<DrawObject> turnedSmall(box(-1, -1, 2000, 2000, "Zamfu", QRect(1799, 1799, 300, 60)));
    for (DrawObject* o : {turnedBig.data(), turnedSmall.data()})
        o->r = 180, o->textEdgeWidth = 2, o->textImaging = true;
    const QImage a = paintOn(*turnedSmall, true);
    QVERIFY(!inkBounds(a, dark).isEmpty());
    QCOMPARE(paintOn(*turnedBig, true), a);
    QVERIFY(turnedBig->textImage);
    QVERIFY(qint64(turnedBig->textImage->width()) * turnedBig->textImage->height() <= bound);
}

QTEST_MAIN(TestPainting)
#include "tst_painting.moc"
