#include "drawobject.h"

// Placeholder until object painting lands.
void DrawObject::paint(QPainter*, QRect, QRect) {}
