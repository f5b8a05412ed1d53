#include "recording_toolkit.h"

#include <QCoreApplication>

namespace venmarra::test {

void RecordingToolkit::messageBox(const std::u16string &text, MessageIcon icon, const std::u16string &title)
{
    m_messages.push_back({QString::fromStdU16String(text), icon, QString::fromStdU16String(title)});
    if (onMessage)
        onMessage(m_messages.back());
}

void RecordingToolkit::endProgram()
{
    ++m_programEnds;
    if (onEnd)
        onEnd();
}

void RecordingToolkit::processEventsFor(int ms)
{
    QCoreApplication::processEvents();
    for (auto next = m_inWaits.begin(); next != m_inWaits.end(); ++next) {
        if (next->due()) {
            const std::function<void()> action = std::move(next->action);
            m_inWaits.erase(next);
            action();  // it may wait in turn, as a click's handler would
            return;  // the program looks at its clock again, as after any event
        }
    }
    m_now += ms;
}

void RecordingToolkit::runInBackground(const std::function<void()> &work)
{
    m_exchangeTimes.push_back(m_now);
    QtToolkit::runInBackground(work);
}

}  // namespace venmarra::test
