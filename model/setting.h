#ifndef SETTING_H
#define SETTING_H

#include <QColor>
#include <QSize>
#include <QString>

// Process-wide values: screen resolution (also used for printers and PDF) and
// the size of one edit area at zoom 1, in program pixels (1/96 inch).
extern double _PC_DPI;
extern int _EDITAREA_W_PX;
extern int _EDITAREA_H_PX;

// One row of the paper table. Pixel sizes are fixed constants, not computed:
// papers sharing a millimetre length may differ by one pixel.
struct PaperInfo {
    const char* name;
    double shortMm;
    double longMm;
    int shortPx;
    int longPx;   // 0 where the table gives only the short side
    int qtCode;
};

class Setting
{
public:
    // Document settings.
    static QString PaperSize;
    static int PageMax;
    static QString PageOrientation;
    static QString PageDirection;
    static QString PageFoldLine;
    static QString PageForm;
    static QString EditAreaPattern;
    static QColor PageColor;
    static int PaperMargin;
    // Values that last for one run.
    static QString ImageDir;
    static QString ExportDir;
    static QString ExportFile;
    static QString SaveDir;
    static QString SaveFile;
    static QString PrinterName;

    static QString getFinalSize(QString paper, int pageMax);
    static QString getEditAreaSize(QString paper, int pageMax);
    static int paperSizeToEnum(QString paper);

    // The paper table; nullptr for an unknown name.
    static const PaperInfo* paperInfo(const QString& paper);
    // Restores every member to its start-of-program default.
    static void resetDefaults();
};

#endif
