#ifndef FONTS_H
#define FONTS_H

#include <QString>

// Maps the default family "Osaka" (and other Japanese Mac families) to an
// installed Japanese font when the system lacks them. Documents keep the name.
// Safe to call often; works once a QGuiApplication exists.
void ensureFontSubstitutions();

// The installed family used in place of "Osaka" (empty if none was found).
QString japaneseFallbackFamily();

#endif
