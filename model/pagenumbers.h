#ifndef PAGENUMBERS_H
#define PAGENUMBERS_H

#include <QList>
#include <QString>

// Where the page-number boxes of a booklet go.
namespace PageNumbers {

constexpr int BOX_W = 70;
constexpr int BOX_H = 20;

// One page-number box: its label, edit area and top-left corner.
struct Slot {
    QString label;
    int area;
    int x;
    int y;
};

// The boxes for a booklet, last page (the back cover) first, then pages 1, 2,
// ...; W and H are the edit-area size, marginMm the printer margin. Each box
// is centred in its half page with its foot on the margin, and never leaves
// the page, however large the margin. Empty for a page count other than 1, 4, 8.
QList<Slot> boxes(int pageMax, const QString& direction, int W, int H, int marginMm);

}

#endif
