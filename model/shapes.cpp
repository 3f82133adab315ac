#include "shapes.h"
#include "drawobject.h"

#include <QPainter>
#include <QPolygonF>

namespace {

const int COMBO_TABLE[9] = {0, 1, 2, 3, 6, 7, 4, 5, 8};

// Values from a damaged file may be absurd; keep them where integer
// geometry cannot overflow. The panel's own ranges lie well inside.
const int VALUE_LIMIT = 1000000;

int intValue(const QString& data, const char* key, int fallback)
{
    const QString v = DrawObject::findValue(QString::fromLatin1(key), data, QString());
    if (v.isEmpty())
        return fallback;
    return qBound(-VALUE_LIMIT, v.toInt(), VALUE_LIMIT);
}

bool hasValue(const QString& data, const char* key)
{
    return !DrawObject::findValue(QString::fromLatin1(key), data, QString()).isEmpty();
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

int saneLineStyle(int style)
{
    return (style >= Qt::NoPen && style <= Qt::DashDotDotLine) ? style : Qt::SolidLine;
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

QString defaultShapeData(int kind)
{
    const QString black = QStringLiteral("LineColor=0,0,0,255;LineWidth=1;");
    const QString yellow = QStringLiteral("BodyColor=255,255,0,255;") + black;
    QString keys;
    switch (kind) {
    case SHAPE_HLINE:
    case SHAPE_VLINE:
        keys = QStringLiteral("LineColor=0,0,0,255;LineStyle=1;LineWidth=1;LineCount=1;");
        break;
    case SHAPE_CIRCLE:
        keys = yellow + QStringLiteral("IsEllipse=false;MoldCut=none;");
        break;
    case SHAPE_STAR:
    case SHAPE_DIAMOND:
        keys = yellow + QStringLiteral("MoldCut=none;");
        break;
    case SHAPE_HEART:
        keys = QStringLiteral("BodyColor=255,0,0,255;") + black + QStringLiteral("MoldCut=none;");
        break;
    case SHAPE_TRIANGLE:
        keys = yellow + QStringLiteral("MoldCut=none;Direction=N;");
        break;
    case SHAPE_BALLOON:
        keys = yellow + QStringLiteral("MoldCut=none;Radius=0;Direction=S;SippoP=50;SippoW=20;SippoH=20;");
        break;
    default:
        break;
    }
    return QStringLiteral("Shape=%1;").arg(kind) + keys;
}

int shapeKindOf(const QString& data)
{
    return DrawObject::findValue(QStringLiteral("Shape"), data, QString()).toInt();
}

bool shapeMoldCut(const QString& data)
{
    return DrawObject::findValue(QStringLiteral("MoldCut"), data, QString()) == QLatin1String("inside");
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
    switch (shapeKindOf(data)) {
    case SHAPE_CIRCLE:
        return circleOutline(box, DrawObject::findValue("IsEllipse", data, QString()) == QLatin1String("true"));
    case SHAPE_STAR:
        return starOutline(box);
    case SHAPE_HEART:
        return heartOutline(box);
    case SHAPE_TRIANGLE:
        return triangleOutline(box, DrawObject::findValue("Direction", data, QString()));
    case SHAPE_DIAMOND:
        return diamondOutline(box);
    case SHAPE_BALLOON:
        return balloonOutline(box, intValue(data, "Radius", 0),
                              DrawObject::findValue("Direction", data, QString()),
                              intValue(data, "SippoP", 0), intValue(data, "SippoW", 0),
                              intValue(data, "SippoH", 0));
    default:
        return QPainterPath();
    }
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
    const int kind = shapeKindOf(data);
    if (kind == SHAPE_HLINE || kind == SHAPE_VLINE) {
        if (!hasValue(data, "LineColor") || !hasValue(data, "LineStyle") || !hasValue(data, "LineWidth"))
            return;
        const QColor color = DrawObject::strToColor(DrawObject::findValue("LineColor", data, QString()));
        painter->setPen(DrawObject::getPen(color, saneLineStyle(intValue(data, "LineStyle", 0)),
                                           qBound(0, intValue(data, "LineWidth", 0), 255), Qt::FlatCap));
        painter->setBrush(Qt::NoBrush);
        const QList<QLineF> lines = shapeLines(box, kind, intValue(data, "LineCount", 1));
        if (!lines.isEmpty())
            painter->drawLines(lines.toVector());
        return;
    }
    if (kind < SHAPE_CIRCLE || kind > SHAPE_BALLOON)
        return;
    if (!hasValue(data, "BodyColor") || !hasValue(data, "LineColor") || !hasValue(data, "LineWidth"))
        return;
    const QColor line = DrawObject::strToColor(DrawObject::findValue("LineColor", data, QString()));
    painter->setPen(DrawObject::getPen(line, Qt::SolidLine, qBound(0, intValue(data, "LineWidth", 0), 255),
                                       Qt::SquareCap));
    if (shapeMoldCut(data))
        painter->setBrush(Qt::NoBrush);
    else
        painter->setBrush(DrawObject::strToColor(DrawObject::findValue("BodyColor", data, QString())));
    if (kind == SHAPE_CIRCLE)
        painter->drawEllipse(circleRect(box, DrawObject::findValue("IsEllipse", data, QString()) == QLatin1String("true")));
    else
        painter->drawPath(shapeOutline(box, data));
}
