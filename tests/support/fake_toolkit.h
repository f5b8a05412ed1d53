#pragma once

#include "mailbox/toolkit.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace venmarra::test {

struct ShownBox {
    std::u16string text;
    Toolkit::MessageIcon icon;
    std::u16string title;
};

// The toolkit operations for the logic's tests: a message box is answered at once and recorded,
// the end of the program is recorded instead of ending the test, exchanges run on the caller's
// thread, and the clock is the test's: a wait runs the first of the test's actions that is due
// (as the window would run a click), or else moves the clock on by the whole wait at once.
class FakeToolkit final : public Toolkit {
public:
    void messageBox(const std::u16string &text, MessageIcon icon, const std::u16string &title) override
    {
        boxes.push_back({text, icon, title});
        if (onBox)
            onBox(boxes.back());
    }
    void processEventsFor(int ms) override
    {
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
    void runInBackground(const std::function<void()> &work) override
    {
        exchangeTimes.push_back(m_now);
        work();
    }
    void endProgram() override { ++programEnds; }
    std::int64_t clock() override { return m_now; }

    // Runs `action` once, in the first wait that finds `due()` true.
    void inAWait(std::function<bool()> due, std::function<void()> action)
    {
        m_inWaits.push_back({std::move(due), std::move(action)});
    }

    std::vector<ShownBox> boxes;
    std::function<void(const ShownBox &)> onBox;  // while the box "is open"
    int programEnds = 0;
    std::vector<std::int64_t> exchangeTimes;  // the clock at the start of each exchange

private:
    struct WaitAction {
        std::function<bool()> due;
        std::function<void()> action;
    };
    std::vector<WaitAction> m_inWaits;
    std::int64_t m_now = 0;
};

}  // namespace venmarra::test
