#pragma once

#include "win32/handles.h"

#include <windows.h>

#include <string>

// Places and sizes in twips, and the font that the controls use, at a window's DPI.
namespace venmarra::win32 {

// The designs are laid out in twips for the default face of a Simplified Chinese desktop, whose
// Chinese character is 180 twips wide (12 pixels at 96 dots per inch, 15 twips to a pixel). A twip
// is measured against the font that the controls use, the desktop's message font at the window's
// DPI, so a larger font grows the windows in proportion and no caption outgrows its place.
class Twips {
public:
    // `font` as selected into `window`'s device context.
    Twips(HWND window, HFONT font, UINT dpi);
    // Twips as device pixels.
    int operator()(int twips) const { return MulDiv(twips, m_characterWidth, kTwipsPerCharacter); }

private:
    static constexpr int kTwipsPerCharacter = 180;
    int m_characterWidth;
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
void sizeAndCentre(HWND window, const Twips &twips, int clientWidth, int clientHeight);

// Sizes a top-level window for its client area at a new `dpi`, at the place that the system
// suggested with WM_DPICHANGED.
void moveToNewDpi(HWND window, const Twips &twips, int clientWidth, int clientHeight, UINT dpi, const RECT &suggested);

}  // namespace venmarra::win32
