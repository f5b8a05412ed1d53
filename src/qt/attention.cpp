#include "qt/attention.h"

#include <QApplication>
#include <QGuiApplication>
#include <QWidget>

#include <memory>

// Xlib after Qt: its macros (None, Status, Bool) would break Qt's headers.
#include <X11/Xutil.h>

namespace venmarra {

void setAttentionMark(QWidget *window, bool marked)
{
    auto *x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    Display *display
        = x11 && QGuiApplication::platformName() == QLatin1String("xcb") ? x11->display() : nullptr;
    if (!display || !window->windowHandle()) {
        if (marked)
            QApplication::alert(window, 0);  // until the window is activated
        return;
    }
    const auto id = static_cast<::Window>(window->winId());
    // The hints that Qt set (input, initial state) stay; only the urgency bit changes.
    const std::unique_ptr<XWMHints, int (*)(void *)> held(XGetWMHints(display, id), &XFree);
    XWMHints hints = held ? *held : XWMHints {};
    hints.flags = marked ? hints.flags | XUrgencyHint : hints.flags & ~XUrgencyHint;
    XSetWMHints(display, id, &hints);
    XFlush(display);
}

}  // namespace venmarra
