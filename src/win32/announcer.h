#pragma once

#include "win32/handles.h"

#include <windows.h>

#include <string>

namespace venmarra::win32 {

// Tells the user's screen reader a text without moving the focus, by the means Windows' screen
// readers listen to: UI Automation's notification on the window, where the system has it
// (Windows 10 1709 and later; looked up when the program runs, so that it starts where it is
// missing), and for readers that follow WinEvents, a control of no size that takes the text as
// its name and raises its name change and an alert.
class Announcer {
public:
    // Its control goes into `window`, which destroys it.
    explicit Announcer(HWND window);

    void announce(const std::wstring &text);

private:
    using HostProvider = HRESULT(WINAPI *)(HWND, IUnknown **);
    using RaiseNotification
        = HRESULT(WINAPI *)(IUnknown *, int kind, int processing, BSTR text, BSTR activity);

    void notifyAutomation(const std::wstring &text) const;

    HWND m_window;
    HWND m_control;
    LibraryHandle m_automation;
    HostProvider m_hostProvider = nullptr;
    RaiseNotification m_raiseNotification = nullptr;
};

}  // namespace venmarra::win32
