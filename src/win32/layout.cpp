#include "win32/layout.h"

namespace venmarra::win32 {

ui::TwipScale fontTwips(HWND window, HFONT font, UINT dpi)
{
    const std::wstring measured(1, static_cast<wchar_t>(ui::TwipScale::kMeasuredCharacter));
    return ui::TwipScale(static_cast<double>(textExtent(window, font, measured).cx), static_cast<int>(dpi));
}

void placeControl(HWND control, const ui::PixelRect &place)
{
    SetWindowPos(control, nullptr, place.left, place.top, place.width, place.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

FontHandle messageFont(UINT dpi)
{
    NONCLIENTMETRICSW metrics {};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi))
        return FontHandle(nullptr);
    return FontHandle(CreateFontIndirectW(&metrics.lfMessageFont));
}

SIZE textExtent(HWND control, HFONT font, const std::wstring &text)
{
    SIZE size {};
    const DeviceContext context(control, font);
    GetTextExtentPoint32W(context.get(), text.c_str(), static_cast<int>(text.size()), &size);
    if (text.empty()) {  // an empty caption keeps the height of a line
        TEXTMETRICW metrics {};
        GetTextMetricsW(context.get(), &metrics);
        size.cy = metrics.tmHeight;
    }
    return size;
}

void registerWindowClass(const wchar_t *name, WNDPROC procedure)
{
    WNDCLASSEXW windowClass {};
    windowClass.cbSize = sizeof windowClass;
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    if (GetClassInfoExW(instance, name, &windowClass))
        return;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    // The program's icon, named in its resources.
    windowClass.hIcon = static_cast<HICON>(
        LoadImageW(instance, L"IDI_ICON1", IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
    windowClass.hIconSm
        = static_cast<HICON>(LoadImageW(instance, L"IDI_ICON1", IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                        GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = name;
    RegisterClassExW(&windowClass);
}

HWND createControl(const wchar_t *windowClass, const std::wstring &text, DWORD style, DWORD exStyle,
                   HWND parent, int id)
{
    // Clipped by its siblings, so that the stacking order decides where two controls overlap.
    return CreateWindowExW(
        exStyle, windowClass, text.c_str(), WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | style, 0, 0, 0, 0,
        parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
}

namespace {

SIZE frameSize(HWND window, const ui::TwipScale &twips, const ui::WindowDesign &design, UINT dpi)
{
    RECT frame {0, 0, twips(design.clientWidth), twips(design.clientHeight)};
    AdjustWindowRectExForDpi(&frame, static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)), FALSE,
                             static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE)), dpi);
    return {frame.right - frame.left, frame.bottom - frame.top};
}

}  // namespace

void sizeAndCentre(HWND window, const ui::TwipScale &twips, const ui::WindowDesign &design)
{
    const SIZE size = frameSize(window, twips, design, GetDpiForWindow(window));
    MONITORINFO monitor {};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT &screen = monitor.rcMonitor;
    SetWindowPos(window, nullptr, screen.left + (screen.right - screen.left - size.cx) / 2,
                 screen.top + (screen.bottom - screen.top - size.cy) / 2, size.cx, size.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void moveToNewDpi(HWND window, const ui::TwipScale &twips, const ui::WindowDesign &design, UINT dpi,
                  const RECT &suggested)
{
    // The system's suggestion scales the whole frame; the client area follows the font instead.
    const SIZE size = frameSize(window, twips, design, dpi);
    SetWindowPos(window, nullptr, suggested.left, suggested.top, size.cx, size.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    // Where the frame drawn differs from the one computed for the new DPI, the client area decides.
    RECT client {};
    GetClientRect(window, &client);
    const int wider = twips(design.clientWidth) - client.right,
              taller = twips(design.clientHeight) - client.bottom;
    if (wider != 0 || taller != 0)
        SetWindowPos(window, nullptr, 0, 0, size.cx + wider, size.cy + taller,
                     SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
}

}  // namespace venmarra::win32
