#include "command.h"

#include "drawobject.h"

#include <QStringList>

const QString Command::SEPA_OBJVAL = QString(QChar(0x0007));

Command::Command(const Command* other)
{
    if (other) {
        type = other->type;
        value = other->value;
        objs = other->objs;
        textSpans = other->textSpans;
    }
}

void Command::addObj(DrawObject* obj)
{
    objs.append(obj);
}

void Command::addObjs(QList<DrawObject*> list)
{
    objs.append(list);
}

int Command::countObjects() const
{
    return objs.size();
}

QStringList Command::distributeValues(int* partCount) const
{
    QStringList parts = value.split(SEPA_OBJVAL, Qt::KeepEmptyParts);
    // A per-object list ends with the separator: that last empty part closes
    // the list and is no value, or a short list would hand "" to the targets
    // beyond it instead of the first value.
    if (parts.size() > 1 && value.endsWith(SEPA_OBJVAL))
        parts.removeLast();
    while (parts.size() > objs.size() && parts.size() > 0)
        parts.removeLast();
    if (partCount)
        *partCount = parts.size();
    QStringList out;
    for (int i = 0; i < objs.size(); ++i)
        out.append(i < parts.size() ? parts.at(i) : (parts.isEmpty() ? QString() : parts.at(0)));
    return out;
}

QString Command::joinPerObject(const QStringList& values)
{
    if (values.isEmpty())
        return QString();
    bool same = true;
    for (const QString& v : values)
        same = same && v == values.first();
    return same ? values.first() : perObjectList(values);
}

QString Command::perObjectList(const QStringList& values)
{
    QString out;
    for (const QString& v : values)
        out += v + SEPA_OBJVAL;
    return out;
}

namespace {

QString boolText(bool b)
{
    return b ? QStringLiteral("true") : QStringLiteral("false");
}

bool textBool(const QString& v)
{
    return v == QLatin1String("true");
}

int textInt(const QString& v)
{
    return v.toInt(nullptr, 10);
}

// Field access by code; one table so reading and writing cannot drift apart.
struct FieldAccess {
    int type;
    QString (*get)(const DrawObject*);
    void (*set)(DrawObject*, const QString&);
};

#define INT_FIELD(code, f) \
    {code, [](const DrawObject* o) { return QString::number(o->f, 10); }, \
     [](DrawObject* o, const QString& v) { o->f = textInt(v); }}
#define BOOL_FIELD(code, f) \
    {code, [](const DrawObject* o) { return boolText(o->f); }, [](DrawObject* o, const QString& v) { o->f = textBool(v); }}
#define COLOR_FIELD(code, f) \
    {code, [](const DrawObject* o) { return DrawObject::colorToStr(o->f); }, \
     [](DrawObject* o, const QString& v) { o->f = DrawObject::strToColor(v); }}
#define TEXT_FIELD(code, f) \
    {code, [](const DrawObject* o) { return o->f; }, [](DrawObject* o, const QString& v) { o->f = v; }}

const FieldAccess FIELDS[] = {
    INT_FIELD(CMD_OBJ_X_CHANGE, x),
    INT_FIELD(CMD_OBJ_Y_CHANGE, y),
    INT_FIELD(CMD_OBJ_R_CHANGE, r),
    INT_FIELD(CMD_OBJ_W_CHANGE, w),
    INT_FIELD(CMD_OBJ_H_CHANGE, h),
    TEXT_FIELD(CMD_OBJ_TEXT_CHANGE, text),
    COLOR_FIELD(CMD_OBJ_TEXT_COLOR_CHANGE, textColor),
    TEXT_FIELD(CMD_OBJ_TEXT_FONT_CHANGE, textFont),
    INT_FIELD(CMD_OBJ_TEXT_MARGIN_CHANGE, textMargin),
    INT_FIELD(CMD_OBJ_TEXT_SIZE_CHANGE, textSize),
    INT_FIELD(CMD_OBJ_TEXT_WEIGHT_CHANGE, textWeight),
    BOOL_FIELD(CMD_OBJ_TEXT_ITALIC_CHANGE, textItalic),
    BOOL_FIELD(CMD_OBJ_TEXT_UNDERLINE_CHANGE, textUnderline),
    BOOL_FIELD(CMD_OBJ_TEXT_STRIKEOUT_CHANGE, textStrikeout),
    BOOL_FIELD(CMD_OBJ_TEXT_IMAGING_CHANGE, textImaging),
    INT_FIELD(CMD_OBJ_TEXT_ALIGN_CHANGE, textAlign),
    INT_FIELD(CMD_OBJ_TEXT_LINE_SPACING_CHANGE, textLineSpacing),
    INT_FIELD(CMD_OBJ_TEXT_WORD_SPACING_CHANGE, textWordSpacing),
    BOOL_FIELD(CMD_OBJ_TEXT_TATEGAKI_CHANGE, textTategaki),
    INT_FIELD(CMD_OBJ_TEXT_TATE_REV_ROTATE_X_CHANGE, textTateRevRotateX),
    INT_FIELD(CMD_OBJ_TEXT_TATE_REV_ROTATE_Y_CHANGE, textTateRevRotateY),
    INT_FIELD(CMD_OBJ_TEXT_TATE_REV_MINI_X_CHANGE, textTateRevMiniX),
    INT_FIELD(CMD_OBJ_TEXT_TATE_REV_MINI_Y_CHANGE, textTateRevMiniY),
    INT_FIELD(CMD_OBJ_TEXT_TATE_REV_PUNC_X_CHANGE, textTateRevPuncX),
    INT_FIELD(CMD_OBJ_TEXT_TATE_REV_PUNC_Y_CHANGE, textTateRevPuncY),
    COLOR_FIELD(CMD_OBJ_TEXT_EDGE_COLOR_CHANGE, textEdgeColor),
    INT_FIELD(CMD_OBJ_TEXT_EDGE_WIDTH_CHANGE, textEdgeWidth),
    TEXT_FIELD(CMD_OBJ_SHAPE_DATA_CHANGE, shapeData),
    COLOR_FIELD(CMD_OBJ_BG_COLOR_CHANGE, bgColor),
    BOOL_FIELD(CMD_OBJ_BG_COLOR_ENABLED_CHANGE, bgColorEnabled),
    INT_FIELD(CMD_OBJ_BG_RADIUS_CHANGE, bgRadius),
    COLOR_FIELD(CMD_OBJ_BORDER_COLOR_CHANGE, borderColor),
    INT_FIELD(CMD_OBJ_BORDER_STYLE_CHANGE, borderStyle),
    INT_FIELD(CMD_OBJ_BORDER_WIDTH_CHANGE, borderWidth),
    COLOR_FIELD(CMD_OBJ_RULEDLINE_COLOR_CHANGE, ruledlineColor),
    INT_FIELD(CMD_OBJ_RULEDLINE_STYLE_CHANGE, ruledlineStyle),
    INT_FIELD(CMD_OBJ_RULEDLINE_WIDTH_CHANGE, ruledlineWidth),
    BOOL_FIELD(CMD_OBJ_IMG_RATIO_KEEP_CHANGE, imgRatioKeep),
    BOOL_FIELD(CMD_OBJ_IMG_CENTER_CHANGE, imgCenter),
};

#undef INT_FIELD
#undef BOOL_FIELD
#undef COLOR_FIELD
#undef TEXT_FIELD

const FieldAccess* findField(int type)
{
    for (const FieldAccess& f : FIELDS)
        if (f.type == type)
            return &f;
    return nullptr;
}

const QString RULEDLINE_SET_MARK = QStringLiteral("=");

} // namespace

bool Command::hasField(int type)
{
    return findField(type) != nullptr;
}

QString Command::fieldValue(const DrawObject* obj, int type)
{
    const FieldAccess* f = findField(type);
    return f && obj ? f->get(obj) : QString();
}

void Command::setFieldValue(DrawObject* obj, int type, const QString& value)
{
    if (const FieldAccess* f = findField(type))
        if (obj)
            f->set(obj, value);
}

bool Command::isSharedTextSetting(int type)
{
    return type >= CMD_OBJ_TEXT_COLOR_CHANGE && type <= CMD_OBJ_TEXT_EDGE_WIDTH_CHANGE;
}

QString Command::ruledLineSetValue(int bits)
{
    return RULEDLINE_SET_MARK + QString::number(bits, 10);
}

bool Command::isRuledLineSetValue(const QString& value)
{
    return value.startsWith(RULEDLINE_SET_MARK);
}
