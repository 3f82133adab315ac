#include "drawobject.h"

#include <QtTest>

class TstDrawObject : public QObject
{
    Q_OBJECT

private slots:
    void defaultsKeyValuesColoursPensAndChains()
    {
        DrawObject o(24, 30, 200, 100);
        QCOMPARE(o.text + "|" + o.textFont, QString("New|Osaka"));
        // size, weight, margin, line spacing, alignment, outline, border, ruled lines
        QCOMPARE(QList<int>({o.textSize, o.textWeight, o.textMargin, o.textLineSpacing, o.textAlign, o.textEdgeWidth,
                             o.borderStyle, o.borderWidth, o.ruledline, o.ruledlineStyle}),
                 QList<int>({12, 50, 4, 4, 33, 0, 0, 1, 15, 0}));
        QCOMPARE(QList<QColor>({o.textColor, o.textEdgeColor, o.bgColor, o.borderColor}),
                 QList<QColor>({Qt::black, Qt::white, Qt::white, Qt::black}));
        QVERIFY(o.textLinkShareConf && !o.isTextLinked() && !o.bgColorEnabled && !o.textTategaki);
        QCOMPARE(o.layoutLines, QStringList({"New"})); // laid out by the constructor
        DrawObject::null(nullptr);                     // harmless

        // Key=value data, colour texts and pens.
        const QString data = "Shape=3;LineColor=0,0,0,255;LineWidth=1";
        for (const QString& c : {"LineColor|0,0,0,255", "LineWidth|1", "Color|x", "Shape|3", "shape|x"})
            QCOMPARE(DrawObject::findValue(c.section('|', 0, 0), data, "x"), c.section('|', 1));
        QCOMPARE(QStringList({DrawObject::findValue("Shape", "", "d"), DrawObject::findValue("E", "E=;A=1", "d")}),
                 QStringList({"d", ""}));

        QCOMPARE(DrawObject::colorToStr(QColor(255, 0, 0)), QString("255,0,0,255"));
        QCOMPARE(DrawObject::strToColor("10,20,30,40"), QColor(10, 20, 30, 40));
        // Damaged texts still give a valid colour: missing parts 0, missing
        // alpha opaque, non-numbers 0, excess clamped.
        QCOMPARE(DrawObject::strToColor("10,20"), QColor(10, 20, 0, 255));
        QCOMPARE(DrawObject::strToColor("x,300,-5,999"), QColor(0, 255, 0, 255));

        for (int style : {0, 1, 2, 3, -3})
            QCOMPARE(DrawObject::getPen(Qt::red, style, qMin(style, 0), Qt::SquareCap).style(), Qt::NoPen);
        QCOMPARE(DrawObject::getPen(QColor(1, 2, 3), Qt::DashLine, 3, Qt::SquareCap),
                 QPen(QColor(1, 2, 3), 3, Qt::DashLine, Qt::SquareCap, Qt::MiterJoin));
        QCOMPARE(DrawObject::getPen(Qt::red, 77, 2, 5).style(), Qt::SolidLine); // unknown codes

        // Chain index and id: one id a chain, none for an unlinked box.
        DrawObject a(0, 0, 50, 50), b(0, 0, 50, 50), c(0, 0, 50, 50), lone(0, 0, 50, 50);
        QList<DrawObject*> chain{&a, &b, &c}, other{&lone};
        a.textLinkList = b.textLinkList = c.textLinkList = &chain;
        QCOMPARE(QList<int>({a.getTextLinkIndex(), c.getTextLinkIndex(), lone.getTextLinkIndex()}), QList<int>({0, 2, -1}));
        const QString id = a.getTextLinkId(), loneId = lone.getTextLinkId();
        lone.textLinkList = &other;
        QVERIFY(QRegularExpression("^[0-9a-f]+$").match(id).hasMatch() && loneId.isEmpty() && lone.getTextLinkId() != id);
        QVERIFY(b.getTextLinkId() == id && c.getTextLinkId() == id);
    }
};

QTEST_MAIN(TstDrawObject)
#include "tst_drawobject.moc"
