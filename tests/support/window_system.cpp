#include "window_system.h"

#include <QWidget>
#include <QWindow>
#include <qpa/qwindowsysteminterface.h>

namespace venmarra::test {

using Queued = QWindowSystemInterface::AsynchronousDelivery;

void queueUserClick(QWidget *widget)
{
    QWidget *window = widget->window();
    const QPoint centre = widget->rect().center();
    const QPointF local = widget->mapTo(window, centre);
    const QPointF global = widget->mapToGlobal(centre);
    QWindowSystemInterface::handleMouseEvent<Queued>(window->windowHandle(), local, global, Qt::LeftButton,
                                                     Qt::LeftButton, QEvent::MouseButtonPress);
    QWindowSystemInterface::handleMouseEvent<Queued>(window->windowHandle(), local, global, Qt::NoButton,
                                                     Qt::LeftButton, QEvent::MouseButtonRelease);
}

void queueCloseBox(QWidget *window)
{
    QWindowSystemInterface::handleCloseEvent<Queued>(window->windowHandle());
}

}  // namespace venmarra::test
