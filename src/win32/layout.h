#pragma once

#include "ui/layout.h"
#include "win32/handles.h"

#include <windows.h>

#include <string>

// Places and sizes from the design's twips, and the font that the controls use, at a window's DPI.
namespace venmarra::win32 {

// The child-window identifier of a control of the design.
constexpr int controlId(ui::ControlId control)
{
    constexpr int kFirstControlId = 101;
    return kFirstControlId + static_cast<int>(control);
}

// Twips at `font` (as selected into `window`'s device context), measured on its Chinese character.
ui::TwipScale fontTwips(HWND window, HFONT font, UINT dpi);

// Moves `control` to `place` within its container's client area.
void placeControl(HWND control, const ui::PixelRect &place);

// The desktop's message font at `dpi`: the font of every control, none of the program's own.
FontHandle messageFont(UINT dpi);

// The size in pixels of `text` on one line in `font`.
SIZE textExtent(HWND control, HFONT font, const std::wstring &text);

// Registers a top-level window class of the program (once): its icon, the dialog face colour.
void registerWindowClass(const wchar_t *name, WNDPROC procedure);

// Creates a child control with the given class, text and styles.
HWND createControl(const wchar_t *windowClass, const std::wstring &text, DWORD style, DWORD exStyle,
                   HWND parent, int id);

// Moves a top-level window so that its frame is centred on the primary screen, and sizes it to
// fit its design's client area.
void sizeAndCentre(HWND window, const ui::TwipScale &twips, const ui::WindowDesign &design);

// Sizes a top-level window for its design's client area at a new `dpi`, at the place that the
// system suggested with WM_DPICHANGED.
void moveToNewDpi(HWND window, const ui::TwipScale &twips, const ui::WindowDesign &design, UINT dpi,
                  const RECT &suggested);

}  // namespace venmarra::win32
