#include "qt/qt_toolkit.h"
#include "ui/texts.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QThreadPool>
#include <QTimer>
#include <QWheelEvent>
#include <QWindow>
#include <qpa/qwindowsysteminterface.h>

#include <cstdio>
#include <cstdlib>
#include <future>

namespace venmarra {

namespace {

using Queued = QWindowSystemInterface::AsynchronousDelivery;

// Queues `event` again where the window system queues input, so that Qt handles it as it handles
// a person's input (double clicks are made anew from the presses). False for kinds of no use here.
bool requeue(QWindow *window, const QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove: {
        const auto *mouse = static_cast<const QMouseEvent *>(event);
        return QWindowSystemInterface::handleMouseEvent<Queued>(
            window, static_cast<ulong>(mouse->timestamp()), mouse->position(), mouse->globalPosition(),
            mouse->buttons(), mouse->button(), mouse->type(), mouse->modifiers(), mouse->source());
    }
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        const auto *key = static_cast<const QKeyEvent *>(event);
        return QWindowSystemInterface::handleExtendedKeyEvent(
            window, static_cast<ulong>(key->timestamp()), key->type(), key->key(), key->modifiers(),
            key->nativeScanCode(), key->nativeVirtualKey(), key->nativeModifiers(), key->text(),
            key->isAutoRepeat(), static_cast<ushort>(key->count()));
    }
    case QEvent::Wheel: {
        const auto *wheel = static_cast<const QWheelEvent *>(event);
        return QWindowSystemInterface::handleWheelEvent(
            window, static_cast<ulong>(wheel->timestamp()), wheel->position(), wheel->globalPosition(),
            wheel->pixelDelta(), wheel->angleDelta(), wheel->modifiers(), wheel->phase(), wheel->source(),
            wheel->inverted());
    }
    default: return false;
    }
}

}  // namespace

UserInputHold::UserInputHold()
{
    QCoreApplication::instance()->installEventFilter(this);
}

UserInputHold::~UserInputHold()
{
    QCoreApplication::instance()->removeEventFilter(this);
}

void UserInputHold::end()
{
    if (--m_depth > 0)
        return;
    std::vector<std::pair<QPointer<QWindow>, std::unique_ptr<QEvent>>> held;
    held.swap(m_held);
    for (const auto &[window, event] : held) {
        if (window)  // else the window went away meanwhile
            requeue(window, event.get());
    }
}

bool UserInputHold::eventFilter(QObject *target, QEvent *event)
{
    // Input arrives from the window system at the top-level window, which hands it to its widgets.
    if (m_depth == 0 || !event->isInputEvent() || !event->spontaneous() || !target->isWindowType())
        return false;
    m_held.emplace_back(static_cast<QWindow *>(target), std::unique_ptr<QEvent>(event->clone()));
    return true;
}

QtToolkit::QtToolkit()
{
    m_clock.start();  // QElapsedTimer is monotonic
}

void QtToolkit::messageBox(const std::u16string &text, MessageIcon icon, const std::u16string &title)
{
    QMessageBox box(icon == MessageIcon::Information ? QMessageBox::Information : QMessageBox::NoIcon,
                    title.empty() ? QString::fromStdU16String(texts::kApplicationTitle)
                                  : QString::fromStdU16String(title),
                    QString::fromStdU16String(text), QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void QtToolkit::processEventsFor(int ms)
{
    // Sleeps until the next event or the deadline, instead of waking every millisecond.
    QEventLoop loop;
    QTimer deadline;
    deadline.setTimerType(Qt::PreciseTimer);
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    deadline.start(ms);
    loop.exec();
}

void QtToolkit::runInBackground(const std::function<void()> &work)
{
    QEventLoop loop;
    std::promise<void> finished;
    // A pooled thread: a new thread for every poll would cost more than the poll itself.
    m_workers.start([&] {
        work();
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
        finished.set_value();
    });
    // Repaints and window closing go on; clicks and keys wait until the exchange is over.
    m_inputHold.begin();
    loop.exec();
    m_inputHold.end();
    finished.get_future().wait();
}

void QtToolkit::endProgram()
{
    // At once: no handler of an enclosing event loop may run after this.
    std::fflush(nullptr);
    std::_Exit(EXIT_SUCCESS);
}

std::int64_t QtToolkit::clock()
{
    return m_clock.elapsed();
}

}  // namespace venmarra
