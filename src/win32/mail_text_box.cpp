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

void putOnClipboard(HWND owner, const std::wstring &text)
{
    const OpenClipboardScope clipboard(owner);
    if (!clipboard)
        return;
    EmptyClipboard();
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    GlobalMemory memory(GlobalAlloc(GMEM_MOVEABLE, bytes));
    void *locked = memory ? GlobalLock(memory.get()) : nullptr;
    if (!locked)
        return;
    std::memcpy(locked, text.c_str(), bytes);
    GlobalUnlock(memory.get());
    if (SetClipboardData(CF_UNICODETEXT, memory.get()))
        memory.release();  // the clipboard owns it now
}

// Gives `control` an empty buffer with room for `units`, so that it need not grow, and move its
// text each time, as a large mail goes in.
void reserve(HWND control, std::size_t units)
{
    const HLOCAL buffer = LocalAlloc(LMEM_MOVEABLE, (units + 1) * sizeof(wchar_t));
    auto *text = buffer ? static_cast<wchar_t *>(LocalLock(buffer)) : nullptr;
    if (!text) {
        LocalFree(buffer);
        return;
    }
    *text = L'\0';
    LocalUnlock(buffer);
    const auto previous = reinterpret_cast<HLOCAL>(SendMessageW(control, EM_GETHANDLE, 0, 0));
    SendMessageW(control, EM_SETHANDLE, reinterpret_cast<WPARAM>(buffer), 0);  // the control's now
    LocalFree(previous);
}

std::wstring boxText(HWND control)
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(
        static_cast<std::size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return text;
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
        m_ownBreaks.push_back(length + static_cast<DWORD>(own));
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
    InvalidateRect(m_control, nullptr, FALSE);
    if (!m_pending->atEnd())
        return true;
    m_pending.reset();
    KillTimer(m_owner, kAppendTimer);
    return false;
}

std::wstring MailTextBox::mailText(DWORD start, DWORD end) const
{
    const std::wstring text = boxText(m_control);
    end = std::min(end, static_cast<DWORD>(text.size()));
    start = std::min(start, end);
    std::vector<std::size_t> ownBreaks;  // those within the part, from its start
    for (auto at = std::lower_bound(m_ownBreaks.begin(), m_ownBreaks.end(), start);
         at != m_ownBreaks.end() && *at < end; ++at)
        ownBreaks.push_back(*at - start);
    return wide(ui::mailTextOf(fromWide(std::wstring_view(text).substr(start, end - start)), kSeparator,
                               ownBreaks, u"\r\n"));
}

std::wstring MailTextBox::selectedText() const
{
    DWORD start = 0, end = 0;
    SendMessageW(m_control, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return mailText(start, end);
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
    putOnClipboard(m_owner, selectedText());
}

LRESULT CALLBACK MailTextBox::controlProcedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                                               UINT_PTR, DWORD_PTR self)
{
    // The keys, the context menu's Copy and Cut all copy through WM_COPY and WM_CUT.
    const auto *box = reinterpret_cast<const MailTextBox *>(self);
    if (message == WM_COPY || message == WM_CUT) {
        box->copySelection();
        if (message == WM_CUT)
            SendMessageW(control, WM_CLEAR, 0, 0);
        return 0;
    }
    return DefSubclassProc(control, message, wParam, lParam);
}

}  // namespace venmarra::win32
