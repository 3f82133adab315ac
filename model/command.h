#ifndef COMMAND_H
#define COMMAND_H

#include <QList>
#include <QString>
#include <QStringList>

class DrawObject;

enum CommandCode {
    CMD_OBJ_CREATE = 0,
    CMD_OBJ_DELETE = 1,
    CMD_OBJ_SELECT = 2,
    CMD_OBJ_X_CHANGE = 3,
    CMD_OBJ_Y_CHANGE = 5,
    CMD_OBJ_Z_CHANGE = 6,
    CMD_OBJ_R_CHANGE = 7,
    CMD_OBJ_W_CHANGE = 9,
    CMD_OBJ_H_CHANGE = 10,
    CMD_OBJ_RECT_CHANGE = 12,
    CMD_OBJ_RECT_MOVE = 13,
    CMD_OBJ_TEXT_CHANGE = 14,
    CMD_OBJ_TEXT_COLOR_CHANGE = 15,
    CMD_OBJ_TEXT_FONT_CHANGE = 16,
    CMD_OBJ_TEXT_MARGIN_CHANGE = 17,
    CMD_OBJ_TEXT_SIZE_CHANGE = 18,
    CMD_OBJ_TEXT_WEIGHT_CHANGE = 19,
    CMD_OBJ_TEXT_ITALIC_CHANGE = 20,
    CMD_OBJ_TEXT_UNDERLINE_CHANGE = 21,
    CMD_OBJ_TEXT_STRIKEOUT_CHANGE = 22,
    CMD_OBJ_TEXT_IMAGING_CHANGE = 23,
    CMD_OBJ_TEXT_ALIGN_CHANGE = 24,
    CMD_OBJ_TEXT_LINE_SPACING_CHANGE = 25,
    CMD_OBJ_TEXT_WORD_SPACING_CHANGE = 26,
    CMD_OBJ_TEXT_TATEGAKI_CHANGE = 27,
    CMD_OBJ_TEXT_TATE_REV_ROTATE_X_CHANGE = 28,
    CMD_OBJ_TEXT_TATE_REV_ROTATE_Y_CHANGE = 29,
    CMD_OBJ_TEXT_TATE_REV_MINI_X_CHANGE = 30,
    CMD_OBJ_TEXT_TATE_REV_MINI_Y_CHANGE = 31,
    CMD_OBJ_TEXT_TATE_REV_PUNC_X_CHANGE = 32,
    CMD_OBJ_TEXT_TATE_REV_PUNC_Y_CHANGE = 33,
    CMD_OBJ_TEXT_EDGE_COLOR_CHANGE = 34,
    CMD_OBJ_TEXT_EDGE_WIDTH_CHANGE = 35,
    CMD_OBJ_TEXT_LINK_CHANGE = 36,
    CMD_OBJ_TEXT_LINK_SHARE_CONF_CHANGE = 37,
    CMD_OBJ_SHAPE_DATA_CHANGE = 38,
    CMD_OBJ_BG_COLOR_CHANGE = 39,
    CMD_OBJ_BG_COLOR_ENABLED_CHANGE = 40,
    CMD_OBJ_BG_RADIUS_CHANGE = 41,
    CMD_OBJ_BORDER_COLOR_CHANGE = 42,
    CMD_OBJ_BORDER_STYLE_CHANGE = 43,
    CMD_OBJ_BORDER_WIDTH_CHANGE = 44,
    CMD_OBJ_RULEDLINE_CHANGE = 45,
    CMD_OBJ_RULEDLINE_COLOR_CHANGE = 46,
    CMD_OBJ_RULEDLINE_STYLE_CHANGE = 47,
    CMD_OBJ_RULEDLINE_WIDTH_CHANGE = 48,
    CMD_OBJ_IMG_PATH_CHANGE = 49,
    CMD_OBJ_IMG_RATIO_KEEP_CHANGE = 50,
    CMD_OBJ_IMG_CENTER_CHANGE = 51,
};

// One change to the document: a code, a value text and the target objects.
// Never owns its targets, except a creation record held in undo/redo.
class Command
{
public:
    static const QString SEPA_OBJVAL; // U+0007, ends each per-object value

    explicit Command(const Command* other = nullptr);

    int type = 0;
    QString value;
    QList<DrawObject*> objs;
    // Undo and redo records: the document state executing the record returns to.
    quint64 docState = 0;

    void addObj(DrawObject* obj);
    void addObjs(QList<DrawObject*> list);
    int countObjects() const;

    // The value text split over the targets: part i for target i, part 0 for
    // the rest, surplus parts dropped. partCount is what remains after dropping.
    QStringList distributeValues(int* partCount = nullptr) const;

    // One value per target joined into a per-object list; a single value
    // when every target agrees.
    static QString joinPerObject(const QStringList& values);
    // One value per target joined into a per-object list, always.
    static QString perObjectList(const QStringList& values);

    // The field a simple property code sets, as value text, and writing it
    // back. hasField is false for codes that are not a plain field.
    static bool hasField(int type);
    static QString fieldValue(const DrawObject* obj, int type);
    static void setFieldValue(DrawObject* obj, int type, const QString& value);
    // Codes 15 to 35: text settings shared along a link chain.
    static bool isSharedTextSetting(int type);
    // A ruled-line record restores the whole set of bits; the panel sends a
    // signed single bit. The marker tells them apart.
    static QString ruledLineSetValue(int bits);
    static bool isRuledLineSetValue(const QString& value);

    // Records of text changes in chains (chaintext): per target, the span of
    // the chain's text that its value replaces; `at` -1 (or no entry): the
    // value is the target's whole text.
    struct TextSpan {
        int at = -1;
        int length = 0;
    };
    QList<TextSpan> textSpans;
};

#endif
