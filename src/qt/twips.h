#pragma once

#include "ui/layout.h"

#include <QRect>

namespace venmarra {

// Twips at the desktop's default font, measured on its Chinese character (Qt scales pixels for
// high-density screens itself).
ui::TwipScale fontTwips();
inline QRect toQRect(const ui::PixelRect &pixels)
{
    return QRect(pixels.left, pixels.top, pixels.width, pixels.height);
}

}  // namespace venmarra
