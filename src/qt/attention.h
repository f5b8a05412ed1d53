#pragma once

class QWidget;

namespace venmarra {

// Marks `window` for the user's attention on the desktop (its taskbar entry), or clears the mark:
// the urgency hint that every X11 window manager and taskbar honours; elsewhere Qt's own alert.
void setAttentionMark(QWidget *window, bool marked);

}  // namespace venmarra
