#include "recording_toolkit.h"

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

}  // namespace venmarra::test
