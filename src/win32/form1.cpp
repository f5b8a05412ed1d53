#include "win32/form1.h"

#include "mailbox/display_text.h"
#include "mailbox/texts.h"
#include "win32/layout.h"
#include "win32/wide_text.h"

#include <commctrl.h>

namespace venmarra::win32 {
namespace {

constexpr wchar_t kWindowClass[] = L"VenmarraForm1";
constexpr int kClientWidth = 8835, kClientHeight = 3420;

enum ControlId : int {
    kCommand1 = 101, kCommand2, kCommand3, kList1, kText1, kFrame1,
    kLabel1, kLabel2, kLabel3, kLabel4, kLabel5, kLabel6, kLabel7, kLine1, kLine2, kLine3,
};

std::wstring caption(const char16_t *text)
{
    return wide(texts::text(text));
}

// A static control for a caption: plain text ("&" is a character, not a mnemonic).
HWND labelControl(const wchar_t *text, HWND parent, int id, DWORD align = SS_LEFT)
{
    return createControl(L"STATIC", text, align | SS_NOPREFIX, 0, parent, id);
}

HWND buttonControl(const wchar_t *text, HWND parent, int id)
{
    return createControl(L"BUTTON", text, WS_TABSTOP | BS_PUSHBUTTON, 0, parent, id);
}

// A line shape: a one-pixel static control painted in the window-text colour (WM_DRAWITEM).
HWND lineControl(HWND parent, int id)
{
    return createControl(L"STATIC", {}, SS_OWNERDRAW, 0, parent, id);
}

void placeLine(HWND line, const Twips &twips, POINT from, POINT to)
{
    const int left = twips(from.x), top = twips(from.y);
    SetWindowPos(line, nullptr, left, top, twips(to.x) - left + 1, twips(to.y) - top + 1,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

// The frame's controls tell their parent, the group box, how to paint; the window answers for it.
LRESULT CALLBACK frameProcedure(HWND frame, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    if (message == WM_CTLCOLORSTATIC || message == WM_CTLCOLOREDIT || message == WM_COMMAND)
        return SendMessageW(GetParent(frame), message, wParam, lParam);
    return DefSubclassProc(frame, message, wParam, lParam);
}

}  // namespace

Form1::Form1()
{
    registerWindowClass(kWindowClass, &Form1::windowProcedure);
    // Fixed border; minimise button and close box, no maximise button.
    m_window = CreateWindowExW(0, kWindowClass, wide(texts::mainWindowCaption()).c_str(),
                               WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                               CW_USEDEFAULT, CW_USEDEFAULT, 0, 0, nullptr, nullptr, GetModuleHandleW(nullptr),
                               this);
    createControls();
    stackInTabOrder();
    layOut(GetDpiForWindow(m_window));
}

Form1::~Form1()
{
    if (m_window)
        DestroyWindow(m_window);
}

void Form1::createControls()
{
    m_command1 = buttonControl(caption(texts::kCommand1).c_str(), m_window, kCommand1);
    // The frame holds its controls; the system's dialog keys walk into it (WS_EX_CONTROLPARENT).
    m_frame1 = createControl(L"BUTTON", caption(texts::kFrame1), BS_GROUPBOX, WS_EX_CONTROLPARENT, m_window,
                             kFrame1);
    SetWindowSubclass(m_frame1, &frameProcedure, 0, 0);
    m_label1 = labelControl(caption(texts::kLabel1).c_str(), m_frame1, kLabel1);
    m_text1 = createControl(L"EDIT", {}, WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, m_frame1, kText1);
    SendMessageW(m_text1, EM_SETLIMITTEXT, 0, 0);  // a name of any length keeps its domain
    m_label5 = labelControl(caption(texts::kLabel5).c_str(), m_frame1, kLabel5);
    m_label6 = labelControl(caption(texts::kLabel6).c_str(), m_frame1, kLabel6);
    m_label2 = labelControl(caption(texts::kLabel2).c_str(), m_frame1, kLabel2);
    m_label3 = labelControl(caption(texts::kLabel3).c_str(), m_frame1, kLabel3);
    m_command2 = buttonControl(caption(texts::kCommand2).c_str(), m_window, kCommand2);
    // The list's window text, which it never shows, names it for screen readers that read no label.
    m_list1 = createControl(L"LISTBOX", caption(texts::kLabel7),
                            WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, WS_EX_CLIENTEDGE, m_window,
                            kList1);
    m_command3 = buttonControl(caption(texts::kCommand3).c_str(), m_window, kCommand3);
    m_line1 = lineControl(m_window, kLine1);
    m_line2 = lineControl(m_window, kLine2);
    m_line3 = lineControl(m_window, kLine3);
    m_label7 = labelControl(caption(texts::kLabel7).c_str(), m_window, kLabel7, SS_CENTER);
    m_label4 = labelControl(L"", m_window, kLabel4);
}

// The system walks the dialog keys in stacking order, so the controls are stacked in tab order:
// 生成邮箱, the frame (its label before 临时邮箱名's box), 循环接收, the list, 停止. A screen reader
// names a box by the label just before it, so 双击读取邮件 comes right before the list, under the
// lines that cross it.
void Form1::stackInTabOrder()
{
    HWND after = HWND_TOP;
    for (HWND control : {m_command1, m_frame1, m_command2, m_line1, m_line2, m_line3, m_label7, m_list1,
                         m_command3, m_label4}) {
        SetWindowPos(control, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        after = control;
    }
    after = HWND_TOP;
    for (HWND control : {m_label1, m_text1, m_label5, m_label6, m_label2, m_label3}) {
        SetWindowPos(control, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        after = control;
    }
}

void Form1::layOut(UINT dpi)
{
    m_font = messageFont(dpi);
    m_twips.emplace(m_window, m_font.get(), dpi);
    const Twips &twips = *m_twips;
    const auto font = reinterpret_cast<WPARAM>(m_font.get());
    for (HWND control : {m_command1, m_frame1, m_label1, m_text1, m_label5, m_label6, m_label2, m_label3,
                         m_command2, m_list1, m_command3, m_label7, m_label4})
        SendMessageW(control, WM_SETFONT, font, TRUE);
    placeInTwips(m_command1, twips, 120, 2520, 1455, 495);
    placeInTwips(m_frame1, twips, 120, 240, 3735, 2175);
    placeInTwips(m_text1, twips, 1200, 240, 2415, 375);
    placeInTwips(m_command2, twips, 1680, 2520, 1455, 495);
    placeInTwips(m_list1, twips, 3960, 600, 4815, 2760);
    placeInTwips(m_command3, twips, 3240, 2520, 615, 495);
    // The heading reaches a pixel into the list, which lies over it: it ends where the list begins.
    SetWindowPos(m_label7, nullptr, twips(3960), twips(360), twips(4815), twips(600) - twips(360),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    placeLine(m_line1, twips, {3960, 240}, {3960, 600});
    placeLine(m_line2, twips, {3960, 240}, {8760, 240});
    placeLine(m_line3, twips, {8760, 240}, {8760, 600});
    const std::pair<HWND, POINT> labels[] = {{m_label1, {120, 360}}, {m_label5, {120, 720}},
                                             {m_label6, {120, 1080}}, {m_label2, {120, 1440}},
                                             {m_label3, {120, 1800}}, {m_label4, {120, 3120}}};
    for (const auto &[control, place] : labels) {
        SetWindowPos(control, nullptr, twips(place.x), twips(place.y), 0, 0, SWP_NOZORDER | SWP_NOSIZE | SWP_NOACTIVATE);
        const int length = GetWindowTextLengthW(control);
        std::wstring text(std::size_t(length) + 1, L'\0');
        text.resize(std::size_t(GetWindowTextW(control, text.data(), length + 1)));
        fitLabel(control, text);
    }
}

void Form1::fitLabel(HWND label, const std::wstring &text)
{
    SetWindowTextW(label, text.c_str());
    const SIZE size = textExtent(label, m_font.get(), text);
    int width = size.cx;
    if (GetParent(label) == m_frame1) {  // clipped at the frame's inner edge
        RECT frame {}, place {};
        GetClientRect(m_frame1, &frame);
        GetWindowRect(label, &place);
        MapWindowPoints(HWND_DESKTOP, m_frame1, reinterpret_cast<POINT *>(&place), 2);
        width = std::min(width, std::max(0, int(frame.right) - GetSystemMetrics(SM_CXEDGE) - int(place.left)));
    }
    SetWindowPos(label, nullptr, 0, 0, width, size.cy, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
    InvalidateRect(label, nullptr, TRUE);
}

void Form1::show()
{
    sizeAndCentre(m_window, *m_twips, kClientWidth, kClientHeight);
    ShowWindow(m_window, SW_SHOWNORMAL);
    SetFocus(m_command1);
    UpdateWindow(m_window);
}

HWND Form1::label(Caption control) const
{
    switch (control) {
    case Caption::Label2: return m_label2;
    case Caption::Label3: return m_label3;
    case Caption::Label4: return m_label4;
    case Caption::Label5: return m_label5;
    case Caption::Label6: return m_label6;
    case Caption::Command2: break;
    }
    return nullptr;
}

void Form1::setCaption(Caption control, const std::u16string &text)
{
    if (control == Caption::Command2) {
        SetWindowTextW(m_command2, wide(text).c_str());
        return;
    }
    fitLabel(label(control), wide(displayLine(text)));
    UpdateWindow(label(control));  // the status line shows its text at once, before an exchange
}

void Form1::setText1(const std::u16string &text)
{
    SetWindowTextW(m_text1, wide(text).c_str());
    SendMessageW(m_text1, EM_SETSEL, 0, 0);  // show the address from its first character
    SendMessageW(m_text1, EM_SCROLLCARET, 0, 0);
}

void Form1::disableCommand1()
{
    // The focus moves on to the next step, 循环接收, rather than to nowhere.
    if (GetFocus() == m_command1)
        SetFocus(m_command2);
    EnableWindow(m_command1, FALSE);
}

void Form1::appendListItem(const MailLine &mail)
{
    // The fields as inert text. (Directional isolates around them, as the Linux list has, are drawn
    // as boxes by list boxes that do not shape text.)
    const std::u16string shown = displayLine(mail.from + u'|' + mail.subject + u'|' + mail.mailId);
    SendMessageW(m_list1, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(shown).c_str()));
    m_lines.push_back(mail);
}

int Form1::selectedListIndex() const
{
    const LRESULT index = SendMessageW(m_list1, LB_GETCURSEL, 0, 0);
    return index == LB_ERR ? -1 : int(index);
}

std::u16string Form1::listItemMailId(int index) const
{
    return index >= 0 && std::size_t(index) < m_lines.size() ? m_lines[std::size_t(index)].mailId : std::u16string();
}

std::u16string Form1::listItemText(int index) const
{
    return index >= 0 && std::size_t(index) < m_lines.size() ? m_lines[std::size_t(index)].text() : std::u16string();
}

void Form1::showMailViewer(const std::u16string &content)
{
    m_viewer.show();
    m_viewer.setText(content);
}

void Form1::onCommand(int id, int notification)
{
    if (!m_events)
        return;
    if (id == kCommand1 && notification == BN_CLICKED)
        m_events->Command1_Click();
    else if (id == kCommand2 && notification == BN_CLICKED)
        m_events->Command2_Click();
    else if (id == kCommand3 && notification == BN_CLICKED)
        m_events->Command3_Click();
    else if (id == kList1 && notification == LBN_DBLCLK)
        m_events->List1_DblClick();
}

LRESULT Form1::handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND: onCommand(LOWORD(wParam), HIWORD(wParam)); return 0;
    case WM_DRAWITEM: {
        const auto *item = reinterpret_cast<const DRAWITEMSTRUCT *>(lParam);
        FillRect(item->hDC, &item->rcItem, GetSysColorBrush(COLOR_WINDOWTEXT));
        return TRUE;
    }
    case WM_CLOSE:
        if (m_events)
            m_events->Form_Unload();
        else
            DestroyWindow(m_window);
        return 0;
    case WM_DPICHANGED: {
        const UINT dpi = HIWORD(wParam);
        layOut(dpi);
        moveToNewDpi(m_window, *m_twips, kClientWidth, kClientHeight, dpi, *reinterpret_cast<const RECT *>(lParam));
        return 0;
    }
    case WM_NCDESTROY: m_window = nullptr; break;
    default: break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK Form1::windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto *self = static_cast<Form1 *>(reinterpret_cast<CREATESTRUCTW *>(lParam)->lpCreateParams);
        self->m_window = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto *self = reinterpret_cast<Form1 *>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self)
        return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY)
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    return self->handle(window, message, wParam, lParam);
}

}  // namespace venmarra::win32
