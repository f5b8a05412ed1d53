#include "win32/form2.h"

#include "mailbox/texts.h"
#include "win32/layout.h"
#include "win32/wide_text.h"

#include <richedit.h>

namespace venmarra::win32 {
namespace {

constexpr wchar_t kWindowClass[] = L"VenmarraForm2";

}  // namespace

Form2::Form2()
{
    registerWindowClass(kWindowClass, &Form2::windowProcedure);
    // Fixed border, close box only; no owner, so that both windows are used freely.
    m_window = CreateWindowExW(0, kWindowClass, wide(texts::kViewerTitle).c_str(),
                               WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, CW_USEDEFAULT,
                               CW_USEDEFAULT, 0, 0, nullptr, nullptr, GetModuleHandleW(nullptr), this);
    // A rich edit box in plain-text mode, filled a slice at a time (MailTextBox): a plain EDIT
    // lays out a megabyte-long line very slowly, and so does a rich edit box given it at once.
    m_text1 = createControl(MSFTEDIT_CLASS, {},
                            WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN
                                | ES_DISABLENOSCROLL | ES_NOHIDESEL,
                            WS_EX_CLIENTEDGE, m_window, controlId(ui::ControlId::Form2Text1));
    SendMessageW(m_text1, EM_SETTEXTMODE, TM_PLAINTEXT | TM_MULTILEVELUNDO | TM_MULTICODEPAGE, 0);
    SendMessageW(m_text1, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);  // no length limit
    m_box = std::make_unique<MailTextBox>(m_text1, m_window);
    layOut(GetDpiForWindow(m_window));
    sizeAndCentre(m_window, *m_twips, ui::form2Design());
}

Form2::~Form2()
{
    if (m_window)
        DestroyWindow(m_window);
}

void Form2::layOut(UINT dpi)
{
    m_font = messageFont(dpi);
    SendMessageW(m_text1, WM_SETFONT, reinterpret_cast<WPARAM>(m_font.get()), TRUE);
    m_twips = fontTwips(m_window, m_font.get(), dpi);
    placeControl(m_text1, (*m_twips)(ui::designOf(ui::ControlId::Form2Text1).place));
}

void Form2::setText1(const std::u16string &text)
{
    m_box->setText(text);
}

LRESULT CALLBACK Form2::windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE)
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW *>(lParam)->lpCreateParams));
    auto *self = reinterpret_cast<Form2 *>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self && message == WM_DPICHANGED) {
        const UINT dpi = HIWORD(wParam);
        self->layOut(dpi);
        moveToNewDpi(window, *self->m_twips, ui::form2Design(), dpi, *reinterpret_cast<const RECT *>(lParam));
        return 0;
    }
    if (self && message == WM_TIMER && wParam == MailTextBox::kAppendTimer && self->m_box) {
        self->m_box->appendNextSlice();
        return 0;
    }
    if (self && message == WM_NCDESTROY) {
        self->m_window = nullptr;  // closed by the user: the next mail opens a new viewer
        self->m_text1 = nullptr;
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void MailViewer::show()
{
    if (!window())
        m_form2 = std::make_unique<Form2>();
    ShowWindow(m_form2->window(), SW_SHOWNORMAL);
}

void MailViewer::setText(const std::u16string &text)
{
    if (Form2 *form2 = window())
        form2->setText1(text);
}

}  // namespace venmarra::win32
