#include "recording_toolkit.h"

namespace venmarra::test {

void RecordingToolkit::messageBox(const QString &text, MessageIcon icon, const QString &title)
{
    m_messages.push_back({text, icon, title});
    if (onMessage)
        onMessage(m_messages.back());
}

void RecordingToolkit::endProgram()
{
    ++m_programEnds;
    if (onEnd)
        onEnd();
}

}  // namespace venmarra::test
