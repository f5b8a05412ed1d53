#pragma once

#include "ui/layout.h"

#include <QRect>
#include <Qt>

class QWidget;

namespace venmarra {

// Twips at the desktop's default font, measured on its Chinese character (Qt scales pixels for
// high-density screens itself).
ui::TwipScale fontTwips();
inline QRect toQRect(const ui::PixelRect &pixels)
{
    return QRect(pixels.left, pixels.top, pixels.width, pixels.height);
}
// A top-level window of `design`: a fixed border, the close box, and the minimise button where the
// design has one.
Qt::WindowFlags windowFlagsOf(const ui::WindowDesign &design);
// Centres a top-level window's frame on the screen it is (or will be) shown on, when it is shown.
void centreOnScreen(QWidget *window);

}  // namespace venmarra
