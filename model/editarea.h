#ifndef EDITAREA_H
#define EDITAREA_H

#include <QSize>
#include <QString>
#include <QStringList>

// Tabs and sizes of the edit areas (one spread per tab) for a formation.
namespace EditArea {

// Tab labels in index order; empty for an unsupported page count.
QStringList tabLabels(int pageMax, const QString& direction);

// True when the tab bar runs right to left (formations opening to the right).
bool rightToLeft(int pageMax, const QString& direction);

// W x H in program pixels for the spread paper `name`; an invalid QSize for a
// name outside the table (callers keep the previous size then).
QSize size(const QString& name, int pageMax, const QString& orientation, const QString& pageForm);

// Which spread (area) and half (0 left, 1 right) shows booklet page `page`
// (1-based); area -1 when the formation has no such page.
void pageLocation(int page, int pageMax, const QString& direction, int* area, int* half);

}

#endif
