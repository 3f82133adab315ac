#include "editarea.h"

namespace EditArea {

QStringList tabLabels(int pageMax, const QString& direction)
{
    if (pageMax == 1)
        return {" 1 "};
    if (direction.endsWith("left")) {
        if (pageMax == 4)
            return {"4-1", "2-3"};
        if (pageMax == 8)
            return {"8-1", "2-3", "4-5", "6-7"};
        return {};
    }
    if (direction.endsWith("right")) {
        if (pageMax == 4)
            return {"1-4", "3-2"};
        if (pageMax == 8)
            return {"1-8", "3-2", "5-4", "7-6"};
    }
    return {};
}

bool rightToLeft(int pageMax, const QString& direction)
{
    return pageMax != 1 && !direction.endsWith("left") && direction.endsWith("right");
}

QSize size(const QString& name, int pageMax, const QString& orientation, const QString& pageForm)
{
    // Fixed table: portrait single page, portrait spread (normal), portrait
    // spread (slim), landscape single page, landscape spread.
    struct Row { const char* name; int pw, ph, nw, nh, sw, sh, lw, lh, sw2, sh2; };
    static const Row ROWS[] = {
        {"A3", 1122, 1587, 1587, 1122, 1587, 1122, 1587, 1122, 2244, 794},
        {"B4", 971, 1376, 1376, 971, 1376, 971, 1376, 971, 1942, 689},
        {"A4", 794, 1122, 1122, 794, 1122, 794, 1122, 794, 1587, 561},
        {"B5", 689, 970, 970, 689, 970, 689, 970, 689, 1376, 485},
        {"A5", 561, 794, 794, 561, 561, 794, 794, 561, 1122, 397},
        {"B6", 485, 688, 688, 485, 485, 688, 688, 485, 970, 344},
        {"A6", 397, 560, 560, 397, 397, 560, 560, 397, 794, 280},
        {"B7", 344, 484, 484, 344, 344, 484, 484, 344, 688, 242},
        {"A7", 280, 396, 396, 280, 280, 396, 396, 280, 560, 198},
    };
    for (const Row& r : ROWS) {
        if (name != QLatin1String(r.name))
            continue;
        if (orientation == "portrait") {
            if (pageMax == 1)
                return QSize(r.pw, r.ph);
            return pageForm == "slim" ? QSize(r.sw, r.sh) : QSize(r.nw, r.nh);
        }
        return pageMax == 1 ? QSize(r.lw, r.lh) : QSize(r.sw2, r.sh2);
    }
    return QSize();
}

void pageLocation(int page, int pageMax, const QString& direction, int* area, int* half)
{
    *area = -1;
    *half = 0;
    if (pageMax == 1) {
        if (page == 1) { *area = 0; *half = 0; }
        return;
    }
    if (page < 1 || page > pageMax || (pageMax != 4 && pageMax != 8))
        return;
    const bool left = direction.endsWith("left");
    // Page 1 is the right half of area 0 when opening left; then pairs.
    if (page == 1) {
        *area = 0;
        *half = left ? 1 : 0;
    } else if (page == pageMax) {
        *area = 0;
        *half = left ? 0 : 1;
    } else {
        *area = page / 2;
        const bool even = page % 2 == 0;
        *half = (even == left) ? 0 : 1;
    }
}

}
