#pragma once

#include "ui/layout.h"
#include "win32/handles.h"

#include <windows.h>

#include <optional>
#include <string>

namespace venmarra::win32 {

// A top-level window of the program built from its design: its window class, the window
// procedure that hands each message to it, and its layout at the DPI of the screen it is on. A
// window handles only its own messages.
class TopLevelWindow {
public:
    TopLevelWindow(const TopLevelWindow &) = delete;
    TopLevelWindow &operator=(const TopLevelWindow &) = delete;

    HWND window() const { return m_window.get(); }
    // False once the window has been destroyed (by the user's close box, say).
    bool isOpen() const { return m_window != nullptr; }

protected:
    explicit TopLevelWindow(const ui::WindowDesign &design)
        : m_design(design)
    {
    }
    virtual ~TopLevelWindow();

    // Creates the window with a fixed border, `caption` and its design's title-bar buttons.
    void create(const wchar_t *className, const std::wstring &caption);
    // Places the controls at font() and twips(); again whenever the DPI changes.
    virtual void layOut() = 0;
    // The window's own messages; nothing for those that the system's default handling takes.
    virtual std::optional<LRESULT> handle(UINT message, WPARAM wParam, LPARAM lParam) = 0;
    void destroy() { m_window.reset(); }
    // Sizes the window to its design's client area and centres its frame on the primary screen.
    void sizeAndCentre();

    HFONT font() const { return m_font.get(); }
    const ui::TwipScale &twips() const { return *m_twips; }

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // The desktop's message font at `dpi`, and the twips it measures.
    void measure(UINT dpi);

    const ui::WindowDesign &m_design;
    WindowHandle m_window;
    FontHandle m_font;
    std::optional<ui::TwipScale> m_twips;
};

}  // namespace venmarra::win32
