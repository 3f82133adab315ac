#ifndef APPDATA_H
#define APPDATA_H

#include <QString>

// Data installed with the program (help page, Qt translations), found
// relative to the executable so an installed copy works wherever its prefix
// is. Run from the build tree, none is found and the bundled copies serve.
namespace AppData {

// The installed data folder (…/share/zamfu), or empty when there is none.
QString dataDir();

// The installed help page, or empty.
QString helpPage();

// The installed folder of Qt translations, or empty.
QString translationsDir();

}

#endif
