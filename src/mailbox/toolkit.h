#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace venmarra {

// The operations of the windowing toolkit that the program's logic relies on: each front end
// implements them on its toolkit, and the logic's tests on a fake clock, answering message boxes
// and noting the program's end.
class Toolkit {
public:
    enum class MessageIcon { None, Information };

    virtual ~Toolkit() = default;

    // A modal box with one OK button; returns once the user has closed it. An empty title shows
    // the application's title.
    virtual void messageBox(const std::u16string &text, MessageIcon icon, const std::u16string &title) = 0;
    // Runs user-interface events as they arrive for `ms` milliseconds, then returns.
    virtual void processEventsFor(int ms) = 0;
    // Runs `work` away from the user-interface thread; meanwhile the windows repaint and their
    // close boxes act, but clicks and keys wait until the work is done.
    virtual void runInBackground(const std::function<void()> &work) = 0;
    // Closes every window and ends the process at once.
    virtual void endProgram() = 0;
    // Milliseconds on a monotonic clock.
    virtual std::int64_t clock() = 0;
};

}  // namespace venmarra
