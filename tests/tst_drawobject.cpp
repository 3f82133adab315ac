#include "drawobject.h"

#include <QtTest>

#include <memory>

class TstDrawObject : public QObject
{
    Q_OBJECT

private slots:
    void newObjectDefaults()
    {
        DrawObject o(24, 30, 200, 100);
        QCOMPARE(QRect(o.x, o.y, o.w, o.h), QRect(24, 30, 200, 100));
        QCOMPARE(o.text, QString("New"));
        QCOMPARE(o.textFont, QString("Osaka"));
        // size, weight, margin, line spacing, alignment, outline, border, ruled lines
        QCOMPARE(QList<int>({o.textSize, o.textWeight, o.textMargin, o.textLineSpacing, o.textAlign, o.textEdgeWidth,
                             o.borderStyle, o.borderWidth, o.ruledline, o.ruledlineStyle}),
                 QList<int>({12, 50, 4, 4, 33, 0, 0, 1, 15, 0}));
        QCOMPARE(QList<QColor>({o.textColor, o.textEdgeColor, o.bgColor, o.borderColor}),
                 QList<QColor>({Qt::black, Qt::white, Qt::white, Qt::black}));
        QVERIFY(o.textLinkShareConf && !o.isTextLinked() && !o.bgColorEnabled && !o.textTategaki);
        QVERIFY(!o.img && !o.textImage && !o.textImagePainter);
        // The constructor already laid out the default text.
        QCOMPARE(o.layoutLines, QStringList({"New"}));
        QCOMPARE(o.layoutTexts.join(QString()), QString("New"));
        QVERIFY(o.layoutKinds.isEmpty());

        DrawObject::null(nullptr); // harmless
    }

    void findValue()
    {
        const QString data = "Shape=3;LineColor=0,0,0,255;LineWidth=1";
        QCOMPARE(DrawObject::findValue("LineColor", data, ""), QString("0,0,0,255"));
        QCOMPARE(DrawObject::findValue("LineWidth", data, ""), QString("1"));
        QCOMPARE(DrawObject::findValue("Color", data, "x"), QString("x"));
        QCOMPARE(DrawObject::findValue("Shape", data, ""), QString("3"));
        QCOMPARE(DrawObject::findValue("Shape", ";" + data, ""), QString("3"));
        QCOMPARE(DrawObject::findValue("shape", data, "d"), QString("d"));
        QCOMPARE(DrawObject::findValue("Shape", "", "d"), QString("d"));
        QCOMPARE(DrawObject::findValue("Empty", "Empty=;A=1", "d"), QString(""));
    }

    void colours()
    {
        QCOMPARE(DrawObject::colorToStr(QColor(255, 0, 0)), QString("255,0,0,255"));
        QCOMPARE(DrawObject::strToColor("10,20,30,40"), QColor(10, 20, 30, 40));

        // Short or damaged texts give a valid colour: missing parts are 0,
        // a missing alpha is opaque, non-numbers are 0, excess is clamped.
        QCOMPARE(DrawObject::strToColor("10,20"), QColor(10, 20, 0, 255));
        QCOMPARE(DrawObject::strToColor(""), QColor(0, 0, 0, 255));
        QCOMPARE(DrawObject::strToColor("x,20,30,40"), QColor(0, 20, 30, 40));
        QCOMPARE(DrawObject::strToColor("300,-5,30,999"), QColor(255, 0, 30, 255));
    }

    void pens()
    {
        for (int style : {0, 1, 2, 3}) {
            QCOMPARE(DrawObject::getPen(Qt::red, style, 0, Qt::SquareCap).style(), Qt::NoPen);
            QCOMPARE(DrawObject::getPen(Qt::red, style, -3, Qt::SquareCap).style(), Qt::NoPen);
        }
        const QPen p = DrawObject::getPen(QColor(1, 2, 3), Qt::DashLine, 3, Qt::SquareCap);
        QCOMPARE(p, QPen(QColor(1, 2, 3), 3, Qt::DashLine, Qt::SquareCap, Qt::MiterJoin));
        QCOMPARE(DrawObject::getPen(Qt::red, 77, 2, 5).style(), Qt::SolidLine);

        // A zero-width pen really draws nothing.
        QImage img(20, 20, QImage::Format_ARGB32);
        img.fill(Qt::white);
        QPainter painter(&img);
        painter.setPen(DrawObject::getPen(Qt::black, Qt::SolidLine, 0, Qt::SquareCap));
        painter.drawLine(0, 10, 19, 10);
        painter.end();
        QCOMPARE(img.pixelColor(10, 10), QColor(Qt::white));
    }

    void chainHelpers()
    {
        DrawObject a(0, 0, 50, 50), b(0, 0, 50, 50), c(0, 0, 50, 50), lone(0, 0, 50, 50);
        QList<DrawObject*> chain{&a, &b, &c};
        a.textLinkList = b.textLinkList = c.textLinkList = &chain;

        QCOMPARE(QList<int>({a.getTextLinkIndex(), b.getTextLinkIndex(), c.getTextLinkIndex()}), QList<int>({0, 1, 2}));
        QCOMPARE(a.getTextLinkPrev(), nullptr);
        QCOMPARE(b.getTextLinkPrev(), &a);
        QCOMPARE(b.getTextLinkNext(), &c);
        QCOMPARE(c.getTextLinkNext(), nullptr);
        QVERIFY(QRegularExpression("^[0-9a-f]+$").match(a.getTextLinkId()).hasMatch());
        QCOMPARE(b.getTextLinkId(), a.getTextLinkId());
        QCOMPARE(c.getTextLinkId(), a.getTextLinkId());

        QCOMPARE(lone.getTextLinkIndex(), -1);
        QVERIFY(lone.getTextLinkId().isEmpty() && !lone.getTextLinkNext() && !lone.getTextLinkPrev());

        QList<DrawObject*> other{&lone};
        lone.textLinkList = &other;
        QVERIFY(lone.getTextLinkId() != a.getTextLinkId());

        for (DrawObject* o : {&a, &b, &c, &lone})
            o->textLinkList = nullptr;
    }
};

QTEST_MAIN(TstDrawObject)
#include "tst_drawobject.moc"
