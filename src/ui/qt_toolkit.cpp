#include "ui/qt_toolkit.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QThread>
#include <QThreadPool>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <future>

namespace venmarra {

QtToolkit::QtToolkit()
{
    m_clock.start();  // QElapsedTimer is monotonic
}

void QtToolkit::messageBox(const QString &text, MessageIcon icon, const QString &title)
{
    QMessageBox box(icon == MessageIcon::Information ? QMessageBox::Information : QMessageBox::NoIcon,
                    title.isEmpty() ? QString::fromLatin1(kApplicationTitle) : title, text, QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void QtToolkit::processPendingEvents()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
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
    // Repaints and window closing go on; clicks and keys wait in the queue.
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    finished.get_future().wait();
}

void QtToolkit::endProgram()
{
    // At once: no handler of an enclosing event loop may run after this.
    std::fflush(nullptr);
    std::_Exit(EXIT_SUCCESS);
}

void QtToolkit::sleep(int ms)
{
    QThread::msleep(static_cast<unsigned long>(ms));
}

qint64 QtToolkit::clock()
{
    return m_clock.elapsed();
}

}  // namespace venmarra
