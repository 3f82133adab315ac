#include "drawobject.h"
#include "objectpainter.h"
#include "pagefont.h"
#include "shapes.h"
#include "testsupport.h"

#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <climits>
#include <memory>

namespace {

const QRect AREA(0, 0, 560, 397);

// Paints obj onto a fresh image of the area; scale and dpi mimic a printer,
// ratio a scaled screen.
QImage paintOn(DrawObject& obj, bool printer = false, QRect clip1 = AREA, QRect clip2 = QRect(),
               QColor fill = Qt::white, int scale = 1, int dpi = 0, int ratio = 1)
{
    QImage image(AREA.size() * scale * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    if (dpi > 0)
        image.setDotsPerMeterX(qRound(dpi / 0.0254)), image.setDotsPerMeterY(qRound(dpi / 0.0254));
    image.fill(fill);
    QPainter p(&image);
    p.scale(scale, scale);
    paintObject(&obj, &p, clip1, clip2, printer);
    return image;
}

// A box with one hand-made layout entry (drawn only when text is set) on an
// optional background; a glyph kind makes it vertical writing.
std::unique_ptr<DrawObject> box(QRect r, const QString& text = QString(), QRect rect = QRect(), int kind = -1,
                                QColor bg = QColor())
{
    auto o = std::make_unique<DrawObject>(r.x(), r.y(), r.width(), r.height());
    o->text = text, o->textSize = 30, o->textTategaki = kind >= 0;
    o->layoutRects = {rect}, o->layoutFlags = {Qt::AlignLeft}, o->layoutTexts = {text};
    o->layoutKinds = kind < 0 ? QList<int>() : QList<int>{kind};
    o->layoutPartial = false; // hand-made: nothing for painting to lay out again
    o->bgColorEnabled = bg.isValid(), o->bgColor = bg;
    return o;
}

bool is(const QImage& image, int x, int y, QColor c, int tol = 8)
{
    const QColor g = image.pixelColor(x, y);
    return qAbs(g.red() - c.red()) <= tol && qAbs(g.green() - c.green()) <= tol && qAbs(g.blue() - c.blue()) <= tol;
}

bool dark(const QColor& c) { return c.alpha() > 0 && c.value() < 100; }
bool inked(const QColor& c) { return c != Qt::white; }

} // namespace

class TestPainting : public QObject
{
    Q_OBJECT
private slots:
    void turnsClockwise()
    {
        // A mark on the top edge only, so a turn the wrong way shows: turned
        // clockwise by r degrees about the centre (y grows downwards), the
        // mark's middle lands at centre + (sin r, -cos r) * h/2.
        const auto obj = box(QRect(100, 100, 200, 100), QString(), QRect(), -1, Qt::blue);
        obj->borderWidth = 0, obj->ruledline = 1, obj->ruledlineStyle = 1, obj->ruledlineWidth = 6, obj->ruledlineColor = Qt::red;
        for (int r : {0, 30, 90, -60, 200}) {
            obj->r = r;
            const QImage img = paintOn(*obj);
            const double a = qDegreesToRadians(double(r)), d = 50 - 3;
            const QPoint mark(qRound(200 + d * std::sin(a)), qRound(150 - d * std::cos(a)));
            const QPoint mirror(qRound(200 - d * std::sin(a)), mark.y());
            QVERIFY2(is(img, mark.x(), mark.y(), Qt::red, 40), qPrintable(QString("no mark at %1°").arg(r)));
            if (mirror != mark)
                QVERIFY2(!is(img, mirror.x(), mirror.y(), Qt::red, 40), qPrintable(QString("turned the wrong way at %1°").arg(r)));
        }

        // Brackets turned for vertical writing turn clockwise too: the bulge of
        // "（" comes to the top ("︵"), so down its middle the ink lies high.
        DrawObject column(100, 50, 80, 200);
        column.textFont = "IPAGothic", column.textSize = 40, column.textTategaki = true;
        column.relocateText("（");
        QCOMPARE(column.layoutKinds, QList<int>({1}));
        const QImage img = paintOn(column);
        const QRect ink = inkBounds(img, dark);
        int middle = -1;
        for (int y = ink.top(); y <= ink.bottom() && middle < 0; ++y)
            if (dark(img.pixelColor(ink.center().x(), y)))
                middle = y;
        QVERIFY2(ink.width() > 2 * ink.height() && middle >= 0 && middle < ink.center().y(),
                 "（ turned the wrong way in vertical writing");
    }

    void backgroundBorderMarksRuledLinesAndClips()
    {
        const auto obj = box(QRect(100, 100, 200, 100), QString(), QRect(), -1, Qt::blue);
        obj->bgRadius = 10, obj->borderStyle = 1, obj->borderWidth = 4, obj->borderColor = Qt::red;
        QImage img = paintOn(*obj);
        // Fill, border, and a rounded corner that stays clear.
        QVERIFY(is(img, 200, 150, Qt::blue) && is(img, 200, 101, Qt::red) && is(img, 200, 98, Qt::white) && is(img, 100, 100, Qt::white));
        // Caller clips: two rectangles united, an invalid second one ignored.
        obj->bgRadius = 0;
        img = paintOn(*obj, false, QRect(0, 0, 150, 150), QRect(250, 150, 50, 50));
        QVERIFY(is(img, 120, 120, Qt::blue) && is(img, 260, 160, Qt::blue) && is(img, 200, 120, Qt::white));
        QVERIFY(is(paintOn(*obj, false, QRect(0, 0, 150, 150), QRect(QPoint(300, 300), QPoint(200, 200))), 260, 160, Qt::white));
        // A damaged width paints as the widest the panel offers.
        obj->borderWidth = 255;
        img = paintOn(*obj);
        obj->borderWidth = INT_MAX;
        QVERIFY(paintOn(*obj) == img && is(img, 200, 150, Qt::red));

        // Turned about the centre; selection frame and chain number on screen only.
        obj->r = 90;
        QCOMPARE(inkBounds(paintOn(*obj), inked), QRect(150, 50, 100, 200));
        QList<DrawObject*> chain = {obj.get()};
        obj->r = 0, obj->bgColorEnabled = false, obj->borderStyle = 0, obj->selected = true, obj->textLinkList = &chain;
        img = paintOn(*obj);
        QVERIFY(img.pixelColor(295, 195).red() > 200 && img.pixelColor(295, 195).green() < 250);
        QVERIFY(inkBounds(img, inked).contains(QRect(101, 101, 198, 98)));
        QCOMPARE(inkBounds(paintOn(*obj, true), inked), QRect());
        QPrinter printer(QPrinter::ScreenResolution);
        QVERIFY(isPrinterDevice(&printer) && !isPrinterDevice(&img));
        obj->selected = false, obj->textLinkList = nullptr;

        // Ruled lines: each bit draws its own line only; style 0 draws none.
        obj->ruledlineColor = Qt::blue, obj->ruledline = 63;
        QCOMPARE(inkBounds(paintOn(*obj), inked), QRect());
        obj->ruledlineStyle = 1;
        const QList<QPoint> probes = {{200, 100}, {100, 150}, {299, 150}, {200, 199}, {150, 175}, {150, 125}};
        for (int bit = 0; bit < 6; ++bit) {
            obj->ruledline = 1 << bit;
            img = paintOn(*obj);
            for (int other = 0; other < 6; ++other)
                QVERIFY2(is(img, probes[other].x(), probes[other].y(), Qt::blue, 60) == (other == bit),
                         qPrintable(QString("bit %1 probe %2").arg(bit).arg(other)));
        }
    }

    void shapesAndMoldCut()
    {
        auto paint = [](QRect r, const QString& data, QColor bg = QColor()) {
            const auto obj = box(r, QString(), QRect(), -1, bg);
            obj->shapeData = data, obj->bgRadius = 40; // the rounded clip cuts only what lies under the shape
            return paintOn(*obj);
        };
        const QRect b(50, 50, 200, 100);
        const QImage circle = paint(b, defaultShapeData(SHAPE_CIRCLE));
        QVERIFY(is(circle, 150, 100, Qt::yellow) && is(circle, 70, 100, Qt::white) && is(circle, 150, 50, Qt::black));
        const QImage balloon = paint(QRect(50, 20, 200, 100), defaultShapeData(SHAPE_BALLOON));
        QVERIFY(is(balloon, 150, 130, Qt::yellow) && is(balloon, 52, 22, Qt::yellow)); // tail and corner uncut
        // Without LineCount there is one line, at mid height.
        const QImage one = paint(QRect(0, 0, 100, 100), "Shape=1;LineColor=0,0,0,255;LineStyle=1;LineWidth=1;");
        QVERIFY(is(one, 50, 50, Qt::black) && is(one, 50, 40, Qt::white));
        // Incomplete data or an unknown kind draws nothing.
        for (const QString d : {"Shape=3;LineColor=0,0,0,255;LineWidth=1;", "Shape=1;LineColor=0,0,0,255;LineStyle=;LineWidth=1;",
                                "Shape=12;BodyColor=255,0,0,255;LineColor=0,0,0,255;LineWidth=1;"})
            QCOMPARE(inkBounds(paint(AREA, d), inked), QRect());
        // Mold cut keeps only the shaped background, and the shape is an outline;
        // lines have no outline, so nothing is cut, not even to the rounded box.
        const QImage heart = paint(QRect(50, 20, 200, 160), defaultShapeData(SHAPE_HEART).replace("MoldCut=none", "MoldCut=inside"), Qt::blue);
        QVERIFY(is(heart, 150, 100, Qt::blue) && is(heart, 52, 22, Qt::white) && is(heart, 150, 24, Qt::white));
        QTemporaryDir dir;
        QImage blue(8, 8, QImage::Format_RGB32);
        blue.fill(Qt::blue);
        QVERIFY(blue.save(dir.filePath("blue.png")));
        const auto lines = box(b);
        lines->shapeData = "Shape=1;MoldCut=inside;", lines->bgRadius = 40;
        lines->setImgPath(dir.filePath("blue.png"));
        QVERIFY(is(paintOn(*lines), 51, 51, Qt::blue));
    }

    void outlineAndImagedText()
    {
        const auto obj = box(QRect(100, 100, 200, 100), "I", QRect(20, 10, 100, 80));
        obj->textEdgeColor = Qt::red;
        const QImage plain = paintOn(*obj);
        const QRect glyph = inkBounds(plain, inked);
        QVERIFY(!obj->textImage); // nothing off-screen without outline or imaging
        for (bool printer : {false, true}) {
            obj->textEdgeWidth = 3;
            const QImage out = paintOn(*obj, printer);
            const QRect edge = inkBounds(out, [](const QColor& c) { return c.red() > c.green() + 30; });
            // The printer's image is twice as fine: its faint edge may move by one.
            QCOMPARE(obj->textImage->width(), printer ? 400 : 200);
            QVERIFY((edge.topLeft() - glyph.topLeft() + QPoint(3, 3)).manhattanLength() <= (printer ? 2 : 0));
            QCOMPARE(inkBounds(out, dark), inkBounds(plain, dark)); // text on top
        }
        // Outlines beyond what the panel offers are drawn at a bounded width.
        obj->textEdgeWidth = 8;
        const QImage widest = paintOn(*obj, true);
        obj->textEdgeWidth = 100000;
        QCOMPARE(paintOn(*obj, true), widest);
        // Imaged text: alpha 255 becomes 254; drawn direct it stays 255.
        auto maxAlpha = [&] {
            const QImage a = paintOn(*obj, false, AREA, QRect(), Qt::transparent).convertToFormat(QImage::Format_Alpha8);
            return *std::max_element(a.constBits(), a.constBits() + a.sizeInBytes());
        };
        obj->textEdgeWidth = 0;
        QCOMPARE(maxAlpha(), 255);
        obj->textImaging = true;
        QCOMPARE(maxAlpha(), 254);
        QCOMPARE(inkBounds(paintOn(*obj), dark), inkBounds(plain, dark));
    }

    void verticalGlyphTransformsAndPrinterGlyphSize()
    {
        const auto plain = box(QRect(100, 50, 200, 200), "－", QRect(60, 60, 80, 80), 0);
        const auto fixed = box(QRect(100, 50, 200, 200), "－", QRect(60, 60, 80, 80), 0);
        fixed->textTateRevRotateX = 4, fixed->textTateRevRotateY = 5, fixed->textTateRevMiniX = 3;
        fixed->textTateRevMiniY = -2, fixed->textTateRevPuncX = 1, fixed->textTateRevPuncY = 2;
        const QFontMetrics fm = PageFont::metrics(plain->makeFont());
        const int ooW = fm.horizontalAdvance("oo"), pitch = DrawObject::charPitch(fm, 0);
        auto at = [](DrawObject& o, const QString& text, int kind) {
            o.text = o.layoutTexts[0] = text, o.layoutKinds = {kind};
            return inkBounds(paintOn(o), dark);
        };
        const QRect flat = at(*plain, "－", 0), turned = at(*plain, "－", 1);
        QVERIFY(flat.width() > 2 * flat.height() && turned.height() > 2 * turned.width());
        // Corrections move turned glyphs the same way on the page, mirrored or
        // not; small kana and punctuation move by a share of the font too.
        const QList<std::tuple<QString, int, int, QPoint>> cases = {
            {"－", 1, 1, {4, 5}}, {"ー", 1, 1, {4, 5}}, {"ゃ", 2, 0, {3 + ooW / 5, -2 - pitch / 5}},
            {"、", 3, 0, {1 + (2 * ooW) / 3, 2 - pitch / 2}}};
        for (const auto& [glyph, kind, baseKind, shift] : cases)
            QCOMPARE(at(*fixed, glyph, kind).topLeft() - at(*plain, glyph, baseKind).topLeft(), shift);
        const QRect mini = at(*fixed, "ゃ", 2);
        fixed->textImaging = true; // the off-screen path places glyphs the same way
        QCOMPARE(at(*fixed, "ゃ", 2), mini);
        // A spacing that would make the pitch negative moves small kana no
        // further than the layout's least pitch of one.
        fixed->textWordSpacing = -1000;
        QCOMPARE(at(*fixed, "ゃ", 2).topLeft() - at(*plain, "ゃ", 0).topLeft(), QPoint(3 + ooW / 5, -2));

        // Fonts are measured at 96 per inch; a printer of another resolution,
        // scaled to program pixels, must draw the same glyph size.
        const auto text = box(QRect(20, 20, 300, 100));
        text->textSize = 20;
        text->relocateText("あいう Qgy");
        auto print = [&](int dpi) { return inkBounds(paintOn(*text, true, AREA, QRect(), Qt::white, 3, dpi), dark); };
        const QRect reference = print(PageFont::DPI);
        for (int dpi : {96, 288, 600}) {
            const QRect got = print(dpi);
            QVERIFY(!reference.isEmpty() && (got.topLeft() - reference.topLeft()).manhattanLength() <= 2
                    && (got.bottomRight() - reference.bottomRight()).manhattanLength() <= 2);
        }
    }

    void imagedTextAsSharpAsTheScreen()
    {
        // On a screen of twice the pixels, text drawn through the off-screen
        // image looks like text drawn directly, not like an enlarged copy.
        const auto obj = box(QRect(20, 20, 300, 100), "Zamfu 折本", QRect(10, 10, 280, 80));
        const QImage direct = paintOn(*obj, false, AREA, QRect(), Qt::white, 1, 0, 2);
        obj->textImaging = true;
        const QImage imaged = paintOn(*obj, false, AREA, QRect(), Qt::white, 1, 0, 2);
        int differing = 0;
        for (int y = 0; y < direct.height(); ++y)
            for (int x = 0; x < direct.width(); ++x)
                differing += qAbs(qGray(direct.pixel(x, y)) - qGray(imaged.pixel(x, y))) > 64;
        QVERIFY2(differing < 200, qPrintable(QString::number(differing)));
    }

    void textImageOnlyAsLargeAsNeeded()
    {
        // A 9999 x 9999 box gets an off-screen image only for what the clip lets
        // through and looks exactly like a small box with that text, also when
        // turned half round and mostly off the device.
        const auto big = box(QRect(100, 100, 9999, 9999), "Zamfu", QRect(10, 10, 300, 60));
        const auto small = box(QRect(100, 100, 400, 200), "Zamfu", QRect(10, 10, 300, 60));
        const auto turnedBig = box(QRect(-4000, -4000, 9999, 9999), "Zamfu", QRect(5798, 5798, 300, 60));
        const auto turnedSmall = box(QRect(-1, -1, 2000, 2000), "Zamfu", QRect(1799, 1799, 300, 60));
        for (DrawObject* o : {big.get(), small.get(), turnedBig.get(), turnedSmall.get()})
            o->textEdgeWidth = 2, o->textImaging = true;
        turnedBig->r = turnedSmall->r = 180;
        const qint64 bound = qint64(AREA.width() * 2 + 4) * (AREA.height() * 2 + 4);
        for (bool printer : {false, true}) {
            const QImage a = paintOn(*small, printer), turned = paintOn(*turnedSmall, printer);
            QVERIFY(!inkBounds(turned, dark).isEmpty());
            QVERIFY(paintOn(*big, printer) == a && paintOn(*turnedBig, printer) == turned);
            for (DrawObject* o : {big.get(), turnedBig.get()})
                QVERIFY(o->textImage && qint64(o->textImage->width()) * o->textImage->height() <= bound);
            // Half clipped away: the other half is pixel-identical.
            const QImage half = paintOn(*small, printer, QRect(0, 0, 200, 397));
            QCOMPARE(half.copy(0, 0, 200, 397), a.copy(0, 0, 200, 397));
            QCOMPARE(inkBounds(half.copy(200, 0, 360, 397), inked), QRect());
        }
    }
};

QTEST_MAIN(TestPainting)
#include "tst_painting.moc"
