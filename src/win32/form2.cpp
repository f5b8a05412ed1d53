#include "win32/form2.h"

#include "ui/texts.h"
#include "win32/layout.h"
#include "win32/wide_text.h"

namespace venmarra::win32 {
namespace {

constexpr wchar_t kWindowClass[] = L"VenmarraForm2";

}  // namespace

Form2::Form2()
    : TopLevelWindow(ui::form2Design())
{
    create(kWindowClass, wide(texts::kViewerTitle));  // no owner: both windows are used freely
    // A plain multi-line box that wraps nothing itself (ES_AUTOHSCROLL, without a horizontal scroll
    // bar): MailTextBox gives it the mail in rows that fit, a slice at a time.
    m_text1 = createControl(L"EDIT", {},
                            WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL
                                | ES_WANTRETURN | ES_NOHIDESEL,
                            WS_EX_CLIENTEDGE, window(), controlId(ui::ControlId::Form2Text1));
    SendMessageW(m_text1, EM_SETLIMITTEXT, 0, 0);  // no limit
    m_box = std::make_unique<MailTextBox>(m_text1, window());
    layOut();
    sizeAndCentre();
}

Form2::~Form2()
{
    destroy();  // before the box whose control it subclasses goes
}

void Form2::layOut()
{
    SendMessageW(m_text1, WM_SETFONT, reinterpret_cast<WPARAM>(font()), TRUE);
    placeControl(m_text1, twips()(ui::designOf(ui::ControlId::Form2Text1).place));
    if (m_box)
        m_box->reflow();  // its rows were measured in the font of the DPI before
}

void Form2::setText1(std::string text)
{
    m_box->setText(std::move(text));
}

std::optional<LRESULT> Form2::handle(UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_TIMER && wParam == MailTextBox::kAppendTimer && m_box) {
        m_box->appendForATurn();
        return 0;
    }
    // The box is the window's whole content: the keys (Ctrl+A, Ctrl+C, the arrows) go to it at once.
    if (message == WM_ACTIVATE && LOWORD(wParam) != WA_INACTIVE && m_text1) {
        SetFocus(m_text1);
        return 0;
    }
    if (message == WM_NCDESTROY)
        m_text1 = nullptr;  // closed by the user: the next mail opens a new viewer
    return std::nullopt;
}

void MailViewer::show()
{
    if (!window())
        m_form2 = std::make_unique<Form2>();
    const HWND viewer = m_form2->window();
    if (IsIconic(viewer))
        return;  // the user put it away; it keeps the new mail until brought back
    // An open viewer comes to the front: the program is the foreground one, as the user has just
    // opened a mail in the main window. It is shown anew, in the same place: window managers
    // activate a window that is shown, while a request for the foreground alone reaches none under
    // Wine.
    if (IsWindowVisible(viewer))
        ShowWindow(viewer, SW_HIDE);
    ShowWindow(viewer, SW_SHOWNORMAL);
    SetForegroundWindow(viewer);
}

void MailViewer::setText(std::string text)
{
    if (Form2 *form2 = window())
        form2->setText1(std::move(text));
}

}  // namespace venmarra::win32
