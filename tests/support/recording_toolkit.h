#pragma once

#include "qt/qt_toolkit.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

namespace venmarra::test {

struct ShownMessage {
    QString text;
    Toolkit::MessageIcon icon;
    QString title;
};

// The Qt toolkit, but a message box is answered at once and recorded, the end of the program is
// recorded instead of ending the test, and the clock is the test's: a wait handles what is
// pending, runs the test's actions that are due, and moves the clock on at once. Exchanges still
// run on a thread for real.
class RecordingToolkit final : public QtToolkit {
public:
    void messageBox(const std::u16string &text, MessageIcon icon, const std::u16string &title) override;
    void endProgram() override;
    void processEventsFor(int ms) override;
    void runInBackground(const std::function<void()> &work) override;
    std::int64_t clock() override { return m_now; }

    // Runs `action` once, in the first wait that finds `due()` true.
    void inAWait(std::function<bool()> due, std::function<void()> action)
    {
        m_inWaits.push_back({std::move(due), std::move(action)});
    }
    // The clock's time at the start of each exchange.
    const std::vector<std::int64_t> &exchangeTimes() const { return m_exchangeTimes; }

    const std::vector<ShownMessage> &messages() const { return m_messages; }
    int programEnds() const { return m_programEnds; }
    // Runs while a message box "is open", before it is answered.
    std::function<void(const ShownMessage &)> onMessage;
    // Runs when the program would end.
    std::function<void()> onEnd;

private:
    std::vector<ShownMessage> m_messages;
    int m_programEnds = 0;
    std::int64_t m_now = 0;
    struct WaitAction {
        std::function<bool()> due;
        std::function<void()> action;
    };
    std::vector<WaitAction> m_inWaits;
    std::vector<std::int64_t> m_exchangeTimes;
};

}  // namespace venmarra::test
