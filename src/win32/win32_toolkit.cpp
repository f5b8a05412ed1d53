#include "win32/win32_toolkit.h"

#include "ui/texts.h"
#include "win32/handles.h"
#include "win32/wide_text.h"

#include <process.h>

namespace venmarra::win32 {
namespace {

// Runs the messages that wait in the range [first, last] (all of them for 0, 0), one at a time,
// until none is left or `enough` says so: a timer that is due again at once (the viewer's, which
// fills it a slice a tick) would otherwise keep the caller from ever looking at its clock.
template <typename Enough>
void runWaiting(UINT first, UINT last, Enough enough)
{
    MSG message;
    while (!enough() && PeekMessageW(&message, nullptr, first, last, PM_REMOVE))
        dispatchMessage(message);
}

// Everything but keyboard and mouse input in the client area: repaints, timers, posted and sent
// messages, and the title bar's buttons (non-client mouse messages), so the close box acts.
template <typename Enough>
void runAllButInput(Enough enough)
{
    runWaiting(0, WM_KEYFIRST - 1, enough);
    runWaiting(WM_KEYLAST + 1, WM_MOUSEFIRST - 1, enough);
    runWaiting(WM_MOUSELAST + 1, 0xFFFFFFFF, enough);
}

unsigned __stdcall runWork(void *work)
{
    (*static_cast<const std::function<void()> *>(work))();
    return 0;
}

}  // namespace

void dispatchMessage(MSG &message)
{
    const HWND root = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    if (root && IsDialogMessageW(root, &message))
        return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

void Win32Toolkit::messageBox(const std::u16string &text, MessageIcon icon, const std::u16string &title)
{
    const std::wstring caption = wide(title.empty() ? texts::kApplicationTitle : title);
    const UINT style = MB_OK | (icon == MessageIcon::Information ? MB_ICONINFORMATION : 0);
    // Owned by no window, a task-modal box disables every window of the program while it is open
    // and comes to the foreground: in front of whichever window was active, the viewer too.
    MessageBoxW(nullptr, wide(text).c_str(), caption.c_str(), style | MB_TASKMODAL | MB_SETFOREGROUND);
}

void Win32Toolkit::processEventsFor(int ms)
{
    // Sleeps until a message arrives or the time is up, instead of waking every millisecond.
    const std::int64_t deadline = clock() + ms;
    for (std::int64_t now = clock(); now < deadline; now = clock()) {
        MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(deadline - now), QS_ALLINPUT,
                                    MWMO_INPUTAVAILABLE);
        runWaiting(0, 0, [&] { return clock() >= deadline; });
    }
}

void Win32Toolkit::runInBackground(const std::function<void()> &work)
{
    const KernelHandle thread(reinterpret_cast<HANDLE>(
        _beginthreadex(nullptr, 0, &runWork, const_cast<std::function<void()> *>(&work), 0, nullptr)));
    if (!thread) {
        work();  // no thread to be had: the window waits, but the exchange is still made
        return;
    }
    // Clicks and keys stay queued until the work is done, and then act in their order. The wait
    // wakes for new messages only, so input left in the queue does not spin it.
    HANDLE handles[] = {thread.get()};
    const auto done = [&] {
        return WaitForSingleObject(thread.get(), 0) == WAIT_OBJECT_0;
    };
    while (MsgWaitForMultipleObjectsEx(1, handles, INFINITE, QS_ALLINPUT, 0) != WAIT_OBJECT_0)
        runAllButInput(done);
}

void Win32Toolkit::endProgram()
{
    ExitProcess(0);  // at once: no handler of an enclosing loop may run after this
}

std::int64_t Win32Toolkit::clock()
{
    return static_cast<std::int64_t>(GetTickCount64());
}

}  // namespace venmarra::win32
