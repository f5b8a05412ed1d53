#pragma once

#include "ui/viewer_text.h"

#include <windows.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace venmarra::win32 {

// The viewer's text box: a plain multi-line EDIT that does not wrap lines itself, holding the
// rows of ui::ViewerText as its font and width measure them, filled a slice at a time between
// messages, so that a mail of megabytes shows its start at once and never freezes the window (an
// EDIT left to wrap re-wraps all it holds whenever it is given more). Copying, by the keys or the
// box's own context menu, gives the text as the user sees it without the box's own breaks: the
// box follows each of the user's edits to know where its breaks stand (the box's own undo, which
// it could not follow, does nothing). While the mail still goes in, copying all of it gives the
// whole mail.
class MailTextBox {
public:
    static constexpr std::size_t kSliceLength = 8 * 1024;
    // How long one turn of the message loop appends slices, unless input waits.
    static constexpr std::chrono::milliseconds kTurn {20};
    // The timer of the box's window that appends the next slice: a timer runs after input and
    // paints, so the window answers between two slices.
    static constexpr UINT_PTR kAppendTimer = 1;

    // Subclasses `control` for copying; the window `owner` gets the kAppendTimer ticks.
    MailTextBox(HWND control, HWND owner);

    // Shows `text` (well-formed UTF-8, inert) from its start, the caret before its first character.
    void setText(std::string text);
    // Appends the next slice; false once all is in.
    bool appendNextSlice();
    // Appends slices for one turn of the message loop: for kTurn by the clock, or until the user's
    // input waits, which goes first; false once all is in.
    bool appendForATurn();
    // True while slices of the text are still to be appended.
    bool isLoading() const { return m_pending.has_value(); }
    // Lays the text out again in rows of the box's font and width, after a change of DPI; the
    // user's edits stay.
    void reflow();

private:
    // The mail's text in the box from `start` to `end`.
    std::wstring mailText(DWORD start, DWORD end) const;
    // How many units at the start of `text` one row shows, in the font selected into `m_measure`.
    std::size_t rowFit(std::u16string_view text);
    // How many units at the start of `row`, which holds no tab, fit in a row.
    std::size_t untabbedFit(std::u16string_view row) const;
    // Puts the selected text on the clipboard as the mail has it, without the box's own breaks,
    // lines ending in "\r\n"; all of it while the mail still goes in: the whole mail.
    void copySelection() const;
    struct Selection {
        DWORD start, end, length;
    };
    Selection selection() const;
    // Follows the user's edit, which the box made from `before` on.
    void followEdit(const Selection &before);
    static LRESULT CALLBACK controlProcedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                                             UINT_PTR, DWORD_PTR self);

    HWND m_control;
    HWND m_owner;
    std::optional<ui::ViewerText> m_pending;  // the text being appended
    ui::OwnBreaks m_ownBreaks {2};  // where the box's own breaks ("\r\n") begin, in its text
    bool m_appending = false;  // while the program puts a slice in, which is no edit of the user's
    bool m_followingEdit = false;  // while one edit of the user's goes on
    HDC m_measure = nullptr;  // while a slice is measured
    int m_rowWidth = 0;  // the pixels of a row, while a slice is measured
    std::size_t m_lastFit = 0;  // the units of the row measured last
};

}  // namespace venmarra::win32
