#include "qt/window_placement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace venmarra {
namespace {

void moveFrameToCentre(QWidget *window)
{
    const QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    // Placed by its client area, at the frame's place plus the frame's left and top edges: window
    // managers do not agree on where a position that includes the frame puts a window.
    const QPoint client
        = frame.topLeft() + (window->geometry().topLeft() - window->frameGeometry().topLeft());
    if (QWindow *handle = window->windowHandle())
        handle->setPosition(client);
    else
        window->move(frame.topLeft());
}

// Centres a window when it is shown, and once more when the window manager has framed it: the
// frame (title bar, borders) is known only then, and it is the frame that is centred.
class FrameCentring final : public QObject {
public:
    explicit FrameCentring(QWidget *window)
        : QObject(window)
        , m_window(window)
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        const bool framed = m_window->frameGeometry().size() != m_window->size();
        if (event->type() == QEvent::Show) {
            moveFrameToCentre(m_window);
            m_centredFramed = framed;
        } else if ((event->type() == QEvent::Move || event->type() == QEvent::Resize) && framed
                   && !m_centredFramed) {
            m_centredFramed = true;
            moveFrameToCentre(m_window);
        }
        return false;
    }

private:
    QWidget *m_window;
    bool m_centredFramed = false;  // centred with the frame known; the user may move it from here
};

}  // namespace

void centreOnScreen(QWidget *window)
{
    moveFrameToCentre(window);  // a first guess, before the window has a frame
    new FrameCentring(window);  // owned by the window
}

Qt::WindowFlags windowFlagsOf(const ui::WindowDesign &design)
{
    const Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
        | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    return design.minimiseButton ? flags | Qt::WindowMinimizeButtonHint : flags;
}

}  // namespace venmarra
