#include "sheet.h"

#include "drawobject.h"
#include "objectpainter.h"
#include "setting.h"

#include <QPainter>
#include <QPrinter>

#include <cmath>

namespace Sheet {

namespace {

const QColor FOLD_COLOR(153, 153, 153, 255);
const QColor GRID_COLOR(153, 204, 255, 255);

QVector<Piece> pieces(std::initializer_list<int> areas, std::initializer_list<int> parts,
                      std::initializer_list<int> flags)
{
    QVector<Piece> out;
    auto a = areas.begin();
    auto p = parts.begin();
    auto f = flags.begin();
    for (; a != areas.end(); ++a, ++p, ++f)
        out.append({*a, *p, *f});
    return out;
}

// Booklet page order, one output page per booklet page.
QVector<Piece> pageByPage(int pageMax, bool left)
{
    QVector<Piece> out;
    if (pageMax == 8) {
        const int areas[] = {0, 1, 1, 2, 2, 3, 3, 0};
        for (int i = 0; i < 8; ++i)
            out.append({areas[i], (i % 2 == 0) == left ? 1 : 0, 0});
    } else if (pageMax == 4) {
        const int areas[] = {0, 1, 1, 0};
        for (int i = 0; i < 4; ++i)
            out.append({areas[i], (i % 2 == 0) == left ? 1 : 0, 0});
    } else if (pageMax == 1) {
        // A single page is the whole edit area, not two halves.
        out.append({0, PART_WHOLE, 0});
    }
    return out;
}

// Flags of the one edit area the editor shows, indexed by area.
int editorFlags(int area, int pageMax, const QString& direction)
{
    if (pageMax == 1)
        return 15;
    if (pageMax == 4)
        return 14;
    if (pageMax != 8)
        return 0;
    const bool left = direction.endsWith("left");
    static const int JABARA[2][4] = {{14, 6, 12, 4}, {14, 12, 6, 4}};
    static const int KANNON[2][4] = {{4, 20, 6, 12}, {4, 20, 12, 6}};
    static const int STANDARD[2][4] = {{6, 12, 6, 12}, {12, 6, 12, 6}};
    if (direction.startsWith("jabara"))
        return JABARA[left][area];
    if (direction.startsWith("kannon"))
        return KANNON[left][area];
    return STANDARD[left][area];
}

}

QSize sheetSize(int pageMax, int W, int H)
{
    switch (pageMax) {
    case 1: return QSize(W, H);
    case 4: return QSize(2 * H, W);
    case 8: return QSize(2 * H, 2 * W);
    default: return QSize();
    }
}

Frame areaFrame(const QString& direction, int pageMax, int area, int part)
{
    if (area < 0 || area > 3)
        return TF_NONE;
    if (pageMax == 4) {
        // Gatefold and accordion exist only with 8 pages; a document that pairs
        // them with 4 pages is imposed as the standard fold rather than piled up.
        static const QStringList KNOWN = {"left", "right", "kannon-left", "kannon-right",
                                          "jabara-left", "jabara-right"};
        if (!KNOWN.contains(direction))
            return TF_NONE;
        static const Frame FOUR[4] = {TF_F, TF_C, TF_NONE, TF_NONE};
        return FOUR[area];
    }
    if (pageMax != 8)
        return TF_NONE;
    static const struct {
        const char* name;
        Frame frames[4];
    } EIGHT[] = {
        {"left", {TF_F, TF_E, TF_D, TF_C}},
        {"right", {TF_E, TF_F, TF_C, TF_D}},
        {"kannon-left", {TF_A, TF_B, TF_D, TF_C}},
        {"kannon-right", {TF_A, TF_B, TF_C, TF_D}},
        {"jabara-left", {TF_NONE, TF_D, TF_C, TF_A}},
        {"jabara-right", {TF_NONE, TF_C, TF_D, TF_A}},
    };
    for (const auto& row : EIGHT) {
        if (direction != QLatin1String(row.name))
            continue;
        // The accordion's cover spread is split: its halves land in cells
        // at opposite ends of the left column.
        if (area == 0 && direction.startsWith("jabara"))
            return part == PART_LEFT ? TF_F : part == PART_RIGHT ? TF_E : TF_NONE;
        if (row.frames[area] == TF_B && part == PART_WHOLE)
            return TF_NONE;
        return row.frames[area];
    }
    return TF_NONE;
}

QTransform frameTransform(Frame frame, int part, int W, int H)
{
    // Clockwise frames: (x, y) -> (H - y, x + c); counter-clockwise frames:
    // (x, y) -> (H + y, c - x). QTransform(m11, m12, m21, m22, dx, dy).
    auto cw = [H](int c) { return QTransform(0, 1, -1, 0, H, c); };
    auto ccw = [H](int c) { return QTransform(0, -1, 1, 0, H, c); };
    switch (frame) {
    case TF_A: return cw(W / 2);
    case TF_B:
        if (part == PART_LEFT)
            return cw((3 * W) / 2);
        if (part == PART_RIGHT)
            return cw(-(W / 2));
        return QTransform();
    case TF_C: return ccw(W);
    case TF_D: return ccw(2 * W);
    case TF_E: return cw(W);
    case TF_F: return cw(0);
    case TF_NONE: break;
    }
    return QTransform();
}

QVector<Piece> drawList(int page_area, int page_divide, int pageMax, const QString& direction)
{
    const bool left = direction.endsWith("left");
    if (page_area != ALL_AREAS) {
        if (page_area < 0 || page_area > 3)
            return {};
        return {{page_area, PART_WHOLE, editorFlags(page_area, pageMax, direction)}};
    }
    if (page_divide == 1)
        return pageByPage(pageMax, left);
    if (page_divide != 0 && page_divide != 2)
        return {};
    if (pageMax == 1)
        return {{0, PART_WHOLE, 15}};
    if (pageMax == 4)
        return {{0, PART_WHOLE, 14}, {1, PART_WHOLE, 14}};
    if (pageMax != 8)
        return {};
    if (page_divide == 0 && direction.startsWith("jabara"))
        return left ? pieces({0, 0, 1, 2, 3}, {0, 1, 2, 2, 2}, {12, 6, 12, 6, 4})
                    : pieces({0, 0, 1, 2, 3}, {0, 1, 2, 2, 2}, {12, 6, 6, 12, 4});
    if (page_divide == 0 && direction.startsWith("kannon"))
        return left ? pieces({0, 1, 1, 2, 3}, {2, 0, 1, 2, 2}, {4, 6, 12, 12, 6})
                    : pieces({0, 1, 1, 2, 3}, {2, 0, 1, 2, 2}, {4, 6, 12, 6, 12});
    return left ? pieces({0, 1, 2, 3}, {2, 2, 2, 2}, {12, 6, 12, 6})
                : pieces({0, 1, 2, 3}, {2, 2, 2, 2}, {6, 12, 6, 12});
}

int marginPx(int marginMm)
{
    if (marginMm <= 0)
        return 0;
    return int(qMin(marginMm * 96.0 / 25.4, 1e6));
}

ClipRects clipRects(int part, int flags, int page_divide, int marginMm, int W, int H)
{
    int x1 = 0, y1 = 0, x2 = -1, y2 = -1;
    switch (part) {
    case PART_LEFT: x2 = W / 2 - 1; y2 = H - 1; break;
    case PART_RIGHT: x1 = W / 2; x2 = 2 * (W / 2) - 1; y2 = H - 1; break;
    case PART_WHOLE: x2 = W - 1; y2 = H - 1; break;
    default: return {};
    }
    auto rect = [](int l, int t, int r, int b) {
        // A margin wider than the piece leaves nothing, not a flipped rectangle.
        return (l > r || t > b) ? QRect() : QRect(QPoint(l, t), QPoint(r, b));
    };
    const int m = marginPx(marginMm);
    if (page_divide != 0 || m == 0)
        return {rect(x1, y1, x2, y2), QRect()};
    if (flags & EDGE_LEFT) x1 += m;
    if (flags & EDGE_RIGHT) x2 -= m;
    if (flags & EDGE_TOP) y1 += m;
    if (flags & EDGE_BOTTOM) y2 -= m;
    if (!(flags & EDGE_SPLIT))
        return {rect(x1, y1, x2, y2), QRect()};
    const int w = x2 + 1 - x1;
    const int c = x1 + w / 2 - 1;
    return {rect(x1, y1, c - m, y2), rect(x1 + w / 2 + m, y1, x1 + 2 * (c - x1) + 1, y2)};
}

QVector<QLine> gridLines(int W, int H)
{
    QVector<QLine> lines;
    if (W <= 0 || H <= 0)
        return lines;
    const int rx = (W / 2) % 16;
    const int ry = (H / 2) % 16;
    for (int x = rx - 1; x <= W - rx - 1; x += 16)
        lines.append(QLine(x, ry - 1, x, H - ry - 2));
    for (int y = ry - 1; y <= H - ry - 2; y += 16)
        lines.append(QLine(rx - 1, y, W - rx - 1, y));
    return lines;
}

QPen foldPen(FoldPen pen)
{
    QPen p = DrawObject::getPen(FOLD_COLOR, pen == PEN_CUT ? Qt::SolidLine : Qt::CustomDashLine, 1,
                                Qt::SquareCap);
    switch (pen) {
    case PEN_MOUNTAIN: p.setDashPattern({9, 4, 1, 4}); break;
    case PEN_VALLEY: p.setDashPattern({5, 4}); break;
    case PEN_DOT: p.setDashPattern({1, 4}); break;
    case PEN_CUT: break;
    }
    return p;
}

QVector<FoldLine> foldLines(const QString& kind, const QString& direction, int pageMax, int W, int H)
{
    // The fold family only matters for 8 pages: a 4-page or single-page sheet
    // keeps its own lines whatever direction a document carries.
    const bool kannon = pageMax == 8 && direction.startsWith("kannon");
    const bool jabara = pageMax == 8 && direction.startsWith("jabara");
    const int h2 = 2 * H, w2 = 2 * W, hw = W / 2, w32 = (3 * W) / 2;
    auto L = [](int x1, int y1, int x2, int y2, FoldPen pen) { return FoldLine{QLine(x1, y1, x2, y2), pen}; };

    if (kind == "line1") {
        if (jabara)
            return {L(H, 0, H, w2, PEN_MOUNTAIN),
                    L(0, hw - 1, H, hw - 1, PEN_MOUNTAIN), L(H, hw - 1, h2, hw - 1, PEN_VALLEY),
                    L(0, W, H, W, PEN_VALLEY), L(H, W, h2, W, PEN_MOUNTAIN),
                    L(0, w32 + 1, H, w32 + 1, PEN_MOUNTAIN), L(H, w32 + 1, h2, w32 + 1, PEN_VALLEY)};
        if (kannon)
            return {L(H, 0, H, w2, PEN_MOUNTAIN),
                    L(0, hw - 2, H, hw - 2, PEN_MOUNTAIN), L(H, hw - 2, h2, hw - 2, PEN_VALLEY),
                    L(0, W, H, W, PEN_MOUNTAIN), L(H, W, h2, W, PEN_VALLEY),
                    L(0, w32 + 2, H, w32 + 2, PEN_MOUNTAIN), L(H, w32 + 2, h2, w32 + 2, PEN_VALLEY)};
        if (pageMax == 4)
            return {L(H, 0, H, W, PEN_MOUNTAIN), L(0, hw, H, hw, PEN_MOUNTAIN),
                    L(H, hw, h2, hw, PEN_VALLEY)};
        if (pageMax != 8)
            return {};
        QVector<FoldLine> lines = {L(H, 0, H, hw, PEN_MOUNTAIN), L(H, hw, H, w32, PEN_CUT),
                                   L(H, w32, H, w2, PEN_MOUNTAIN)};
        if (direction == "left")
            lines << L(0, hw, H, hw, PEN_MOUNTAIN) << L(H, hw, h2, hw, PEN_VALLEY)
                  << L(0, W, h2, W, PEN_MOUNTAIN) << L(0, w32, h2, w32, PEN_VALLEY);
        else
            lines << L(0, hw, h2, hw, PEN_VALLEY) << L(0, W, h2, W, PEN_MOUNTAIN)
                  << L(0, w32, H, w32, PEN_MOUNTAIN) << L(H, w32, h2, w32, PEN_VALLEY);
        return lines;
    }
    if (kind == "line2") {
        if (pageMax == 4)
            return {L(H, 0, H, W, PEN_DOT), L(0, hw, h2, hw, PEN_DOT)};
        if (pageMax == 8) {
            const int y1 = kannon ? hw - 2 : hw;
            const int y3 = kannon ? w32 + 2 : w32;
            return {L(H, 0, H, w2, PEN_DOT), L(0, y1, h2, y1, PEN_DOT), L(0, W, h2, W, PEN_DOT),
                    L(0, y3, h2, y3, PEN_DOT)};
        }
    }
    return {};
}

Context Context::fromSettings(double zoom, bool printer)
{
    Context c;
    c.W = _EDITAREA_W_PX;
    c.H = _EDITAREA_H_PX;
    c.pageMax = Setting::PageMax;
    c.direction = Setting::PageDirection;
    c.foldLine = Setting::PageFoldLine;
    c.pattern = Setting::EditAreaPattern;
    c.pageColor = Setting::PageColor;
    c.marginMm = Setting::PaperMargin;
    c.zoom = zoom;
    c.dpi = _PC_DPI;
    c.printer = printer;
    return c;
}

double Context::printerScale() const
{
    // An unusable resolution prints at the program's own scale.
    if (!std::isfinite(dpi) || dpi <= 0)
        return 1.0;
    return dpi / 96.0;
}

void drawPiece(QPainter* painter, const Context& ctx, const Piece& piece, int page_divide,
               const QList<DrawObject*>* objects)
{
    painter->resetTransform();
    if (ctx.printer) {
        const double s = ctx.printerScale();
        if (s != 1.0)
            painter->scale(s, s);
        if (page_divide == 1) {
            if (piece.part == PART_RIGHT)
                painter->translate(-(ctx.W / 2), 0);
        } else if (page_divide == 0) {
            const Frame f = areaFrame(ctx.direction, ctx.pageMax, piece.area, piece.part);
            painter->setTransform(frameTransform(f, piece.part, ctx.W, ctx.H), true);
        }
    } else {
        if (ctx.zoom != 1.0)
            painter->scale(ctx.zoom, ctx.zoom);
        if (ctx.pattern == "mesh") {
            painter->setPen(DrawObject::getPen(GRID_COLOR, Qt::SolidLine, 1, Qt::SquareCap));
            painter->drawLines(gridLines(ctx.W, ctx.H));
        }
    }

    const ClipRects clip = clipRects(piece.part, piece.flags, page_divide, ctx.marginMm, ctx.W, ctx.H);

    if (ctx.pageColor.rgba() != qRgba(255, 255, 255, 255)) {
        painter->setClipping(false);
        painter->setPen(Qt::NoPen);
        painter->setBrush(QBrush(ctx.pageColor, Qt::SolidPattern));
        if (clip.rect1.isValid())
            painter->drawRect(clip.rect1);
        if ((piece.flags & EDGE_SPLIT) && clip.rect2.isValid())
            painter->drawRect(clip.rect2);
        painter->setClipping(true);
    }

    if (!objects || !clip.rect1.isValid())
        return;
    for (DrawObject* obj : *objects)
        paintObject(obj, painter, clip.rect1, clip.rect2, ctx.printer);
}

void drawFoldLines(QPainter* painter, const Context& ctx, const QString& kind)
{
    const QVector<FoldLine> lines = foldLines(kind, ctx.direction, ctx.pageMax, ctx.W, ctx.H);
    if (lines.isEmpty())
        return;
    painter->resetTransform();
    painter->setClipping(false);
    const double s = ctx.printer ? ctx.printerScale() : ctx.zoom;
    if (s != 1.0)
        painter->scale(s, s);
    painter->setBrush(Qt::NoBrush);
    for (const FoldLine& l : lines) {
        painter->setPen(foldPen(l.pen));
        painter->drawLine(l.line);
    }
}

void render(QPainter* painter, const Context& ctx, int page_area, int page_divide,
            const QList<QList<DrawObject*>*>& lists, const Hooks& hooks)
{
    if (!painter || !painter->isActive())
        return;
    const QVector<Piece> list = drawList(page_area, page_divide, ctx.pageMax, ctx.direction);
    if (page_area == ALL_AREAS && page_divide == 0)
        drawFoldLines(painter, ctx, ctx.foldLine);
    for (int i = 0; i < list.size(); ++i) {
        if (page_divide > 0 && i > 0) {
            if (hooks.newPage)
                hooks.newPage();
            else if (auto* printer = dynamic_cast<QPrinter*>(painter->device()))
                printer->newPage();
        }
        const Piece& p = list.at(i);
        const QList<DrawObject*>* objects = p.area < lists.size() ? lists.at(p.area) : nullptr;
        painter->save();
        drawPiece(painter, ctx, p, page_divide, objects);
        if (!ctx.printer && hooks.overlay)
            hooks.overlay(painter, p.area);
        painter->restore();
    }
}

void prepareImages(const Context& ctx, const QList<QList<DrawObject*>*>& lists)
{
    QImage scratch(1, 1, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&scratch);
    Context print = ctx;
    print.printer = true;
    render(&painter, print, ALL_AREAS, 0, lists);
}

}
