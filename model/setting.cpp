#include "setting.h"

double _PC_DPI = 96.0;
int _EDITAREA_W_PX = 560;
int _EDITAREA_H_PX = 397;

QString Setting::PaperSize = "A4";
int Setting::PageMax = 8;
QString Setting::PageOrientation = "portrait";
QString Setting::PageDirection = "left";
QString Setting::PageFoldLine = "none";
QString Setting::PageForm = "normal";
QString Setting::EditAreaPattern = "none";
QColor Setting::PageColor = QColor(255, 255, 255, 255);
int Setting::PaperMargin = 5;
QString Setting::ImageDir;
QString Setting::ExportDir;
QString Setting::ExportFile;
QString Setting::SaveDir;
QString Setting::SaveFile;
QString Setting::PrinterName;

namespace {
const PaperInfo PAPERS[] = {
    {"A3", 297, 420, 1122, 1587, 8},
    {"B4", 257, 364, 971, 1376, 19},
    {"A4", 210, 297, 794, 1122, 0},
    {"B5", 182, 257, 689, 970, 1},
    {"A5", 148, 210, 561, 794, 9},
    {"B6", 128, 182, 485, 688, 20},
    {"A6", 105, 148, 397, 560, 10},
    {"B7", 91, 128, 344, 484, 21},
    {"A7", 74, 105, 280, 396, 11},
    {"B8", 64, 91, 242, 0, 22},
    {"A8", 52, 74, 198, 0, 12},
};

// Sheet name -> page name for 4 and 8 pages.
struct FinalRow { const char* sheet; const char* four; const char* eight; };
const FinalRow FINAL[] = {
    {"A3", "A5", "A6"}, {"B4", "B6", "B7"}, {"A4", "A6", "A7"},
    {"B5", "B7", "B8"}, {"A5", "A7", "A8"},
};

// Page name -> the paper twice its size (one spread).
struct DoubleRow { const char* page; const char* spread; };
const DoubleRow DOUBLE[] = {
    {"A5", "A4"}, {"B6", "B5"}, {"A6", "A5"}, {"B7", "B6"},
    {"A7", "A6"}, {"B8", "B7"}, {"A8", "A7"},
};
}

const PaperInfo* Setting::paperInfo(const QString& paper)
{
    for (const PaperInfo& p : PAPERS)
        if (paper == QLatin1String(p.name))
            return &p;
    return nullptr;
}

QString Setting::getFinalSize(QString paper, int pageMax)
{
    if (pageMax == 1)
        return paper;
    if (pageMax != 4 && pageMax != 8)
        return "??";
    for (const FinalRow& r : FINAL)
        if (paper == QLatin1String(r.sheet))
            return QString::fromLatin1(pageMax == 4 ? r.four : r.eight);
    return "??";
}

QString Setting::getEditAreaSize(QString paper, int pageMax)
{
    if (pageMax == 1)
        return paper;
    const QString f = getFinalSize(paper, pageMax);
    for (const DoubleRow& r : DOUBLE)
        if (f == QLatin1String(r.page))
            return QString::fromLatin1(r.spread);
    return "??";
}

int Setting::paperSizeToEnum(QString paper)
{
    const PaperInfo* p = paperInfo(paper);
    return p ? p->qtCode : 0;
}

void Setting::resetDefaults()
{
    PaperSize = "A4";
    PageMax = 8;
    PageOrientation = "portrait";
    PageDirection = "left";
    PageFoldLine = "none";
    PageForm = "normal";
    EditAreaPattern = "none";
    PageColor = QColor(255, 255, 255, 255);
    PaperMargin = 5;
    ImageDir.clear();
    ExportDir.clear();
    ExportFile.clear();
    SaveDir.clear();
    SaveFile.clear();
    PrinterName.clear();
}
