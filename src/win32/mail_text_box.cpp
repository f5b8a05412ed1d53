#include "win32/mail_text_box.h"

#include "text/utf.h"
#include "win32/handles.h"
#include "win32/wide_text.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <limits>

namespace venmarra::win32 {
namespace {

// A row and the box's own break after it, and the mail's line breaks.
constexpr std::u16string_view kSeparator = u"\r\n";

// `text`, Unicode text in global memory, handed to the clipboard.
void putOnClipboard(HWND owner, GlobalMemory text)
{
    const OpenClipboardScope clipboard(owner);
    if (!clipboard)
        return;
    EmptyClipboard();
    if (SetClipboardData(CF_UNICODETEXT, text.get()))
        text.release();  // the clipboard owns it now
}

// Gives `control` an empty buffer with room for `units`, so that it need not grow, and move its
// text each time, as a large mail goes in.
void reserve(HWND control, std::size_t units)
{
    LocalMemory buffer(LocalAlloc(LMEM_MOVEABLE, (units + 1) * sizeof(wchar_t)));
    auto *text = buffer ? static_cast<wchar_t *>(LocalLock(buffer.get())) : nullptr;
    if (!text)
        return;
    *text = L'\0';
    LocalUnlock(buffer.get());
    const LocalMemory previous(reinterpret_cast<HLOCAL>(SendMessageW(control, EM_GETHANDLE, 0, 0)));
    SendMessageW(control, EM_SETHANDLE, reinterpret_cast<WPARAM>(buffer.release()), 0);  // the control's now
}

std::wstring boxText(HWND control)
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(
        static_cast<std::size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

// Whether `message` may change the box's text as the user edits it: a character typed (Enter,
// Tab and Backspace among them), Delete, a paste, a clear, an input method's character, a
// replacement from outside. Other keys and control characters only move or copy.
bool editsText(UINT message, WPARAM wParam)
{
    switch (message) {
    case WM_CHAR: return wParam >= 0x20 || wParam == L'\r' || wParam == L'\t' || wParam == L'\b';
    case WM_KEYDOWN: return wParam == VK_DELETE;
    case WM_IME_CHAR:
    case WM_PASTE:
    case WM_CLEAR:
    case EM_REPLACESEL: return true;
    default: return false;
    }
}

}  // namespace

MailTextBox::MailTextBox(HWND control, HWND owner)
    : m_control(control)
    , m_owner(owner)
{
    SetWindowSubclass(m_control, &MailTextBox::controlProcedure, 0, reinterpret_cast<DWORD_PTR>(this));
}

void MailTextBox::setText(std::string text)
{
    reserve(m_control, text.size() + text.size() / 8);  // the mail and the box's own breaks
    m_pending.emplace(std::move(text), [this](std::u16string_view row) { return rowFit(row); });
    m_ownBreaks.clear();
    if (appendNextSlice())  // the caret stays before the first character, where a reader begins
        SetTimer(m_owner, kAppendTimer, 0, nullptr);
}

std::size_t MailTextBox::untabbedFit(std::u16string_view row) const
{
    const std::wstring units = wide(row);
    int fit = 0;
    SIZE size {};
    GetTextExtentExPointW(m_measure, units.c_str(), static_cast<int>(units.size()), m_rowWidth, &fit, nullptr,
                          &size);
    return static_cast<std::size_t>(std::max(fit, 1));
}

std::size_t MailTextBox::rowFit(std::u16string_view text)
{
    if (text.find(u'\t') == std::u16string_view::npos) {
        // The system measures every character it is given, so a row is measured on about twice the
        // one before it, and on all of `text` only when that much fits.
        const std::size_t guess = std::min(text.size(), 2 * m_lastFit + 32);
        m_lastFit = untabbedFit(text.substr(0, guess));
        if (m_lastFit == guess && guess < text.size())
            m_lastFit = untabbedFit(text);
        return m_lastFit;
    }
    // Tabs go to the box's tab stops: the longest start that fits, found by halves.
    const std::wstring row = wide(text);
    std::size_t fits = 1, tooLong = row.size() + 1;
    while (tooLong - fits > 1) {
        const std::size_t middle = (fits + tooLong) / 2;
        const DWORD extent
            = GetTabbedTextExtentW(m_measure, row.c_str(), static_cast<int>(middle), 0, nullptr);
        (LOWORD(extent) <= m_rowWidth ? fits : tooLong) = middle;
    }
    return fits;
}

bool MailTextBox::appendNextSlice()
{
    if (!m_pending) {
        KillTimer(m_owner, kAppendTimer);
        return false;
    }
    RECT format {};
    SendMessageW(m_control, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    m_rowWidth
        = std::max(1, static_cast<int>(format.right - format.left) - 2);  // room for the caret at a row's end
    ui::ViewerText::Slice slice;
    {
        const DeviceContext context(m_control,
                                    reinterpret_cast<HFONT>(SendMessageW(m_control, WM_GETFONT, 0, 0)));
        m_measure = context.get();
        slice = m_pending->next(kSliceLength, kSeparator);
        m_measure = nullptr;
    }
    // Appended at the end, leaving the user's selection and the rows in view as they are.
    const auto length = static_cast<DWORD>(GetWindowTextLengthW(m_control));
    for (const std::size_t own : slice.ownBreaks)
        m_ownBreaks.add(length + own);
    m_appending = true;
    DWORD start = 0, end = 0;
    SendMessageW(m_control, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const LRESULT firstRow = SendMessageW(m_control, EM_GETFIRSTVISIBLELINE, 0, 0);
    SendMessageW(m_control, WM_SETREDRAW, FALSE, 0);
    SendMessageW(m_control, EM_SETSEL, length, length);
    SendMessageW(m_control, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(wide(slice.text).c_str()));
    SendMessageW(m_control, EM_SETSEL, start, end);
    SendMessageW(m_control, EM_LINESCROLL, 0,
                 firstRow - SendMessageW(m_control, EM_GETFIRSTVISIBLELINE, 0, 0));
    SendMessageW(m_control, WM_SETREDRAW, TRUE, 0);
    m_appending = false;
    InvalidateRect(m_control, nullptr, FALSE);
    if (!m_pending->atEnd())
        return true;
    m_pending.reset();
    KillTimer(m_owner, kAppendTimer);
    return false;
}

bool MailTextBox::appendForATurn()
{
    const auto began = std::chrono::steady_clock::now();
    while (appendNextSlice()) {
        if (std::chrono::steady_clock::now() - began >= kTurn || HIWORD(GetQueueStatus(QS_INPUT)) != 0)
            return true;
    }
    return false;
}

std::wstring MailTextBox::mailText(DWORD start, DWORD end) const
{
    const std::wstring text = boxText(m_control);
    end = std::min(end, static_cast<DWORD>(text.size()));
    start = std::min(start, end);
    return wide(ui::mailTextOf(fromWide(std::wstring_view(text).substr(start, end - start)), kSeparator,
                               m_ownBreaks.within(start, end), u"\r\n"));
}

MailTextBox::Selection MailTextBox::selection() const
{
    Selection selected {0, 0, static_cast<DWORD>(GetWindowTextLengthW(m_control))};
    SendMessageW(m_control, EM_GETSEL, reinterpret_cast<WPARAM>(&selected.start),
                 reinterpret_cast<LPARAM>(&selected.end));
    return selected;
}

void MailTextBox::followEdit(const Selection &before)
{
    const Selection after = selection();
    const auto grown = static_cast<long long>(after.length) - static_cast<long long>(before.length);
    if (before.start != before.end) {  // the selection replaced
        m_ownBreaks.replace(before.start, before.end,
                            static_cast<std::size_t>(grown + (before.end - before.start)));
    } else if (grown > 0) {  // typed or pasted at the caret
        m_ownBreaks.replace(before.start, before.start, static_cast<std::size_t>(grown));
    } else if (grown < 0 && after.start < before.start) {  // erased before the caret
        m_ownBreaks.replace(after.start, before.start, 0);
    } else if (grown < 0) {  // erased after it
        m_ownBreaks.replace(before.start, before.start + static_cast<DWORD>(-grown), 0);
    }
}

void MailTextBox::reflow()
{
    if (GetWindowTextLengthW(m_control) == 0 && !m_pending)
        return;
    std::string text = text::utf8FromUtf16(fromWide(mailText(0, std::numeric_limits<DWORD>::max())));
    if (m_pending)
        text += m_pending->rest();
    setText(std::move(text));
}

void MailTextBox::copySelection() const
{
    // Written straight from the box's own text into the clipboard's memory: a copy of a mail of
    // megabytes takes no more than the copy itself.
    Selection selected = selection();
    selected.end = std::min(selected.end, selected.length);
    selected.start = std::min(selected.start, selected.end);
    const std::vector<std::size_t> own = m_ownBreaks.within(selected.start, selected.end);
    const bool whole = m_pending && selected.start == 0 && selected.end == selected.length;
    const std::u16string rest = whole ? ui::mailTextOf(m_pending->remaining(), u"\r\n") : std::u16string();
    const std::size_t units = selected.end - selected.start - own.size() * kSeparator.size() + rest.size();
    GlobalMemory memory(GlobalAlloc(GMEM_MOVEABLE, (units + 1) * sizeof(wchar_t)));
    auto *out = memory ? static_cast<wchar_t *>(GlobalLock(memory.get())) : nullptr;
    if (!out)
        return;
    {
        const LockedLocal box(reinterpret_cast<HLOCAL>(SendMessageW(m_control, EM_GETHANDLE, 0, 0)));
        const auto *text = static_cast<const wchar_t *>(box.get());
        std::size_t from = selected.start;
        for (const std::size_t at : own) {  // each of the box's own breaks left out
            out = text ? std::copy(text + from, text + selected.start + at, out) : out;
            from = selected.start + at + kSeparator.size();
        }
        out = text ? std::copy(text + from, text + selected.end, out) : out;
    }
    out = std::copy(rest.begin(), rest.end(), out);
    *out = L'\0';
    GlobalUnlock(memory.get());
    putOnClipboard(m_owner, std::move(memory));
}

LRESULT CALLBACK MailTextBox::controlProcedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                                               UINT_PTR, DWORD_PTR self)
{
    // The keys, the context menu's Copy and Cut all copy through WM_COPY and WM_CUT.
    auto *box = reinterpret_cast<MailTextBox *>(self);
    switch (message) {
    case WM_COPY:
    case WM_CUT:
        box->copySelection();
        if (message == WM_CUT)
            SendMessageW(control, WM_CLEAR, 0, 0);
        return 0;
    case WM_UNDO:
    case EM_UNDO: return FALSE;  // an edit undone where the box's breaks could not follow it
    case WM_CHAR:
        if (wParam == 0x1A)  // Ctrl+Z
            return 0;
        break;
    default: break;
    }
    if (!box->m_appending && !box->m_followingEdit && editsText(message, wParam)) {
        // One edit, followed once: what the box sends itself meanwhile (a cut's clear) is part of it.
        box->m_followingEdit = true;
        const Selection before = box->selection();
        const LRESULT result = DefSubclassProc(control, message, wParam, lParam);
        box->followEdit(before);
        box->m_followingEdit = false;
        return result;
    }
    return DefSubclassProc(control, message, wParam, lParam);
}

}  // namespace venmarra::win32
