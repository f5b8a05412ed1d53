#pragma once

#include <QRect>

class QWidget;

namespace venmarra {

// The designs are laid out in twips: 1440 to the inch, 15 to a logical pixel at 96 dots per
// inch. Qt scales logical pixels for high-density screens.
inline constexpr int kTwipsPerPixel = 15;

int twips(int value);
QRect twipsRect(int left, int top, int width, int height);
void placeInTwips(QWidget *widget, int left, int top, int width, int height);
// Centres a top-level window's frame on the screen it is (or will be) shown on, when it is shown.
void centreOnScreen(QWidget *window);

}  // namespace venmarra
