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
        QCOMPARE(o.textSize, 12);
        QCOMPARE(o.textWeight, 50);
        QCOMPARE(o.textMargin, 4);
        QCOMPARE(o.textLineSpacing, 4);
        QCOMPARE(o.textAlign, 33);
        QCOMPARE(o.textColor, QColor(0, 0, 0, 255));
        QCOMPARE(o.textEdgeColor, QColor(255, 255, 255, 255));
        QCOMPARE(o.textEdgeWidth, 0);
        QCOMPARE(o.bgColor, QColor(255, 255, 255, 255));
        QVERIFY(!o.bgColorEnabled);
        QCOMPARE(o.borderColor, QColor(0, 0, 0, 255));
        QCOMPARE(o.borderStyle, 0);
        QCOMPARE(o.borderWidth, 1);
        QCOMPARE(o.ruledline, 15);
        QCOMPARE(o.ruledlineStyle, 0);
        QVERIFY(o.textLinkShareConf);
        QVERIFY(!o.isTextLinked());
        QVERIFY(!o.textTategaki && !o.selected && !o.img && !o.textImage && !o.textImagePainter);
        // The constructor already laid out the default text.
        QCOMPARE(o.layoutLines, QStringList({"New"}));
        QCOMPARE(o.layoutTexts.join(QString()), QString("New"));
        QVERIFY(o.layoutKinds.isEmpty());

        DrawObject::null(nullptr); // harmless
        DrawObject::null(new DrawObject(0, 0, 10, 10));
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
        const QColor c = DrawObject::strToColor("10,20,30,40");
        QCOMPARE(c, QColor(10, 20, 30, 40));
        QCOMPARE(DrawObject::colorToStr(DrawObject::strToColor("1,2,3,4")), QString("1,2,3,4"));

        // Short or damaged texts give a valid colour: missing parts are 0,
        // a missing alpha is opaque, non-numbers are 0, excess is clamped.
        QCOMPARE(DrawObject::strToColor("10,20"), QColor(10, 20, 0, 255));
        QCOMPARE(DrawObject::strToColor(""), QColor(0, 0, 0, 255));
        QCOMPARE(DrawObject::strToColor("x,20,30,40"), QColor(0, 20, 30, 40));
        QCOMPARE(DrawObject::strToColor("300,-5,30,999"), QColor(255, 0, 30, 255));
        QVERIFY(DrawObject::strToColor("garbage").isValid());
    }

    void pens()
    {
        for (int style : {0, 1, 2, 3}) {
            QCOMPARE(DrawObject::getPen(Qt::red, style, 0, Qt::SquareCap).style(), Qt::NoPen);
            QCOMPARE(DrawObject::getPen(Qt::red, style, -3, Qt::SquareCap).style(), Qt::NoPen);
        }
        const QPen p = DrawObject::getPen(QColor(1, 2, 3), Qt::DashLine, 3, Qt::SquareCap);
        QCOMPARE(p.style(), Qt::DashLine);
        QCOMPARE(p.width(), 3);
        QCOMPARE(p.color(), QColor(1, 2, 3));
        QCOMPARE(p.joinStyle(), Qt::MiterJoin);
        QCOMPARE(p.capStyle(), Qt::SquareCap);
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

        QCOMPARE(a.getTextLinkIndex(), 0);
        QCOMPARE(b.getTextLinkIndex(), 1);
        QCOMPARE(c.getTextLinkIndex(), 2);
        QCOMPARE(a.getTextLinkPrev(), nullptr);
        QCOMPARE(a.getTextLinkNext(), &b);
        QCOMPARE(b.getTextLinkPrev(), &a);
        QCOMPARE(c.getTextLinkNext(), nullptr);
        QVERIFY(!a.getTextLinkId().isEmpty());
        QCOMPARE(b.getTextLinkId(), a.getTextLinkId());
        QCOMPARE(c.getTextLinkId(), a.getTextLinkId());
        QVERIFY(QRegularExpression("^[0-9a-f]+$").match(a.getTextLinkId()).hasMatch());

        QCOMPARE(lone.getTextLinkIndex(), -1);
        QVERIFY(lone.getTextLinkId().isEmpty());
        QCOMPARE(lone.getTextLinkNext(), nullptr);
        QCOMPARE(lone.getTextLinkPrev(), nullptr);

        QList<DrawObject*> other{&lone};
        lone.textLinkList = &other;
        QVERIFY(lone.getTextLinkId() != a.getTextLinkId());

        for (DrawObject* o : {&a, &b, &c, &lone})
            o->textLinkList = nullptr;
    }
};

QTEST_MAIN(TstDrawObject)
#include "tst_drawobject.moc"
