#include "win32/mail_text_box.h"

#include "win32/wide_text.h"

#include <commctrl.h>
#include <richedit.h>

#include <algorithm>
#include <cstring>

namespace venmarra::win32 {
namespace {

bool isLineBreak(char16_t c)
{
    return c == u'\n' || c == u'\r' || c == 0x2029;
}

bool isLowSurrogate(char16_t c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

// Where to end a block that starts at `start` in a long line ending at `end`: after a space or
// before a wide (CJK) character near kBlockLength, else exactly there.
std::size_t blockEnd(const std::u16string &text, std::size_t start, std::size_t end)
{
    const std::size_t limit = start + MailTextBox::kBlockLength;
    if (end - start <= MailTextBox::kBlockLength + MailTextBox::kBlockLength / 2)
        return end;  // no short tail block
    for (std::size_t at = limit; at > limit - 256; --at) {
        const char16_t c = text[at];
        if (text[at - 1] == u' ' || (c >= 0x2E80 && !isLowSurrogate(c)))
            return at;
    }
    return isLowSurrogate(text[limit]) ? limit + 1 : limit;
}

void putOnClipboard(HWND owner, const std::wstring &text)
{
    if (!OpenClipboard(owner))
        return;
    EmptyClipboard();
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
        std::memcpy(GlobalLock(memory), text.c_str(), bytes);
        GlobalUnlock(memory);
        if (!SetClipboardData(CF_UNICODETEXT, memory))
            GlobalFree(memory);  // the clipboard did not take it
    }
    CloseClipboard();
}

}  // namespace

MailTextBox::MailTextBox(HWND control, HWND owner)
    : m_control(control)
    , m_owner(owner)
{
    SetWindowSubclass(m_control, &MailTextBox::controlProcedure, 0, reinterpret_cast<DWORD_PTR>(this));
}

void MailTextBox::setText(std::u16string text)
{
    m_text = std::move(text);
    m_next = 0;
    m_lineEndKnown = false;
    m_length = 0;
    m_blockBreaks.clear();
    SetWindowTextW(m_control, L"");
    if (appendNextSlice())
        SetTimer(m_owner, kAppendTimer, 0, nullptr);
}

std::wstring MailTextBox::nextSlice()
{
    std::wstring slice;
    while (m_next < m_text.size() && slice.size() < kSliceLength) {
        if (!m_lineEndKnown) {  // where this line ends, found once per line
            m_lineEnd = m_next;
            while (m_lineEnd < m_text.size() && !isLineBreak(m_text[m_lineEnd]))
                ++m_lineEnd;
            m_lineEndKnown = true;
        }
        const std::size_t end = m_lineEnd - m_next > kLongLine ? blockEnd(m_text, m_next, m_lineEnd) : m_lineEnd;
        slice.append(m_text.begin() + std::ptrdiff_t(m_next), m_text.begin() + std::ptrdiff_t(end));
        m_next = end;
        if (end < m_lineEnd) {
            m_blockBreaks.push_back(m_length + LONG(slice.size()));
        } else if (end < m_text.size()) {
            // The mail's own line break ("\r\n" counts as one).
            const bool crlf = m_text[end] == u'\r' && end + 1 < m_text.size() && m_text[end + 1] == u'\n';
            m_next = end + (crlf ? 2 : 1);
            m_lineEndKnown = false;
        } else {
            break;
        }
        slice.push_back(L'\r');
    }
    return slice;
}

bool MailTextBox::appendNextSlice()
{
    if (m_next >= m_text.size() && m_length > 0) {
        KillTimer(m_owner, kAppendTimer);
        return false;
    }
    const std::wstring slice = nextSlice();
    // Appended at the end, leaving the user's selection and scroll position as they are.
    CHARRANGE selection {};
    POINT scroll {};
    SendMessageW(m_control, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    SendMessageW(m_control, EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&scroll));
    SendMessageW(m_control, WM_SETREDRAW, FALSE, 0);
    SendMessageW(m_control, EM_SETSEL, WPARAM(m_length), LPARAM(m_length));
    SendMessageW(m_control, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(slice.c_str()));
    SendMessageW(m_control, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    SendMessageW(m_control, EM_SETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&scroll));
    SendMessageW(m_control, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(m_control, nullptr, FALSE);
    m_length += LONG(slice.size());
    const bool more = m_next < m_text.size();
    if (!more) {
        m_text.clear();
        KillTimer(m_owner, kAppendTimer);
    }
    return more;
}

std::wstring MailTextBox::selectedText() const
{
    CHARRANGE selection {};
    SendMessageW(m_control, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    std::wstring text(std::size_t(selection.cpMax - selection.cpMin) + 1, L'\0');
    TEXTRANGEW range {selection, text.data()};
    text.resize(std::size_t(SendMessageW(m_control, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range))));
    std::wstring copied;
    auto blockBreak = std::lower_bound(m_blockBreaks.begin(), m_blockBreaks.end(), selection.cpMin);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const LONG at = selection.cpMin + LONG(i);
        if (blockBreak != m_blockBreaks.end() && *blockBreak == at) {
            ++blockBreak;
            continue;  // a break of the box's own, not of the mail
        }
        if (text[i] == L'\r')
            copied += L"\r\n";
        else
            copied.push_back(text[i]);
    }
    return copied;
}

void MailTextBox::copySelection() const
{
    putOnClipboard(m_owner, selectedText());
}

LRESULT CALLBACK MailTextBox::controlProcedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                               DWORD_PTR self)
{
    const auto *box = reinterpret_cast<const MailTextBox *>(self);
    const bool controlHeld = GetKeyState(VK_CONTROL) < 0;
    const bool copyKey = message == WM_KEYDOWN && controlHeld && (wParam == 'C' || wParam == VK_INSERT);
    if (message == WM_COPY || copyKey) {
        box->copySelection();
        return 0;
    }
    return DefSubclassProc(control, message, wParam, lParam);
}

}  // namespace venmarra::win32
