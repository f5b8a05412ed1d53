#pragma once

#include "ui/layout.h"

#include <Qt>

class QWidget;

// Where the top-level windows go and what their title bars hold.
namespace venmarra {

// A top-level window of `design`: a fixed border, the close box, and the minimise button where the
// design has one.
Qt::WindowFlags windowFlagsOf(const ui::WindowDesign &design);
// Centres a top-level window's frame on the screen it is (or will be) shown on, when it is shown.
void centreOnScreen(QWidget *window);

}  // namespace venmarra
