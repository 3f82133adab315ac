#ifndef SHEETLAYOUTS_H
#define SHEETLAYOUTS_H

#include <QSize>
#include <QVector>

// Where each booklet page must be printed: rows from the top, left column then
// right column. The left column is always turned clockwise, the right one
// counter-clockwise.
struct SheetLayout {
    const char* direction;
    int pageMax;
    QVector<int> cells;
    // The default spread of the page count (A4 sheet).
    QSize spread() const { return pageMax == 8 ? QSize(560, 397) : QSize(794, 561); }
};

inline const QVector<SheetLayout>& sheetLayouts()
{
    static const QVector<SheetLayout> L = {
        {"left", 8, {8, 7, 1, 6, 2, 5, 3, 4}},         {"right", 8, {3, 4, 2, 5, 1, 6, 8, 7}},
        {"kannon-left", 8, {3, 7, 8, 6, 1, 5, 2, 4}},  {"kannon-right", 8, {2, 4, 1, 5, 8, 6, 3, 7}},
        {"jabara-left", 8, {8, 5, 6, 4, 7, 3, 1, 2}},  {"jabara-right", 8, {1, 2, 7, 3, 6, 4, 8, 5}},
        {"left", 4, {4, 3, 1, 2}},                     {"right", 4, {1, 2, 4, 3}},
    };
    return L;
}

#endif
