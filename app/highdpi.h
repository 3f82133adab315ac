#ifndef HIGHDPI_H
#define HIGHDPI_H

// Lets Qt scale the whole window by the desktop's scale (200 % on a 192-dpi
// screen, exactly 125 % or 150 % where set), with sharp icons. Must run
// before the application object exists; tests of the window call it too.
void enableHighDpiScaling();

#endif
