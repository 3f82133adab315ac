#include "drawobject.h"
#include "objectpainter.h"
#include "shapes.h"
#include "testsupport.h"

#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

const QRect AREA(0, 0, 560, 397);

// Paints obj onto a fresh image of the area; ratio mimics a scaled screen.
QImage paintOn(DrawObject& obj, bool printer = false, QRect clip1 = AREA, QColor fill = Qt::white, int ratio = 1)
{
    QImage image(AREA.size() * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(fill);
    QPainter p(&image);
    paintObject(&obj, &p, clip1, QRect(), printer);
    return image;
}

// A box with one hand-made layout entry (drawn only when text is set) on an
// optional background; a glyph kind makes it vertical writing.
std::unique_ptr<DrawObject> box(QRect r, const QString& text = QString(), QRect rect = QRect(), int kind = -1,
                                QColor bg = QColor())
{
    auto o = std::make_unique<DrawObject>(r.x(), r.y(), r.width(), r.height());
    o->text = text, o->textSize = 30, o->textTategaki = kind >= 0, o->bgColorEnabled = bg.isValid(), o->bgColor = bg;
    o->layoutRects = {rect}, o->layoutFlags = {Qt::AlignLeft}, o->layoutTexts = {text}, o->layoutKinds = kind < 0 ? QList<int>() : QList<int>{kind};
    o->layoutPartial = false; // hand-made: nothing for painting to lay out again
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
    void turnsBackgroundBorderMarksRuledLinesAndClips()
    {
        // A mark on the top edge only, so a turn the wrong way shows: turned
        // clockwise by r degrees about the centre (y grows downwards), the
        // mark's middle lands at centre + (sin r, -cos r) * h/2.
        const auto obj = box(QRect(100, 100, 200, 100), QString(), QRect(), -1, Qt::blue);
        obj->borderWidth = 0, obj->ruledline = 1, obj->ruledlineStyle = 1, obj->ruledlineWidth = 6, obj->ruledlineColor = Qt::red;
        for (int r : {30, -60, 200}) {
            obj->r = r;
            const QImage img = paintOn(*obj);
            const double a = qDegreesToRadians(double(r)), d = 50 - 3;
            const QPoint mark(qRound(200 + d * std::sin(a)), qRound(150 - d * std::cos(a)));
            QVERIFY2(is(img, mark.x(), mark.y(), Qt::red, 40) && !is(img, qRound(200 - d * std::sin(a)), mark.y(), Qt::red, 40),
                     qPrintable(QString("turned the wrong way at %1°").arg(r)));
        }

        // Brackets turned for vertical writing turn clockwise too: the bulge of
        // "（" comes to the top ("︵"), so down its middle the ink lies high.
        DrawObject column(100, 50, 80, 200);
        column.textFont = "IPAGothic", column.textSize = 40, column.textTategaki = true;
        column.relocateText("（");
        QImage img = paintOn(column);
        const QRect ink = inkBounds(img, dark);
        QVERIFY2(ink.width() > 2 * ink.height() && dark(img.pixelColor(ink.center().x(), ink.top() + 1))
                     && !dark(img.pixelColor(ink.center().x(), ink.bottom() - 1)), "（ turned the wrong way in vertical writing");

        obj->r = 0, obj->ruledlineStyle = 0, obj->ruledlineWidth = 1;
        obj->bgRadius = 10, obj->borderStyle = 1, obj->borderWidth = 4, obj->borderColor = Qt::red;
        img = paintOn(*obj);
        // Fill, border, and a rounded corner that stays clear.
        QVERIFY(is(img, 200, 150, Qt::blue) && is(img, 200, 101, Qt::red) && is(img, 200, 98, Qt::white) && is(img, 100, 100, Qt::white));
        obj->bgRadius = 0;
        // A damaged width paints as the widest the panel offers.
        obj->borderWidth = 255;
        img = paintOn(*obj);
        obj->borderWidth = INT_MAX;
        QVERIFY(paintOn(*obj) == img && is(img, 200, 150, Qt::red));

        // Selection frame and chain number on screen only.
        QList<DrawObject*> chain = {obj.get()};
        obj->bgColorEnabled = false, obj->borderStyle = 0, obj->selected = true, obj->textLinkList = &chain;
        const QColor number = paintOn(*obj).pixelColor(295, 195);
        QVERIFY(number.red() > 200 && number.green() < 250 && inkBounds(paintOn(*obj, true), inked).isEmpty());
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

    void shapeOutlines()
    {
        QCOMPARE(shapeKindOf("Shape=3;Shape=4;"), 3); // first entry wins
        QCOMPARE(shapeLines(QRect(10, 5, 90, 40), SHAPE_VLINE, 2), QList<QLineF>({QLineF(40, 5, 40, 45), QLineF(70, 5, 70, 45)}));
        // A point inside and one outside each outline.
        const QRect b(0, 0, 200, 100);
        QVERIFY(starOutline(QRect(0, 0, 200, 160)).contains(QPointF(100, 80))); // inner pentagon filled
        const QPainterPath balloon = balloonOutline(b, 30, "S", 50, 20, 20);
        QVERIFY(balloon.contains(QPointF(100, 115)) && !balloon.contains(QPointF(2, 2)));
        QCOMPARE(balloonOutline(b, 0, "S", 50, 20, -20).boundingRect(), QRectF(b)); // tail points inward
        // Reused outlines follow both box and data.
        for (int i : {0, 7, 300}) {
            const QString d = QString("Shape=8;Direction=S;SippoW=10;SippoH=%1;").arg(i);
            const QRectF moved = shapeOutline(b.translated(i, 0), d).boundingRect();
            QVERIFY(moved.height() == 100 + i && moved == shapeOutline(b, d).boundingRect().translated(i, 0));
        }
        // Damaged data is harmless.
        QCOMPARE(shapeLines(QRect(0, 0, 50, 40), SHAPE_HLINE, 2000000000).size(), 40);
        QVERIFY(shapeLines(QRect(0, 0, 50, 40), SHAPE_HLINE, -5).isEmpty());
        QImage image(300, 200, QImage::Format_RGB32);
        QPainter p(&image);
        paintShape(&p, image.rect(), "Shape=8;BodyColor=255,255,0,255;LineColor=0,0,0,255;LineWidth=99999;"
                                     "Radius=2147483647;Direction=N;SippoP=2000000000;SippoW=99999999;SippoH=-99999999;");
        const QRectF far = shapeOutline(QRect(0, 0, 100, 100), "Shape=8;Direction=E;SippoP=99999999999;SippoW=5;SippoH=5;").boundingRect();
        QVERIFY(qIsFinite(far.height()) && far.height() < 1e9);
    }

    void shapesAndMoldCut()
    {
        auto paint = [](QRect r, const QString& data, QColor bg = QColor()) {
            const auto obj = box(r, QString(), QRect(), -1, bg);
            obj->shapeData = data, obj->bgRadius = 40; // the rounded clip cuts only what lies under the shape
            return paintOn(*obj);
        };
        // Incomplete data or an unknown kind draws nothing.
        for (const QString d : {"Shape=1;LineColor=0,0,0,255;LineStyle=;LineWidth=1;", "Shape=12;BodyColor=255,0,0,255;LineWidth=1;"})
            QCOMPARE(inkBounds(paint(AREA, d), inked), QRect());
        // Mold cut keeps only the shaped background, and the shape is an outline;
        // lines have no outline, so nothing is cut, not even to the rounded box.
        const QImage heart = paint(QRect(50, 20, 200, 160), defaultShapeData(SHAPE_HEART).replace("MoldCut=none", "MoldCut=inside"), Qt::blue);
        QVERIFY(is(heart, 150, 100, Qt::blue) && is(heart, 52, 22, Qt::white) && is(heart, 150, 24, Qt::white));
        QTemporaryDir dir;
        QImage blue(8, 8, QImage::Format_RGB32);
        blue.fill(Qt::blue);
        QVERIFY(blue.save(dir.filePath("blue.png")));
        const auto lines = box(QRect(50, 50, 200, 100));
        lines->shapeData = "Shape=1;MoldCut=inside;", lines->bgRadius = 40;
        lines->setImgPath(dir.filePath("blue.png"));
        QVERIFY(is(paintOn(*lines), 51, 51, Qt::blue));
    }

    void outlineImagedTextAndVerticalCorrections()
    {
        const auto obj = box(QRect(100, 100, 200, 100), "I", QRect(20, 10, 100, 80));
        obj->textEdgeColor = Qt::red;
        const QImage plain = paintOn(*obj);
        const QRect glyph = inkBounds(plain, inked);
        obj->textEdgeWidth = 3;
        for (bool printer : {false, true}) {
            const QImage out = paintOn(*obj, printer);
            const QRect edge = inkBounds(out, [](const QColor& c) { return c.red() > c.green() + 30; });
            // The printer's image is twice as fine: its faint edge may move by one.
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
            const QImage a = paintOn(*obj, false, AREA, Qt::transparent).convertToFormat(QImage::Format_Alpha8);
            return *std::max_element(a.constBits(), a.constBits() + a.sizeInBytes());
        };
        obj->textEdgeWidth = 0;
        QCOMPARE(maxAlpha(), 255);
        obj->textImaging = true;
        QCOMPARE(maxAlpha(), 254);
        QCOMPARE(inkBounds(paintOn(*obj), dark), inkBounds(plain, dark));

        // On a screen of twice the pixels, text drawn through the off-screen
        // image looks like text drawn directly, not like an enlarged copy.
        const auto wide = box(QRect(20, 20, 300, 100), "Zamfu 折本", QRect(10, 10, 280, 80));
        const QImage direct = paintOn(*wide, false, AREA, Qt::white, 2);
        wide->textImaging = true;
        const QImage imaged = paintOn(*wide, false, AREA, Qt::white, 2);
        int differing = 0;
        for (int y = 0; y < direct.height(); ++y)
            for (int x = 0; x < direct.width(); ++x)
                differing += qAbs(qGray(direct.pixel(x, y)) - qGray(imaged.pixel(x, y))) > 64;
        QVERIFY2(differing < 200, qPrintable(QString::number(differing)));

        const auto bare = box(QRect(100, 50, 200, 200), "－", QRect(60, 60, 80, 80), 0);
        const auto fixed = box(QRect(100, 50, 200, 200), "－", QRect(60, 60, 80, 80), 0);
        fixed->textTateRevRotateX = 4, fixed->textTateRevRotateY = 5, fixed->textTateRevMiniY = -2;
        auto at = [](DrawObject& o, const QString& text, int kind) {
            o.text = o.layoutTexts[0] = text, o.layoutKinds = {kind};
            return inkBounds(paintOn(o), dark);
        };
        // Corrections move turned glyphs the same way on the page, mirrored or not.
        for (const QString glyph : {"－", "ー"})
            QCOMPARE(at(*fixed, glyph, 1).topLeft() - at(*bare, glyph, 1).topLeft(), QPoint(4, 5));
        // A spacing that would make the pitch negative moves small kana up
        // no further than the layout's least pitch of one.
        fixed->textWordSpacing = -1000;
        QCOMPARE(at(*fixed, "ゃ", 2).top() - at(*bare, "ゃ", 0).top(), -2);
    }

    void textImageOnlyAsLargeAsNeeded()
    {
        // A 9999 x 9999 box turned half round and mostly off the device gets an
        // off-screen image only for what the clip lets through, and looks
        // exactly like a small box with that text.
        const auto big = box(QRect(-4000, -4000, 9999, 9999), "Zamfu", QRect(5798, 5798, 300, 60));
        const auto small = box(QRect(-1, -1, 2000, 2000), "Zamfu", QRect(1799, 1799, 300, 60));
        const auto upright = box(QRect(100, 100, 400, 200), "Zamfu", QRect(10, 10, 300, 60));
        for (DrawObject* o : {big.get(), small.get(), upright.get()})
            o->textEdgeWidth = 2, o->textImaging = true, o->r = o == upright.get() ? 0 : 180;
        for (bool printer : {false, true}) {
            const QImage a = paintOn(*small, printer);
            QVERIFY(!inkBounds(a, dark).isEmpty() && paintOn(*big, printer) == a);
            QVERIFY(big->textImage
                    && qint64(big->textImage->width()) * big->textImage->height() <= qint64(AREA.width() * 2 + 4) * (AREA.height() * 2 + 4));
            // Half clipped away: the other half is pixel-identical.
            const QImage whole = paintOn(*upright, printer), half = paintOn(*upright, printer, QRect(0, 0, 200, 397));
            QVERIFY(half.copy(0, 0, 200, 397) == whole.copy(0, 0, 200, 397) && inkBounds(half.copy(200, 0, 360, 397), inked).isEmpty());
        }
    }
};

QTEST_MAIN(TestPainting)
#include "tst_painting.moc"
