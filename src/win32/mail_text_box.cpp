#include "win32/mail_text_box.h"

#include "win32/handles.h"
#include "win32/wide_text.h"

#include <commctrl.h>
#include <richedit.h>

#include <algorithm>
#include <cstring>

namespace venmarra::win32 {
namespace {

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

}  // namespace

MailTextBox::MailTextBox(HWND control, HWND owner)
    : m_control(control)
    , m_owner(owner)
{
    SetWindowSubclass(m_control, &MailTextBox::controlProcedure, 0, reinterpret_cast<DWORD_PTR>(this));
}

void MailTextBox::setText(std::u16string text)
{
    m_pending.emplace(std::move(text));
    m_length = 0;
    m_blockBreaks.clear();
    SetWindowTextW(m_control, L"");
    if (appendNextSlice())
        SetTimer(m_owner, kAppendTimer, 0, nullptr);
}

bool MailTextBox::appendNextSlice()
{
    if (!m_pending) {
        KillTimer(m_owner, kAppendTimer);
        return false;
    }
    const ui::ViewerText::Slice slice = m_pending->next(kSliceLength, u'\r');
    for (const std::size_t own : slice.ownBreaks)
        m_blockBreaks.push_back(m_length + LONG(own));
    // Appended at the end, leaving the user's selection and scroll position as they are.
    CHARRANGE selection {};
    POINT scroll {};
    SendMessageW(m_control, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    SendMessageW(m_control, EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&scroll));
    SendMessageW(m_control, WM_SETREDRAW, FALSE, 0);
    SendMessageW(m_control, EM_SETSEL, WPARAM(m_length), LPARAM(m_length));
    SendMessageW(m_control, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(wide(slice.text).c_str()));
    SendMessageW(m_control, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    SendMessageW(m_control, EM_SETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&scroll));
    SendMessageW(m_control, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(m_control, nullptr, FALSE);
    m_length += LONG(slice.text.size());
    if (!m_pending->atEnd())
        return true;
    m_pending.reset();
    KillTimer(m_owner, kAppendTimer);
    return false;
}

std::wstring MailTextBox::selectedText() const
{
    CHARRANGE selection {};
    SendMessageW(m_control, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    std::wstring text(std::size_t(selection.cpMax - selection.cpMin) + 1, L'\0');
    TEXTRANGEW range {selection, text.data()};
    text.resize(std::size_t(SendMessageW(m_control, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range))));
    std::vector<std::size_t> ownBreaks;  // those within the selection, from its start
    for (auto at = std::lower_bound(m_blockBreaks.begin(), m_blockBreaks.end(), selection.cpMin);
         at != m_blockBreaks.end() && *at < selection.cpMax; ++at)
        ownBreaks.push_back(std::size_t(*at - selection.cpMin));
    return wide(ui::mailTextOf(fromWide(text), u'\r', ownBreaks, u"\r\n"));
}

void MailTextBox::copySelection() const
{
    putOnClipboard(m_owner, selectedText());
}

LRESULT CALLBACK MailTextBox::controlProcedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                                               UINT_PTR, DWORD_PTR self)
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
