#pragma once

#include "win32/handles.h"

#include <windows.h>

#include <string>

// Places and sizes in twips, and the font that the controls use, at a window's DPI.
namespace venmarra::win32 {

class Twips {
public:
    explicit Twips(UINT dpi)
        : m_dpi(dpi)
    {
    }
    // Twips as device pixels: 1440 twips to the inch.
    int operator()(int twips) const { return MulDiv(twips, int(m_dpi), 1440); }

private:
    UINT m_dpi;
};

// Moves `control` to its place and size in twips within its container's client area.
void placeInTwips(HWND control, const Twips &twips, int left, int top, int width, int height);

// The desktop's message font at `dpi`: the font of every control, none of the program's own.
FontHandle messageFont(UINT dpi);

// The size in pixels of `text` on one line in `font`.
SIZE textExtent(HWND control, HFONT font, const std::wstring &text);

// Registers a top-level window class of the program (once): its icon, the dialog face colour.
void registerWindowClass(const wchar_t *name, WNDPROC procedure);

// Creates a child control with the given class, text and styles.
HWND createControl(const wchar_t *windowClass, const std::wstring &text, DWORD style, DWORD exStyle, HWND parent,
                   int id);

// Moves a top-level window whose client area is `clientWidth` by `clientHeight` twips so that its
// frame is centred on the primary screen, and sizes it to fit that client area at its DPI.
void sizeAndCentre(HWND window, int clientWidth, int clientHeight);

}  // namespace venmarra::win32
