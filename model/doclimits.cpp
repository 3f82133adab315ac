#include "doclimits.h"

#include "document.h"
#include "drawobject.h"

#include <QLocale>

namespace {

int digits(qint64 v)
{
    int n = v < 0 ? 2 : 1;
    for (v = v < 0 ? -(v / 10) : v / 10; v > 0; v /= 10)
        ++n;
    return n;
}

int colorChars(const QColor& c)
{
    return digits(c.red()) + digits(c.green()) + digits(c.blue()) + digits(c.alpha()) + 3;
}

int boolChars(bool b)
{
    return b ? 4 : 5;
}

}

qint64 DocLimits::objectChars(const DrawObject* o)
{
    qint64 n = 0;
    for (int v : {o->x, o->y, o->r, o->w, o->h, o->textMargin, o->textLineSpacing, o->textWordSpacing,
                  o->textSize, o->textAlign, o->textWeight, o->textEdgeWidth, o->shape, o->bgRadius,
                  o->borderStyle, o->borderWidth, o->ruledline, o->ruledlineStyle, o->ruledlineWidth})
        n += digits(v);
    for (int v : {o->textTateRevRotateX, o->textTateRevRotateY, o->textTateRevMiniX, o->textTateRevMiniY,
                  o->textTateRevPuncX, o->textTateRevPuncY})
        n += digits(v);
    n += 3; // the commas of the three pairs
    for (const QColor& c : {o->textColor, o->textEdgeColor, o->bgColor, o->borderColor, o->ruledlineColor})
        n += colorChars(c);
    for (bool b : {o->textItalic, o->textUnderline, o->textStrikeout, o->textImaging, o->textTategaki,
                   o->textLinkShareConf, o->bgColorEnabled, o->imgRatioKeep, o->imgCenter})
        n += boolChars(b);
    n += o->text.size() + o->textFont.size() + o->shapeData.size() + o->imgPath.size();
    n += o->textLinkList ? LINK_CHARS : 2; // an unlinked box's index is "-1"
    return n;
}

qint64 DocLimits::settingsChars(const DocumentSettings& s)
{
    return s.paperSize.size() + digits(s.paperMargin) + digits(s.pageMax) + s.pageOrientation.size()
           + s.pageDirection.size() + s.pageFoldLine.size() + s.pageForm.size() + colorChars(s.pageColor)
           + s.editAreaPattern.size();
}

DocLimits::Usage DocLimits::measure(const DocumentSettings& settings, const QList<QList<DrawObject*>*>& areas)
{
    Usage u;
    u.chars = settingsChars(settings);
    for (const QList<DrawObject*>* list : areas) {
        u.objects += list->size();
        for (const DrawObject* o : *list)
            u.chars += objectChars(o);
    }
    return u;
}

bool DocLimits::fits(const Usage& usage)
{
    return usage.objects <= Document::MAX_OBJECTS && usage.chars <= Document::MAX_TEXT_CHARS;
}

QString DocLimits::refusal(const Usage& wanted)
{
    if (wanted.objects > Document::MAX_OBJECTS)
        return QString("オブジェクトは1つの文書に%1個までです。\nこれ以上追加できません。")
            .arg(Document::MAX_OBJECTS);
    return QString("文書の文字数が上限（%1文字）を超えるため、この変更はできません。")
        .arg(QLocale(QLocale::English).toString(Document::MAX_TEXT_CHARS));
}
