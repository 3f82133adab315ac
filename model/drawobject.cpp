#include "drawobject.h"
#include "fonts.h"

#include <QFile>
#include <QImageReader>
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
    delete img;
}

void DrawObject::null(DrawObject* obj)
{
    delete obj;
}

void DrawObject::setImgPath(QString path)
{
    delete img;
    img = nullptr;
    imgPath = path;
    if (!path.isEmpty() && QFile::exists(path))
        img = new QImage(path);
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
    if (width == 0)
        return QPen(Qt::NoPen);
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
    f.setPointSize(qMax(1, textSize));
    f.setWeight(textWeight);
    f.setItalic(textItalic);
    f.setUnderline(textUnderline);
    f.setStrikeOut(textStrikeout);
    return f;
}
