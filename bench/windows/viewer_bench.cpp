// The Windows viewer under Wine with a one-line mail of ASCII words, of Chinese, or of letters with
// no break opportunity (one kind and size a process, so that each peak is its own): from setting
// the text to the first paint of the box; the longest that a message posted to the window waited;
// how far past its 1200 ms the receive loop's wait (the toolkit's, as the program runs it) ran
// late, until the whole text is in the box; the peak memory that the mail raised; and how much
// Ctrl+A, Ctrl+C of the whole mail raised the peak after that.
// usage: windows_viewer_bench.exe words|chinese|letters MEGABYTES
#include "win32/form2.h"
#include "win32/win32_toolkit.h"

#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;
constexpr UINT kPing = WM_APP + 1;

double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct Figures {
    double firstPaintMs = -1;
    double longestMessageWaitMs = 0;
    double loopLateMs = 0;
    double allInMs = 0;
};

Figures g_figures;
Clock::time_point g_start;
WNDPROC g_editProcedure = nullptr;

LRESULT CALLBACK watchPaint(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT && g_figures.firstPaintMs < 0)
        g_figures.firstPaintMs = msSince(g_start);
    return CallWindowProcW(g_editProcedure, window, message, wParam, lParam);
}

// Takes the pings, each with the time it was posted at (in microseconds since the start).
LRESULT CALLBACK pinged(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != kPing)
        return DefWindowProcW(window, message, wParam, lParam);
    g_figures.longestMessageWaitMs
        = std::max(g_figures.longestMessageWaitMs, msSince(g_start) - static_cast<double>(lParam) / 1000);
    return 0;
}

std::size_t workingSet(bool peak)
{
    PROCESS_MEMORY_COUNTERS memory {};
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
    return peak ? memory.PeakWorkingSetSize : memory.WorkingSetSize;
}

}  // namespace

int wmain(int argc, wchar_t **argv)
{
    const std::wstring kind = argc > 1 ? argv[1] : L"words";
    const std::size_t megabytes = argc > 2 ? static_cast<std::size_t>(_wtoi(argv[2])) : 1;
    const std::string piece = kind == L"chinese" ? "这是一封很长的单行邮件，用来测量查看窗口的速度。"
        : kind == L"letters"                     ? "abcdefghijklmnopqrstuvwxyz"
                                                 : "alpha beta gamma delta data test mail epsilon ";

    venmarra::win32::Win32Toolkit toolkit;
    venmarra::win32::MailViewer viewer;
    viewer.show();
    toolkit.processEventsFor(100);
    const HWND edit = viewer.window()->text1();
    g_editProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&watchPaint)));
    WNDCLASSW pingClass {};
    pingClass.lpfnWndProc = &pinged;
    pingClass.lpszClassName = L"VenmarraBenchPing";
    RegisterClassW(&pingClass);
    const HWND ping = CreateWindowExW(0, pingClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                      nullptr, nullptr);

    const std::size_t before = workingSet(false);
    std::string text;  // as the viewer is given it, in UTF-8
    while (text.size() < (megabytes << 20))
        text += piece;
    const std::size_t mailBytes = text.size();
    std::atomic<bool> done {false};
    g_start = Clock::now();
    std::thread pinger([&] {
        while (!done) {
            PostMessageW(ping, kPing, 0, static_cast<LPARAM>(msSince(g_start) * 1000));
            Sleep(2);
        }
    });
    viewer.setText(std::move(text));
    InvalidateRect(edit, nullptr, TRUE);
    // The receive loop's waits go on while the box fills, each to be 1200 ms.
    while (msSince(g_start) < 600000 && (g_figures.firstPaintMs < 0 || viewer.window()->box().isLoading())) {
        const Clock::time_point waited = Clock::now();
        toolkit.processEventsFor(1200);
        g_figures.loopLateMs = std::max(g_figures.loopLateMs, msSince(waited) - 1200);
    }
    g_figures.allInMs = msSince(g_start);
    done = true;
    pinger.join();
    const std::size_t filledPeak = workingSet(true);
    const double raised = static_cast<double>(filledPeak - before) / static_cast<double>(mailBytes);
    SendMessageW(edit, EM_SETSEL, 0, -1);
    SendMessageW(edit, WM_COPY, 0, 0);
    const double copyRaised
        = static_cast<double>(workingSet(true) - filledPeak) / static_cast<double>(mailBytes);

    const Figures &f = g_figures;
    const bool met = f.firstPaintMs >= 0 && f.firstPaintMs < 500 && f.longestMessageWaitMs <= 100
        && f.loopLateMs <= 100 && raised <= 5 && copyRaised <= 3 && !viewer.window()->box().isLoading();
    std::printf(
        "| 7. Windows viewer under Wine, %zu MB one line of %ls: first paint / longest wait of a message / "
        "receive loop late / all in, peak memory raised, then by copying it all | %.0f / %.0f / %.0f ms / "
        "%.1f s, %.1f × / %.1f × the mail | — | < 500 ms, no wait > 100 ms, ≤ 5 ×, copy ≤ 3 × | %s |\n",
        megabytes, kind.c_str(), f.firstPaintMs, f.longestMessageWaitMs, f.loopLateMs, f.allInMs / 1000,
        raised, copyRaised, met ? "met" : "**missed**");
    std::fflush(stdout);
    return 0;
}
