#pragma once

#include <QRect>

class QWidget;

namespace venmarra {

// The designs are laid out in twips for the default face of a Simplified Chinese desktop, whose
// Chinese character is 180 twips wide (12 pixels, 15 twips to a pixel at 96 dots per inch). A twip
// is measured against the desktop's default font, so a larger font grows the windows in
// proportion and no caption outgrows its place. Qt scales pixels for high-density screens.
double pixelsPerTwip();
int twips(int value);
QRect twipsRect(int left, int top, int width, int height);
void placeInTwips(QWidget *widget, int left, int top, int width, int height);
// Centres a top-level window's frame on the screen it is (or will be) shown on, when it is shown.
void centreOnScreen(QWidget *window);

}  // namespace venmarra
