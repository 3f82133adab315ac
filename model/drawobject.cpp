#include "drawobject.h"
#include "fonts.h"
#include "imagestore.h"

#include <QStringList>

const QString DEF_FONT_NAME = QStringLiteral("Osaka");

DrawObject::DrawObject(int x_, int y_, int w_, int h_)
    : x(x_), y(y_), w(w_), h(h_), textFont(DEF_FONT_NAME)
{
    relocateText(QString());
}

DrawObject::~DrawObject()
{
    delete textImagePainter;
    delete textImage;
}

DrawObject::DrawObject(Bare) : x(0), y(0), w(0), h(0)
{
}

void DrawObject::null(DrawObject* obj)
{
    delete obj;
}

DrawObject* DrawObject::storedCopy(const DrawObject* o)
{
    auto* c = new DrawObject(Bare{});
    c->x = o->x, c->y = o->y, c->w = o->w, c->h = o->h, c->r = o->r;
    c->textColor = o->textColor, c->text = o->text, c->textFont = o->textFont;
    c->textMargin = o->textMargin, c->textSize = o->textSize, c->textWeight = o->textWeight;
    c->textItalic = o->textItalic, c->textUnderline = o->textUnderline;
    c->textStrikeout = o->textStrikeout, c->textImaging = o->textImaging;
    c->textAlign = o->textAlign, c->textLineSpacing = o->textLineSpacing;
    c->textWordSpacing = o->textWordSpacing;
    c->textEdgeWidth = o->textEdgeWidth, c->textEdgeColor = o->textEdgeColor;
    c->textTategaki = o->textTategaki;
    c->textTateRevRotateX = o->textTateRevRotateX, c->textTateRevRotateY = o->textTateRevRotateY;
    c->textTateRevMiniX = o->textTateRevMiniX, c->textTateRevMiniY = o->textTateRevMiniY;
    c->textTateRevPuncX = o->textTateRevPuncX, c->textTateRevPuncY = o->textTateRevPuncY;
    c->shape = o->shape, c->shapeData = o->shapeData;
    c->bgColor = o->bgColor, c->bgColorEnabled = o->bgColorEnabled, c->bgRadius = o->bgRadius;
    c->borderColor = o->borderColor, c->borderStyle = o->borderStyle, c->borderWidth = o->borderWidth;
    c->ruledline = o->ruledline, c->ruledlineColor = o->ruledlineColor;
    c->ruledlineStyle = o->ruledlineStyle, c->ruledlineWidth = o->ruledlineWidth;
    c->imgPath = o->imgPath, c->imgRatioKeep = o->imgRatioKeep, c->imgCenter = o->imgCenter;
    c->textLinkShareConf = o->textLinkShareConf;
    return c;
}

void DrawObject::setImgPath(QString path)
{
    imgPath = path;
    img = path.isEmpty() ? nullptr : ImageStore::instance().acquire(path);
}

QString DrawObject::findValue(QString key, QString data, QString defaultValue)
{
    if (!data.startsWith(";"))
        data = ";" + data;
    const QString needle = ";" + key + "=";
    const int at = data.indexOf(needle);
    if (at < 0)
        return defaultValue;
    const int start = at + needle.size();
    const int end = data.indexOf(";", start);
    return end < 0 ? data.mid(start) : data.mid(start, end - start);
}

// Missing parts count as 0 for red, green and blue and as 255 for alpha, so a
// short "r,g,b" text stays opaque; values outside 0..255 are clamped.
QColor DrawObject::strToColor(QString str)
{
    const QStringList p = str.split(",", Qt::KeepEmptyParts);
    auto part = [&](int i) { return i < p.size() ? p.at(i).toInt(nullptr, 10) : 0; };
    QColor c;
    c.setRgb(qBound(0, part(0), 255), qBound(0, part(1), 255), qBound(0, part(2), 255),
             p.size() > 3 ? qBound(0, part(3), 255) : 255);
    return c;
}

QString DrawObject::colorToStr(QColor color)
{
    return QString("%1,%2,%3,%4").arg(color.red()).arg(color.green()).arg(color.blue()).arg(color.alpha());
}

QPen DrawObject::getPen(QColor color, int style, int width, int cap)
{
    // A negative width (damaged document) draws nothing, like width 0.
    if (width <= 0)
        return QPen(Qt::NoPen);
    // Unknown codes fall back to a plain line rather than reaching Qt unchecked.
    if (style < Qt::NoPen || style > Qt::DashDotDotLine)
        style = Qt::SolidLine;
    if (cap != Qt::FlatCap && cap != Qt::SquareCap && cap != Qt::RoundCap)
        cap = Qt::SquareCap;
    QPen pen(color);
    pen.setStyle(static_cast<Qt::PenStyle>(style));
    pen.setWidth(width);
    pen.setJoinStyle(Qt::MiterJoin);
    pen.setCapStyle(static_cast<Qt::PenCapStyle>(cap));
    return pen;
}

bool DrawObject::isTextLinked() const
{
    return textLinkList != nullptr;
}

int DrawObject::getTextLinkIndex() const
{
    return textLinkList ? textLinkList->indexOf(const_cast<DrawObject*>(this)) : -1;
}

DrawObject* DrawObject::getTextLinkNext() const
{
    const int i = getTextLinkIndex();
    if (i < 0 || i + 1 >= textLinkList->size())
        return nullptr;
    return textLinkList->at(i + 1);
}

DrawObject* DrawObject::getTextLinkPrev() const
{
    const int i = getTextLinkIndex();
    if (i <= 0)
        return nullptr;
    return textLinkList->at(i - 1);
}

QString DrawObject::getTextLinkId() const
{
    if (!textLinkList)
        return QString();
    return QString::number(reinterpret_cast<quintptr>(textLinkList), 16);
}

QFont DrawObject::makeFont() const
{
    ensureFontSubstitutions();
    QFont f(textFont);
    // Beyond a few thousand points the font engine returns meaningless
    // metrics; no page is that large anyway.
    f.setPointSize(qBound(1, textSize, MAX_FONT_POINT_SIZE));
    f.setWeight(qBound(0, textWeight, 99));
    f.setItalic(textItalic);
    f.setUnderline(textUnderline);
    f.setStrikeOut(textStrikeout);
    return f;
}
