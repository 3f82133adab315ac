#include "shapes.h"
#include "drawobject.h"

#include <QHash>
#include <QPainter>
#include <QPolygonF>

namespace {

const int COMBO_TABLE[9] = {0, 1, 2, 3, 6, 7, 4, 5, 8};

// Values from a damaged file may be absurd; keep them where integer
// geometry cannot overflow. The panel's own ranges lie well inside.
const int VALUE_LIMIT = 1000000;

// Shape data parsed once: painting reads it on every repaint.
struct ShapeParams {
    int kind = 0;
    bool moldCut = false;
    bool ellipse = false;
    QString direction;
    int radius = 0;
    int tailPos = 0;
    int tailWidth = 0;
    int tailLength = 0;
    bool hasLineStyle = false; // lines need colour, style and width
    bool hasBody = false;      // closed shapes need body colour, line colour and width
    QColor lineColor;
    QColor bodyColor;
    int lineStyle = 0;
    int lineWidth = 0;
    int lineCount = 1;
};

int boundedInt(const QString& v, int fallback)
{
    return v.isEmpty() ? fallback : qBound(-VALUE_LIMIT, v.toInt(), VALUE_LIMIT);
}

// Same reading as DrawObject::findValue: the first entry of a key wins, and
// an empty value counts as missing.
ShapeParams parseParams(const QString& data)
{
    QHash<QString, QString> values;
    for (const QStringRef& item : data.splitRef(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const int eq = item.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        const QString key = item.left(eq).toString();
        if (!values.contains(key))
            values.insert(key, item.mid(eq + 1).toString());
    }
    auto has = [&](const char* key) { return !values.value(QLatin1String(key)).isEmpty(); };
    auto text = [&](const char* key) { return values.value(QLatin1String(key)); };
    ShapeParams params;
    params.kind = text("Shape").toInt();
    params.moldCut = text("MoldCut") == QLatin1String("inside");
    params.ellipse = text("IsEllipse") == QLatin1String("true");
    params.direction = text("Direction");
    params.radius = boundedInt(text("Radius"), 0);
    params.tailPos = boundedInt(text("SippoP"), 0);
    params.tailWidth = boundedInt(text("SippoW"), 0);
    params.tailLength = boundedInt(text("SippoH"), 0);
    params.hasLineStyle = has("LineColor") && has("LineStyle") && has("LineWidth");
    params.hasBody = has("BodyColor") && has("LineColor") && has("LineWidth");
    params.lineColor = DrawObject::strToColor(text("LineColor"));
    params.bodyColor = DrawObject::strToColor(text("BodyColor"));
    params.lineStyle = boundedInt(text("LineStyle"), 0);
    params.lineWidth = qBound(0, boundedInt(text("LineWidth"), 0), 255);
    params.lineCount = boundedInt(text("LineCount"), 1);
    return params;
}

// Bounded caches; objects share few distinct strings and boxes change rarely.
const int CACHE_LIMIT = 512;

ShapeParams paramsFor(const QString& data)
{
    static QHash<QString, ShapeParams> cache;
    const auto it = cache.constFind(data);
    if (it != cache.constEnd())
        return it.value();
    if (cache.size() >= CACHE_LIMIT)
        cache.clear();
    return cache.insert(data, parseParams(data)).value();
}

struct OutlineKey {
    QString data;
    QRect box;
    bool operator==(const OutlineKey& o) const { return box == o.box && data == o.data; }
};

uint qHash(const OutlineKey& k, uint seed = 0)
{
    uint h = qHash(k.data, seed);
    for (int v : {k.box.x(), k.box.y(), k.box.width(), k.box.height()})
        h = h * 31 + uint(v);
    return h;
}

QPainterPath buildOutline(const QRect& box, const ShapeParams& params)
{
    switch (params.kind) {
    case SHAPE_CIRCLE:
        return circleOutline(box, params.ellipse);
    case SHAPE_STAR:
        return starOutline(box);
    case SHAPE_HEART:
        return heartOutline(box);
    case SHAPE_TRIANGLE:
        return triangleOutline(box, params.direction);
    case SHAPE_DIAMOND:
        return diamondOutline(box);
    case SHAPE_BALLOON:
        return balloonOutline(box, params.radius, params.direction, params.tailPos, params.tailWidth, params.tailLength);
    default:
        return QPainterPath();
    }
}

// Integer fraction of a length, truncated toward zero.
qreal part(int length, int num, int den)
{
    return qreal(qint64(length) * num / den);
}

QPainterPath closedPolygon(const QList<QPointF>& points)
{
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    path.addPolygon(QPolygonF(points.toVector()));
    path.closeSubpath();
    return path.simplified();
}

} // namespace

int shapeComboIndexToKind(int index)
{
    return (index >= 0 && index <= 8) ? COMBO_TABLE[index] : index;
}

int shapeKindToComboIndex(int kind)
{
    return (kind >= 0 && kind <= 8) ? COMBO_TABLE[kind] : kind;
}

QList<ShapeKey> shapeKeyDefaults(int kind)
{
    const ShapeKey line = {"LineColor", "0,0,0,255"};
    const ShapeKey width = {"LineWidth", "1"};
    const ShapeKey yellow = {"BodyColor", "255,255,0,255"};
    const ShapeKey mold = {"MoldCut", "none"};
    switch (kind) {
    case SHAPE_HLINE:
    case SHAPE_VLINE:
        return {line, {"LineStyle", "1"}, width, {"LineCount", "1"}};
    case SHAPE_CIRCLE:
        return {yellow, line, width, {"IsEllipse", "false"}, mold};
    case SHAPE_STAR:
    case SHAPE_DIAMOND:
        return {yellow, line, width, mold};
    case SHAPE_HEART:
        return {{"BodyColor", "255,0,0,255"}, line, width, mold};
    case SHAPE_TRIANGLE:
        return {yellow, line, width, mold, {"Direction", "N"}};
    case SHAPE_BALLOON:
        return {yellow, line, width, mold, {"Radius", "0"}, {"Direction", "S"},
                {"SippoP", "50"}, {"SippoW", "20"}, {"SippoH", "20"}};
    default:
        return {};
    }
}

QString defaultShapeData(int kind)
{
    QString data = QStringLiteral("Shape=%1;").arg(kind);
    for (const ShapeKey& k : shapeKeyDefaults(kind))
        data += QLatin1String(k.key) + '=' + QLatin1String(k.value) + ';';
    return data;
}

int shapeKindOf(const QString& data)
{
    return paramsFor(data).kind;
}

bool shapeMoldCut(const QString& data)
{
    return paramsFor(data).moldCut;
}

QRectF circleRect(const QRect& box, bool ellipse)
{
    const int x = box.x(), y = box.y(), w = box.width(), h = box.height();
    if (ellipse)
        return QRectF(x, y, w, h);
    if (w <= h)
        return QRectF(x, y + (h - w) / 2, w, w);
    return QRectF(x + (w - h) / 2, y, h, h);
}

QPainterPath circleOutline(const QRect& box, bool ellipse)
{
    QPainterPath path;
    path.addEllipse(circleRect(box, ellipse));
    return path;
}

QPainterPath starOutline(const QRect& box)
{
    const qreal x = box.x(), y = box.y();
    const int w = box.width(), h = box.height();
    return closedPolygon({{x, y + part(h, 3, 8)},
                          {x + w, y + part(h, 3, 8)},
                          {x + part(w, 1, 5), y + h},
                          {x + part(w, 1, 2), y},
                          {x + part(w, 4, 5), y + h}});
}

QPainterPath heartOutline(const QRect& box)
{
    const qreal x = box.x(), y = box.y();
    const int w = box.width(), h = box.height();
    auto px = [&](int num, int den) { return x + part(w, num, den); };
    auto py = [&](int num, int den) { return y + part(h, num, den); };
    QPainterPath path;
    path.moveTo(px(1, 2), y + h);
    path.cubicTo(px(1, 4), py(3, 4), x, py(1, 2), x, py(1, 3));
    path.cubicTo(x, py(1, 7), px(1, 9), y, px(1, 4), y);
    path.cubicTo(px(1, 4), y, px(7, 16), y, px(1, 2), py(1, 5));
    path.cubicTo(px(9, 16), y, px(3, 4), y, px(3, 4), y);
    path.cubicTo(px(8, 9), y, x + w, py(1, 7), x + w, py(1, 3));
    path.cubicTo(x + w, py(1, 2), px(3, 4), py(3, 4), px(1, 2), y + h);
    return path;
}

QPainterPath triangleOutline(const QRect& box, const QString& direction)
{
    const qreal x = box.x(), y = box.y();
    const int w = box.width(), h = box.height();
    if (direction == QLatin1String("N"))
        return closedPolygon({{x + part(w, 1, 2), y}, {x, y + h}, {x + w, y + h}});
    if (direction == QLatin1String("E"))
        return closedPolygon({{x, y}, {x + w, y + part(h, 1, 2)}, {x, y + h}});
    if (direction == QLatin1String("W"))
        return closedPolygon({{x + w, y}, {x, y + part(h, 1, 2)}, {x + w, y + h}});
    if (direction == QLatin1String("S"))
        return closedPolygon({{x + part(w, 1, 2), y + h}, {x, y}, {x + w, y}});
    return QPainterPath();
}

QPainterPath diamondOutline(const QRect& box)
{
    const qreal x = box.x(), y = box.y();
    const int w = box.width(), h = box.height();
    return closedPolygon({{x + part(w, 1, 2), y},
                          {x + w, y + part(h, 1, 2)},
                          {x + part(w, 1, 2), y + h},
                          {x, y + part(h, 1, 2)}});
}

QPainterPath balloonOutline(const QRect& box, int radius, const QString& direction,
                            int tailPos, int tailWidth, int tailLength)
{
    const qreal x = box.x(), y = box.y();
    const int w = box.width(), h = box.height();
    QPainterPath path;
    path.addRoundedRect(QRectF(x, y, w, h), radius, radius);

    const qreal half = tailWidth / 2;
    QList<QPointF> tail;
    if (direction == QLatin1String("N")) {
        const qreal p = x + part(w, tailPos, 100);
        tail = {{p - half, y}, {p + half, y}, {p, y - tailLength}};
    } else if (direction == QLatin1String("E")) {
        const qreal p = y + part(h, tailPos, 100);
        tail = {{x + w, p - half}, {x + w, p + half}, {x + w + tailLength, p}};
    } else if (direction == QLatin1String("W")) {
        const qreal p = y + part(h, tailPos, 100);
        tail = {{x, p - half}, {x, p + half}, {x - tailLength, p}};
    } else if (direction == QLatin1String("S")) {
        const qreal p = x + part(w, tailPos, 100);
        tail = {{p - half, y + h}, {p + half, y + h}, {p, y + h + tailLength}};
    }
    if (!tail.isEmpty()) {
        path.addPolygon(QPolygonF(tail.toVector()));
        path.closeSubpath();
    }
    return path.simplified();
}

QPainterPath shapeOutline(const QRect& box, const QString& data)
{
    static QHash<OutlineKey, QPainterPath> cache;
    const OutlineKey key{data, box};
    const auto it = cache.constFind(key);
    if (it != cache.constEnd())
        return it.value();
    if (cache.size() >= CACHE_LIMIT)
        cache.clear();
    return cache.insert(key, buildOutline(box, paramsFor(data))).value();
}

QList<QLineF> shapeLines(const QRect& box, int kind, int count)
{
    QList<QLineF> lines;
    if (kind != SHAPE_HLINE && kind != SHAPE_VLINE)
        return lines;
    const qreal x = box.x(), y = box.y();
    const int w = box.width(), h = box.height();
    const int extent = kind == SHAPE_HLINE ? h : w;
    // More lines than pixels only repeat positions already drawn.
    const int n = qBound(0, count, qMax(0, extent));
    lines.reserve(n);
    for (int i = 1; i <= n; ++i) {
        const qreal at = qreal(qint64(extent) * i / (qint64(n) + 1));
        if (kind == SHAPE_HLINE)
            lines.append(QLineF(x, y + at, x + w, y + at));
        else
            lines.append(QLineF(x + at, y, x + at, y + h));
    }
    return lines;
}

void paintShape(QPainter* painter, const QRect& box, const QString& data)
{
    const ShapeParams params = paramsFor(data);
    if (params.kind == SHAPE_HLINE || params.kind == SHAPE_VLINE) {
        if (!params.hasLineStyle)
            return;
        painter->setPen(DrawObject::getPen(params.lineColor, params.lineStyle, params.lineWidth, Qt::FlatCap));
        painter->setBrush(Qt::NoBrush);
        const QList<QLineF> lines = shapeLines(box, params.kind, params.lineCount);
        if (!lines.isEmpty())
            painter->drawLines(lines.toVector());
        return;
    }
    if (params.kind < SHAPE_CIRCLE || params.kind > SHAPE_BALLOON || !params.hasBody)
        return;
    painter->setPen(DrawObject::getPen(params.lineColor, Qt::SolidLine, params.lineWidth, Qt::SquareCap));
    if (params.moldCut)
        painter->setBrush(Qt::NoBrush);
    else
        painter->setBrush(params.bodyColor);
    if (params.kind == SHAPE_CIRCLE)
        painter->drawEllipse(circleRect(box, params.ellipse));
    else
        painter->drawPath(shapeOutline(box, data));
}
