#pragma once

#include "mailbox/toolkit.h"

#include <windows.h>

namespace venmarra::win32 {

// Hands one message to its window: dialog keys (Tab, Enter) first, then the usual translation.
void dispatchMessage(MSG &message);

// The toolkit operations on the Windows API: message boxes, waits that run the message loop,
// exchanges on a thread of their own while the windows repaint.
class Win32Toolkit final : public Toolkit {
public:
    void messageBox(const std::u16string &text, MessageIcon icon, const std::u16string &title) override;
    void processEventsFor(int ms) override;
    void runInBackground(const std::function<void()> &work) override;
    void endProgram() override;
    std::int64_t clock() override;
};

}  // namespace venmarra::win32
