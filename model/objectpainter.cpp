#include "objectpainter.h"
#include "drawobject.h"
#include "fontmeasures.h"
#include "fonts.h"
#include "imagestore.h"
#include "pagefont.h"
#include "shapes.h"
#include "textreach.h"

#include <QFileInfo>
#include <QPaintDevice>
#include <QPainterPath>
#include <QPrinter>

#include <cmath>

namespace {

// Outlines wider than the panel allows (5) only come from damaged files; a
// width E costs up to 2(2E+1)^2 draws per glyph, so keep it small.
const int MAX_EDGE_WIDTH = 8;

// Border and ruled-line widths beyond the panel's range only come from
// damaged files; one pixel is added to them, which must not overflow.
const int MAX_LINE_WIDTH = 255;

// Upper bound of the off-screen text image, whatever the box and device.
const qint64 MAX_TEXT_IMAGE_PIXELS = 4096LL * 4096LL;

QColor almostOpaque(QColor c)
{
    if (c.alpha() == 255)
        c.setAlpha(254);
    return c;
}

struct TextMetrics {
    int ooW = 0;
    int pitch = 0;
    int cw = 0;
    int height = 0;
};

class ObjectPainter
{
public:
    ObjectPainter(DrawObject* o, QPainter* p, bool printer) : obj(*o), painter(p), printer(printer) {}
    void paint(const QRect& clip1, const QRect& clip2);

private:
    QRect box() const { return QRect(obj.x, obj.y, obj.w, obj.h); }
    bool hasContent() const;
    void clipContent(int kind, bool moldCut);
    void paintBackground();
    void paintImage();
    void paintPlaceholder();
    QSize devicePixels(const QRect& target) const;
    void paintBorder();
    void paintRuledLines();
    void paintText(const QRect& area);
    void paintChainNumber();
    void paintSelection();

    void applyGlyphTransform(QPainter* p, int i, const QRect& rect) const;
    void drawEntry(QPainter* p, int i, const QRect& base, const QPointF& offset, bool half) const;
    bool shows(int i) const;
    void drawEntries(QPainter* p, const QPoint& shift) const;
    void drawOutline();
    QRect visibleBoxPart() const;
    QPainter* beginTextImage(const QRect& part, const QFont& font);
    void flushTextImage(const QRect& part);

    DrawObject& obj;
    QPainter* painter;
    bool printer;
    TextMetrics m;
    qreal imageScale = 1;
    // Entries that may show (box-relative reach): a span found by bisection,
    // then each entry's rectangle; the rest are never visited.
    QRect reach;
    int spanFirst = 0;
    int spanLast = 0;
};

void ObjectPainter::paint(const QRect& clip1, const QRect& clip2)
{
    painter->save();
    if (clip2.isValid())
        painter->setClipRegion(QRegion(clip1).united(QRegion(clip2)));
    else
        painter->setClipRect(clip1);

    if (obj.r != 0) {
        const qreal cx = qint64(obj.x) + obj.w / 2, cy = qint64(obj.y) + obj.h / 2;
        painter->translate(cx, cy);
        painter->rotate(obj.r);
        painter->translate(-cx, -cy);
    }

    const int kind = shapeKindOf(obj.shapeData);
    const bool moldCut = shapeMoldCut(obj.shapeData);
    if (hasContent()) {
        painter->save();
        clipContent(kind, moldCut);
        paintBackground();
        paintImage();
        paintBorder();
        paintRuledLines();
        painter->restore();
    }

    if (kind >= SHAPE_HLINE && kind <= SHAPE_BALLOON) {
        painter->save();
        paintShape(painter, box(), obj.shapeData);
        painter->restore();
    }
    if (!obj.text.isEmpty())
        paintText(clip2.isValid() ? clip1.united(clip2) : clip1);
    if (!printer) {
        paintChainNumber();
        paintSelection();
    }
    painter->restore();
}

bool ObjectPainter::hasContent() const
{
    return obj.bgColorEnabled || obj.img
           || (obj.borderWidth > 0 && obj.borderStyle != 0)
           || (obj.ruledline > 0 && obj.ruledlineWidth > 0 && obj.ruledlineStyle != 0);
}

void ObjectPainter::clipContent(int kind, bool moldCut)
{
    if (moldCut) {
        if (kind >= SHAPE_CIRCLE && kind <= SHAPE_BALLOON)
            painter->setClipPath(shapeOutline(box(), obj.shapeData), Qt::IntersectClip);
        return;
    }
    if (obj.bgRadius == 0) {
        painter->setClipRect(box(), Qt::IntersectClip);
        return;
    }
    QPainterPath rounded;
    rounded.addRoundedRect(QRectF(box()), obj.bgRadius, obj.bgRadius);
    painter->setClipPath(rounded, Qt::IntersectClip);
}

void ObjectPainter::paintBackground()
{
    if (!obj.bgColorEnabled)
        return;
    painter->setPen(Qt::NoPen);
    painter->setBrush(obj.bgColor);
    if (obj.bgRadius == 0)
        painter->drawRect(box());
    else
        painter->drawRoundedRect(box(), obj.bgRadius, obj.bgRadius);
}

// The picture comes from the shared source at the size it is shown at (on
// screen, exactly the device pixels the target covers) or printed at (the
// output resolution); the geometry is that of the file's own size. What
// cannot be drawn is a crossed frame on screen and a warning in output.
void ObjectPainter::paintImage()
{
    if (!obj.img)
        return;
    ImageSource& source = *obj.img;
    const QSize full = source.size(); // empty when the picture cannot be used
    const QRect target = full.isEmpty() ? box() : imageTargetRect(box(), full, obj.imgRatioKeep, obj.imgCenter);
    if (target.isEmpty())
        return;
    const QSize print = ImageStore::instance().printPixels(target.size());
    const QImage image = printer ? source.printImage(print) : source.screenImage(devicePixels(target), print);
    if (!image.isNull()) {
        painter->setPen(Qt::NoPen);
        painter->setBrush(Qt::NoBrush);
        painter->drawImage(QRectF(target), image);
    } else if (!printer) {
        paintPlaceholder();
    }
}

// Device pixels the target rectangle covers through the painter's transform
// (zoom, rotation, the device pixel ratio).
QSize ObjectPainter::devicePixels(const QRect& target) const
{
    const QTransform t = painter->combinedTransform();
    const qreal sx = std::hypot(t.m11(), t.m12()), sy = std::hypot(t.m21(), t.m22());
    return QSize(qMax(1, int(std::ceil(target.width() * sx - 1e-3))), qMax(1, int(std::ceil(target.height() * sy - 1e-3))));
}

void ObjectPainter::paintPlaceholder()
{
    const QRect b = box();
    if (b.isEmpty())
        return;
    painter->save();
    painter->setPen(DrawObject::getPen(QColor(128, 128, 128, 255), Qt::SolidLine, 1, Qt::SquareCap));
    painter->setBrush(QColor(240, 240, 240, 160));
    const QRect frame = b.adjusted(0, 0, -1, -1);
    painter->drawRect(frame);
    painter->drawLine(frame.topLeft(), frame.bottomRight());
    painter->drawLine(frame.topRight(), frame.bottomLeft());

    ensureFontSubstitutions();
    QFont font(DEF_FONT_NAME);
    font.setPointSize(9);
    painter->setFont(PageFont::forDevice(font, painter->device()));
    const QFontMetrics fm = PageFont::metrics(font);
    const QString name = fm.elidedText(QFileInfo(obj.imgPath).fileName(), Qt::ElideMiddle, qMax(0, b.width() - 8));
    if (!name.isEmpty()) {
        QRect label(0, 0, fm.horizontalAdvance(name) + 6, fm.height() + 2);
        label.moveCenter(b.center());
        painter->setPen(Qt::NoPen);
        painter->setBrush(QColor(255, 255, 255, 220));
        painter->drawRect(label);
        painter->setPen(QColor(64, 64, 64, 255));
        painter->drawText(label, Qt::AlignCenter, name);
    }
    painter->restore();
}

void ObjectPainter::paintBorder()
{
    if (obj.borderWidth <= 0 || obj.borderStyle == 0)
        return;
    const int width = qMin(obj.borderWidth, MAX_LINE_WIDTH);
    painter->setPen(DrawObject::getPen(obj.borderColor, obj.borderStyle, width + 1, Qt::SquareCap));
    painter->setBrush(Qt::NoBrush);
    const int in = width / 2;
    const QRect rect = box().adjusted(in, in, -in, -in);
    if (obj.bgRadius < 1)
        painter->drawRect(rect);
    else
        painter->drawRoundedRect(rect, obj.bgRadius, obj.bgRadius);
}

void ObjectPainter::paintRuledLines()
{
    if (obj.ruledline <= 0 || obj.ruledlineWidth <= 0 || obj.ruledlineStyle == 0)
        return;
    const QRect b = box();
    const int width = qMin(obj.ruledlineWidth, MAX_LINE_WIDTH);
    const int half = width / 2;
    const int l = b.left(), t = b.top(), r1 = b.right() + 1, b1 = b.bottom() + 1;
    const int bits = obj.ruledline;
    painter->setBrush(Qt::NoBrush);
    painter->setPen(DrawObject::getPen(obj.ruledlineColor, obj.ruledlineStyle, width + 1, Qt::SquareCap));
    if (bits & 1)
        painter->drawLine(l, t + half, r1, t + half);
    if (bits & 8)
        painter->drawLine(l, b1 - half, r1, b1 - half);
    if (bits & 2)
        painter->drawLine(l + half, t, l + half, b1);
    if (bits & 4)
        painter->drawLine(r1 - half, t, r1 - half, b1);
    if (!(bits & (16 | 32)))
        return;
    painter->setPen(DrawObject::getPen(obj.ruledlineColor, obj.ruledlineStyle, width, Qt::SquareCap));
    if (bits & 16)
        painter->drawLine(l, b1, r1, t);
    if (bits & 32)
        painter->drawLine(l, t, r1, b1);
}

void ObjectPainter::applyGlyphTransform(QPainter* p, int i, const QRect& rect) const
{
    const int kind = i < obj.layoutKinds.size() ? obj.layoutKinds.at(i) : 0;
    switch (kind) {
    case 1: {
        const int cx = rect.x() + m.cw / 2;
        const int cy = rect.y() + m.height / 2;
        p->translate(cx, cy);
        p->rotate(90);
        if (DrawObject::containsStr(MOJI_TATE_FLIP, obj.layoutTexts.at(i))) {
            p->scale(1, -1);
            p->translate(obj.textTateRevRotateY - cx, obj.textTateRevRotateX - cy);
        } else {
            p->translate(obj.textTateRevRotateY - cx, -(cy + obj.textTateRevRotateX));
        }
        break;
    }
    case 2:
        p->translate(obj.textTateRevMiniX + m.ooW / 5, obj.textTateRevMiniY - m.pitch / 5);
        break;
    case 3:
        p->translate(obj.textTateRevPuncX + (2 * m.ooW) / 3, obj.textTateRevPuncY - m.pitch / 2);
        break;
    default:
        break;
    }
}

// Draws entry i at base moved by offset; in vertical writing the glyph
// transform is taken from base. half adds the printer's half-pixel pass.
void ObjectPainter::drawEntry(QPainter* p, int i, const QRect& base, const QPointF& offset, bool half) const
{
    const bool transformed = obj.textTategaki && i < obj.layoutKinds.size() && obj.layoutKinds.at(i) != 0;
    if (transformed) {
        p->save();
        applyGlyphTransform(p, i, base);
    }
    const int flags = obj.layoutFlags.at(i);
    const QString& text = obj.layoutTexts.at(i);
    p->drawText(QRectF(base).translated(offset), flags, text);
    if (half) {
        const QPointF nudge(offset.x() > 0 ? -0.5 : 0.5, offset.y() > 0 ? -0.5 : 0.5);
        p->drawText(QRectF(base).translated(offset + nudge), flags, text);
    }
    if (transformed)
        p->restore();
}

bool ObjectPainter::shows(int i) const
{
    return TextReach::unbounded() || obj.layoutRects.at(i).intersects(reach);
}

void ObjectPainter::drawEntries(QPainter* p, const QPoint& shift) const
{
    for (int i = spanFirst; i < spanLast; ++i)
        if (shows(i))
            drawEntry(p, i, obj.layoutRects.at(i).translated(shift), QPointF(), false);
}

void ObjectPainter::paintText(const QRect& area)
{
    const QFont font = obj.makeFont();
    const std::shared_ptr<FontMeasures> measures = FontMeasures::of(font);
    // Glyphs left out by the layout because no page could show them may show
    // now (the box moved, turned or is drawn on a larger page).
    reach = TextReach::reach(obj, area, *measures);
    obj.ensureLaidOut(area, reach);
    TextReach::entrySpan(obj, reach, &spanFirst, &spanLast);
    if (obj.textTategaki) { // only the vertical glyph transforms measure
        m.ooW = measures->ooW;
        m.pitch = measures->charPitch(obj.textWordSpacing);
        m.cw = int(1.5 * m.ooW);
        m.height = measures->height;
    }

    painter->save();
    painter->setFont(PageFont::forDevice(font, painter->device()));
    painter->setBrush(Qt::NoBrush);

    const bool needsImage = obj.textEdgeWidth > 0 || obj.textImaging;
    const QRect part = needsImage ? visibleBoxPart() : QRect();
    if (obj.textEdgeWidth > 0 && !part.isEmpty() && beginTextImage(part, font)) {
        drawOutline();
        flushTextImage(part);
    }
    if (!obj.textImaging) {
        painter->setPen(QPen(obj.textColor));
        drawEntries(painter, QPoint(obj.x, obj.y));
    } else if (!part.isEmpty() && beginTextImage(part, font)) {
        obj.textImagePainter->setPen(QPen(almostOpaque(obj.textColor)));
        drawEntries(obj.textImagePainter, QPoint());
        flushTextImage(part);
    }
    painter->restore();
}

void ObjectPainter::drawOutline()
{
    QPainter* p = obj.textImagePainter;
    p->setPen(QPen(almostOpaque(obj.textEdgeColor)));
    const int e = qMin(obj.textEdgeWidth, MAX_EDGE_WIDTH);
    for (int i = spanFirst; i < spanLast; ++i) {
        if (!shows(i))
            continue;
        const QRect base = obj.layoutRects.at(i);
        for (int dy = -e; dy <= e; ++dy) {
            for (int dx = -e; dx <= e; ++dx) {
                const int dist = qAbs(dx) + qAbs(dy);
                bool use;
                if (obj.textTategaki)
                    use = printer || (dx != 0 && dy != 0);
                else if (printer)
                    use = !(e >= 2 && dist >= 2 * e);
                else
                    use = dist == e;
                if (use)
                    drawEntry(p, i, base, QPointF(dx, dy), printer);
            }
        }
    }
}

// The part of the box, in box pixels, that can reach the device through the
// current clip; the off-screen image never needs to be larger than that.
QRect ObjectPainter::visibleBoxPart() const
{
    const QRectF boxF(obj.x, obj.y, obj.w, obj.h);
    QRectF visible = boxF;
    if (painter->hasClipping())
        visible &= painter->clipBoundingRect();
    const QPaintDevice* device = painter->device();
    bool invertible = false;
    const QTransform inverse = painter->combinedTransform().inverted(&invertible);
    if (!invertible)
        return QRect();
    if (device && device->width() > 0 && device->height() > 0)
        visible &= inverse.mapRect(QRectF(0, 0, device->width(), device->height()));
    if (visible.isEmpty())
        return QRect();
    // One pixel of slack keeps antialiased glyph edges at the cut unchanged.
    const QRect part = visible.translated(-obj.x, -obj.y).toAlignedRect().adjusted(-1, -1, 1, 1);
    return part.intersected(QRect(0, 0, obj.w, obj.h));
}

// Makes textImage cover part of the box, cleared, with textImagePainter
// drawing in box pixels. The image is kept while its size fits.
QPainter* ObjectPainter::beginTextImage(const QRect& part, const QFont& font)
{
    // Finer on a printer, and as fine as the pixels of a scaled screen.
    const qreal screenRatio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    imageScale = printer ? 2.0 : qMax<qreal>(1.0, screenRatio);
    const qint64 area = qint64(part.width()) * part.height();
    if (area * imageScale * imageScale > MAX_TEXT_IMAGE_PIXELS)
        imageScale = std::sqrt(qreal(MAX_TEXT_IMAGE_PIXELS) / area);
    const QSize size(qMax(1, int(part.width() * imageScale)), qMax(1, int(part.height() * imageScale)));

    if (!obj.textImage || obj.textImage->size() != size) {
        delete obj.textImagePainter;
        obj.textImagePainter = nullptr;
        delete obj.textImage;
        obj.textImage = new QImage(size, QImage::Format_ARGB32_Premultiplied);
        if (obj.textImage->isNull()) {
            delete obj.textImage;
            obj.textImage = nullptr;
            return nullptr;
        }
    }
    if (!obj.textImagePainter)
        obj.textImagePainter = new QPainter();
    QPainter* p = obj.textImagePainter;
    if (!p->isActive() && !p->begin(obj.textImage))
        return nullptr;
    p->setTransform(QTransform());
    p->setCompositionMode(QPainter::CompositionMode_Source);
    p->fillRect(obj.textImage->rect(), Qt::transparent);
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    p->scale(qreal(size.width()) / part.width(), qreal(size.height()) / part.height());
    p->translate(-part.x(), -part.y());
    p->setRenderHints(painter->renderHints());
    p->setFont(PageFont::forDevice(font, obj.textImage));
    p->setBrush(Qt::NoBrush);
    return p;
}

// Hands the finished image to the target painter. The image painter is ended
// first: recording devices (print preview, PDF) may keep a shallow copy of the
// image, which later drawing into it must not change.
void ObjectPainter::flushTextImage(const QRect& part)
{
    obj.textImagePainter->end();
    painter->drawImage(QRectF(part.translated(obj.x, obj.y)), *obj.textImage,
                       QRectF(0, 0, obj.textImage->width(), obj.textImage->height()));
}

void ObjectPainter::paintChainNumber()
{
    if (!obj.textLinkList)
        return;
    const QRect b = box();
    const QRect square(QPoint(b.x() + b.width() - 20, b.y() + b.height() - 20), b.bottomRight());
    painter->setPen(Qt::NoPen);
    painter->setBrush(QColor(255, 0, 0, 80));
    painter->drawRect(square);
    ensureFontSubstitutions();
    QFont font(DEF_FONT_NAME);
    font.setPointSize(12);
    font.setWeight(75);
    painter->setFont(PageFont::forDevice(font, painter->device()));
    painter->setPen(QColor(255, 255, 255, 192));
    painter->drawText(square, Qt::AlignHCenter | Qt::AlignVCenter, QString::number(obj.getTextLinkIndex() + 1));
}

void ObjectPainter::paintSelection()
{
    if (!obj.selected)
        return;
    painter->setPen(DrawObject::getPen(QColor(0, 0, 0, 153), Qt::DotLine, 2, Qt::SquareCap));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(box());
}

} // namespace

bool isPrinterDevice(const QPaintDevice* device)
{
    if (!device)
        return false;
    return device->devType() == QInternal::Printer || dynamic_cast<const QPrinter*>(device) != nullptr;
}

QRect imageTargetRect(const QRect& box, QSize imageSize, bool ratioKeep, bool center)
{
    QRect target = box;
    if (!ratioKeep)
        return target;
    const qint64 iw = imageSize.width() > 0 ? imageSize.width() : 1;
    const qint64 bw = box.width() > 0 ? box.width() : 1;
    const double ir = double(imageSize.height()) * 100 / iw;
    const double br = double(box.height()) * 100 / bw;
    if (br > ir) {
        const int nh = int(qMin<double>(ir * box.width() / 100, box.height()));
        if (center)
            target.setTop((box.top() + box.bottom()) / 2 - nh / 2);
        target.setBottom(target.top() + nh - 1);
    } else {
        const double irInt = std::floor(qMin(ir, 1e12));
        const qint64 divisor = irInt > 0 ? qint64(irInt) : 1;
        const int nw = int(qMin<qint64>(qint64(box.height()) * 100 / divisor, box.width()));
        if (center)
            target.setLeft((box.left() + box.right()) / 2 + (nw % 2 == 0 ? 1 : 0) - nw / 2);
        target.setRight(target.left() + nw - 1);
    }
    return target;
}

void paintObject(DrawObject* obj, QPainter* painter, QRect clip1, QRect clip2, bool printer)
{
    if (!obj || !painter || !painter->isActive())
        return;
    ObjectPainter(obj, painter, printer).paint(clip1, clip2);
}

void DrawObject::paint(QPainter* painter, QRect clip1, QRect clip2)
{
    if (!painter || !painter->isActive())
        return;
    paintObject(this, painter, clip1, clip2, isPrinterDevice(painter->device()));
}
