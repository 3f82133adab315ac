#ifndef DRAWOBJECT_H
#define DRAWOBJECT_H

#include <QColor>
#include <QFontMetrics>
#include <QImage>
#include <QList>
#include <QPainter>
#include <QPen>
#include <QRect>
#include <QString>

#include <memory>

class ImageSource;

// Character sets for vertical writing and Japanese line breaking.
extern const QString MOJI_MINI1_HALF;
extern const QString MOJI_MINI1;
extern const QString MOJI_MINI2_HALF;
extern const QString MOJI_MINI2;
extern const QString MOJI_TATE_HALF;
extern const QString MOJI_TATE;
extern const QString MOJI_TATE_FLIP;
extern const QString MOJI_KINSOKU_ATAMA_ZENKAKU;
extern const QString MOJI_KINSOKU_ATAMA_HANKAKU;
extern const QString MOJI_KINSOKU_ATAMA;
extern const QString MOJI_KINSOKU_OSIRI_ZENKAKU;
extern const QString MOJI_KINSOKU_OSIRI_HANKAKU;
extern const QString MOJI_KINSOKU_OSIRI;

extern const QString DEF_FONT_NAME; // "Osaka"

// Font sizes are clamped to this when measuring and drawing.
constexpr int MAX_FONT_POINT_SIZE = 2000;

// One placed object: a box with text, shape, image, background, border and
// ruled lines. Plain record; the command executor writes the fields directly.
class DrawObject
{
public:
    DrawObject(int x, int y, int w, int h);
    ~DrawObject();
    DrawObject(const DrawObject&) = delete;
    DrawObject& operator=(const DrawObject&) = delete;

    int x;
    int y;
    int w;
    int h;
    int r = 0;
    QColor textColor = QColor(0, 0, 0, 255);
    QString text = "New";
    QString textFont;
    int textMargin = 4;
    int textSize = 12;
    int textWeight = 50;
    bool textItalic = false;
    bool textUnderline = false;
    bool textStrikeout = false;
    bool textImaging = false;
    int textAlign = 33;
    int textLineSpacing = 4;
    int textWordSpacing = 0;
    int textEdgeWidth = 0;
    QColor textEdgeColor = QColor(255, 255, 255, 255);
    bool textTategaki = false;
    int textTateRevRotateX = 0;
    int textTateRevRotateY = 0;
    int textTateRevMiniX = 0;
    int textTateRevMiniY = 0;
    int textTateRevPuncX = 0;
    int textTateRevPuncY = 0;
    int shape = 0;
    QString shapeData;
    QColor bgColor = QColor(255, 255, 255, 255);
    bool bgColorEnabled = false;
    int bgRadius = 0;
    QColor borderColor = QColor(0, 0, 0, 255);
    int borderStyle = 0;
    int borderWidth = 1;
    int ruledline = 15;
    QColor ruledlineColor = QColor(0, 0, 0, 255);
    int ruledlineStyle = 0;
    int ruledlineWidth = 1;
    QString imgPath;
    bool imgRatioKeep = false;
    bool imgCenter = false;
    bool selected = false;
    QList<DrawObject*>* textLinkList = nullptr;
    bool textLinkShareConf = true;
    // The picture of imgPath, shared with every other object naming the same
    // file; set for any non-empty path, also one that cannot be used.
    std::shared_ptr<ImageSource> img;
    QImage* textImage = nullptr;
    QPainter* textImagePainter = nullptr;
    QList<QRect> layoutRects;
    QList<int> layoutFlags;
    QList<QString> layoutTexts;
    QList<int> layoutKinds;
    QList<QString> layoutLines;
    // Every glyph whose layout rectangle meets layoutReach (box-relative) is
    // placed; with layoutPartial, glyphs outside it were left out because no
    // page could show them (textreach).
    QRect layoutReach;
    bool layoutPartial = false;
    // Line counts of the paragraphs of a centred last member, kept so that an
    // edit before them does not count them again (textlayout).
    std::shared_ptr<struct LineIndex> layoutIndex;

    static void null(DrawObject* obj);
    // The stored fields only: no image, no layout, no chain. Cheap enough to
    // take of a whole document on every autosave, and safe to write out from
    // another thread.
    static DrawObject* storedCopy(const DrawObject* obj);
    void setImgPath(QString path);

    static QString findValue(QString key, QString data, QString defaultValue);
    static QColor strToColor(QString str);
    static QString colorToStr(QColor color);
    static QPen getPen(QColor color, int style, int width, int cap);

    bool isTextLinked() const;
    int getTextLinkIndex() const;
    DrawObject* getTextLinkNext() const;
    DrawObject* getTextLinkPrev() const;
    QString getTextLinkId() const;

    // Text layout (textlayout.cpp).
    void relocateText(QString text);
    // Lays the text out again when glyphs that can show through `area` (page
    // coordinates) were left out: the box moved, grew or turned since.
    // `need` is TextReach::reach for that area, which the painter has anyway.
    void ensureLaidOut(const QRect& area, const QRect& need);
    static bool isAlphabet(QString str);
    static bool containsStr(QString set, QString str);
    static int calcTextWidth(QString str, const QFontMetrics& fm, int spacing, bool force);
    // Vertical character pitch: 2 minus the top of the text box of "Q" plus
    // the spacing, at least 1. Layout and painting must agree on it.
    static int charPitch(const QFontMetrics& fm, int spacing);
    // The same from the top of the text box of "Q".
    static int pitchFromTop(int qTop, int spacing);
    QFont makeFont() const;

    // Painting (objectpainter.cpp); screen or printer decided by the device.
    void paint(QPainter* painter, QRect clip1, QRect clip2);

private:
    struct Bare {};
    explicit DrawObject(Bare);
};

#endif
