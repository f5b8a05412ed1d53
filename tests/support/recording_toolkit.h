#pragma once

#include "qt/qt_toolkit.h"

#include <QString>

#include <functional>
#include <vector>

namespace venmarra::test {

struct ShownMessage {
    QString text;
    Toolkit::MessageIcon icon;
    QString title;
};

// The Qt toolkit, but a message box is answered at once and recorded, and the end of the
// program is recorded instead of ending the test.
class RecordingToolkit final : public QtToolkit {
public:
    void messageBox(const std::u16string &text, MessageIcon icon, const std::u16string &title) override;
    void endProgram() override;

    const std::vector<ShownMessage> &messages() const { return m_messages; }
    int programEnds() const { return m_programEnds; }
    // Runs while a message box "is open", before it is answered.
    std::function<void(const ShownMessage &)> onMessage;
    // Runs when the program would end.
    std::function<void()> onEnd;

private:
    std::vector<ShownMessage> m_messages;
    int m_programEnds = 0;
};

}  // namespace venmarra::test
