#ifndef SHEET_H
#define SHEET_H

#include <QColor>
#include <QLine>
#include <QList>
#include <QPen>
#include <QRect>
#include <QSize>
#include <QString>
#include <QTransform>
#include <QVector>

#include <functional>

class DrawObject;
class QPainter;

// The imposed sheet: where each edit area (or half of one) lands, what is
// clipped off at the printer margin, and the fold lines. Pure geometry plus
// the drawing routine shared by the editor, the printer and PDF output.
namespace Sheet {

// page_area value meaning every edit area of the formation.
constexpr int ALL_AREAS = 4;

// The frames that carry an edit area onto the sheet (TF_NONE: untransformed).
enum Frame { TF_NONE, TF_A, TF_B, TF_C, TF_D, TF_E, TF_F };

// Part of an edit area drawn by one piece.
enum Part { PART_LEFT = 0, PART_RIGHT = 1, PART_WHOLE = 2 };

// Sides of a piece that lie on the sheet's outer edge; SPLIT cuts the piece
// at its centre (the gatefold's inner spread, whose middle is an outer edge).
enum EdgeFlag { EDGE_TOP = 1, EDGE_RIGHT = 2, EDGE_BOTTOM = 4, EDGE_LEFT = 8, EDGE_SPLIT = 16 };

enum FoldPen { PEN_MOUNTAIN, PEN_VALLEY, PEN_CUT, PEN_DOT };

struct Piece {
    int area;
    int part;
    int flags;
};

inline bool operator==(const Piece& a, const Piece& b)
{
    return a.area == b.area && a.part == b.part && a.flags == b.flags;
}

struct FoldLine {
    QLine line;
    FoldPen pen;
};

// Inclusive clip rectangles of a piece; rect2 is only valid for a split piece.
struct ClipRects {
    QRect rect1;
    QRect rect2;
};

// Size of the printed sheet for a page count; invalid for an unknown count.
QSize sheetSize(int pageMax, int W, int H);

// Frame of an edit area (and half, for the areas drawn in halves).
Frame areaFrame(const QString& direction, int pageMax, int area, int part);

// The frame as a transform from edit-area to sheet coordinates. TF_B takes
// its left-half form for part 0 and its right-half form for part 1.
QTransform frameTransform(Frame frame, int part, int W, int H);

// Pieces to draw for page_area (0..3, or ALL_AREAS) and page_divide (0 the
// imposed sheet or the editor, 1 one page per booklet page, 2 one per spread).
QVector<Piece> drawList(int page_area, int page_divide, int pageMax, const QString& direction);

// Printer margin in pixels, truncated.
int marginPx(int marginMm);

ClipRects clipRects(int part, int flags, int page_divide, int marginMm, int W, int H);

// The editor's 16-pixel grid, centred on the spread.
QVector<QLine> gridLines(int W, int H);

QPen foldPen(FoldPen pen);

// Fold lines of `kind` ("line1", "line2") in sheet coordinates.
QVector<FoldLine> foldLines(const QString& kind, const QString& direction, int pageMax, int W, int H);

// Everything one drawing reads, gathered once.
struct Context {
    int W = 0;
    int H = 0;
    int pageMax = 8;
    QString direction = "left";
    QString foldLine = "none";
    QString pattern = "none";
    QColor pageColor = QColor(255, 255, 255, 255);
    int marginMm = 0;
    double zoom = 1.0;
    double dpi = 96.0;
    // Printer, PDF or exported image: sheet frames instead of zoom and grid, no
    // screen-only marks, images at print resolution.
    bool printer = false;

    // From the current settings, edit-area size and screen resolution.
    static Context fromSettings(double zoom, bool printer);
    // Device pixels per program pixel on a printer.
    double printerScale() const;
};

struct Hooks {
    // Editor overlays, drawn last in edit-area coordinates (never on a printer).
    std::function<void(QPainter*, int area)> overlay;
    // Starts the next output page; by default QPrinter::newPage when the
    // painter's device is a printer.
    std::function<void()> newPage;
};

// One piece: frame, grid, clip rectangles, margins, sheet colour, objects.
void drawPiece(QPainter* painter, const Context& ctx, const Piece& piece, int page_divide,
               const QList<DrawObject*>* objects);

void drawFoldLines(QPainter* painter, const Context& ctx, const QString& kind);

// The whole drawing of page_area / page_divide; page_area -1 must already be
// resolved to the current area. `lists` holds the object list of each area.
void render(QPainter* painter, const Context& ctx, int page_area, int page_divide,
            const QList<QList<DrawObject*>*>& lists, const Hooks& hooks = Hooks());

// Reads every image the printed sheet draws at print resolution, so those
// that cannot be drawn are reported (ImageOutputReport) before output starts
// and the output itself reads nothing.
void prepareImages(const Context& ctx, const QList<QList<DrawObject*>*>& lists);

}

#endif
