#pragma once

#include "ui/viewer_text.h"

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace venmarra::win32 {

// The viewer's text box (a rich edit control in plain-text mode) holding the blocks of
// ui::ViewerText, filled a slice at a time between messages, so that a mail of megabytes shows
// its start at once and never freezes the window; copying gives the mail's text without the
// box's own breaks.
class MailTextBox {
public:
    static constexpr std::size_t kSliceLength = 16 * 1024;
    // The timer of the box's window that appends the next slice: a timer runs after input and
    // paints, so the window answers between two slices.
    static constexpr UINT_PTR kAppendTimer = 1;

    // Subclasses `control` for copying; the window `owner` gets the kAppendTimer ticks.
    MailTextBox(HWND control, HWND owner);

    void setText(std::u16string text);
    // Appends the next slice; false once all is in.
    bool appendNextSlice();
    // True while slices of the text are still to be appended.
    bool isLoading() const { return m_pending.has_value(); }
    // The selected text as the mail has it, without the block breaks, lines ending in "\r\n".
    std::wstring selectedText() const;

private:
    void copySelection() const;
    static LRESULT CALLBACK controlProcedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                                             UINT_PTR, DWORD_PTR self);

    HWND m_control;
    HWND m_owner;
    std::optional<ui::ViewerText> m_pending;  // the text being appended
    LONG m_length = 0;  // characters in the box; a paragraph mark counts one
    std::vector<LONG> m_blockBreaks;  // the box's positions of the marks that are its own breaks
};

}  // namespace venmarra::win32
