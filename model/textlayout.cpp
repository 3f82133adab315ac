#include "drawobject.h"

// Placeholder until the layout engine lands.
void DrawObject::relocateText(QString) {}
bool DrawObject::isAlphabet(QString) { return false; }
bool DrawObject::containsStr(QString set, QString str) { return !set.isEmpty() && !str.isEmpty() && set.contains(str); }
int DrawObject::calcTextWidth(QString str, const QFontMetrics& fm, int, bool) { return fm.horizontalAdvance(str); }
