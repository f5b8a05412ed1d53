#include "win32/window.h"

#include "win32/layout.h"

namespace venmarra::win32 {

TopLevelWindow::~TopLevelWindow()
{
    // No message reaches this object while its window goes: the derived part is gone already.
    if (m_window)
        SetWindowLongPtrW(m_window.get(), GWLP_USERDATA, 0);
}

void TopLevelWindow::create(const wchar_t *className, const std::wstring &caption)
{
    // A fixed border, the close box, and the minimise button where the design has one.
    const DWORD style
        = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | (m_design.minimiseButton ? WS_MINIMIZEBOX : 0);
    registerWindowClass(className, &TopLevelWindow::procedure);
    CreateWindowExW(0, className, caption.c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT, 0, 0, nullptr,
                    nullptr, GetModuleHandleW(nullptr), this);  // WM_NCCREATE hands the window to m_window
}

void TopLevelWindow::measure(UINT dpi)
{
    m_font = messageFont(dpi);
    m_twips = fontTwips(window(), m_font.get(), dpi);
}

void TopLevelWindow::sizeAndCentre()
{
    win32::sizeAndCentre(window(), twips(), m_design);
}

LRESULT CALLBACK TopLevelWindow::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto *created
            = static_cast<TopLevelWindow *>(reinterpret_cast<CREATESTRUCTW *>(lParam)->lpCreateParams);
        created->m_window.reset(window);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
    }
    auto *self = reinterpret_cast<TopLevelWindow *>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self)
        return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_CREATE) {
        self->measure(GetDpiForWindow(window));
    } else if (message == WM_DPICHANGED) {
        const UINT dpi = HIWORD(wParam);
        self->measure(dpi);
        self->layOut();
        moveToNewDpi(window, self->twips(), self->m_design, dpi, *reinterpret_cast<const RECT *>(lParam));
        return 0;
    }
    const std::optional<LRESULT> handled = self->handle(message, wParam, lParam);
    if (message == WM_NCDESTROY) {  // destroyed by the system: nothing is left to destroy
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        (void)self->m_window.release();
    }
    return handled ? *handled : DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace venmarra::win32
