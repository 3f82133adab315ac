#include "pagenumbers.h"

#include "editarea.h"

#include <QtGlobal>

namespace PageNumbers {

QList<Slot> boxes(int pageMax, const QString& direction, int W, int H, int marginMm)
{
    QList<Slot> result;
    if (pageMax != 1 && pageMax != 4 && pageMax != 8)
        return result;
    // Floating point throughout: an absurd margin must not overflow, and is
    // held so the box stays on the page where it can be seen and picked.
    const double foot = H - (marginMm * 96.0 / 25.4 + BOX_H);
    const int y = int(qBound(0.0, foot, double(qMax(0, H - BOX_H))));
    for (int i = 0; i < pageMax; ++i) {
        const int page = i == 0 ? pageMax : i;
        int area = 0;
        int half = 0;
        EditArea::pageLocation(page, pageMax, direction, &area, &half);
        if (area < 0)
            continue;
        const int x = pageMax == 1 ? W / 2 - BOX_W / 2 : W / 4 - BOX_W / 2 + (half == 1 ? W / 2 : 0);
        result.append({QString("- %1 -").arg(page), area, x, y});
    }
    return result;
}

}
