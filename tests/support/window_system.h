#pragma once

class QWidget;

namespace venmarra::test {

// What the window system hands the program when the user clicks `widget` (a press and a release
// at its centre) or closes `window` with its close box. The events are queued as real input is,
// and Qt handles them at its next event processing, under the same rules as a person's.
void queueUserClick(QWidget *widget);
void queueCloseBox(QWidget *window);

}  // namespace venmarra::test
