#include "qt/twips.h"

#include <QFontMetricsF>
#include <QGuiApplication>

namespace venmarra {

ui::TwipScale fontTwips()
{
    // Measured on the font that the controls use; a font without Chinese measures its fallback's.
    return ui::TwipScale(
        QFontMetricsF(QGuiApplication::font()).horizontalAdvance(QChar(ui::TwipScale::kMeasuredCharacter)));
}

}  // namespace venmarra
