#include "win32/form1.h"

#include "ui/texts.h"
#include "win32/layout.h"
#include "win32/wide_text.h"

#include <commctrl.h>

namespace venmarra::win32 {
namespace {

using ui::ControlId;
using ui::ControlKind;

constexpr wchar_t kWindowClass[] = L"VenmarraForm1";

// The frame's controls tell their parent, the group box, how to paint; the window answers for it.
LRESULT CALLBACK frameProcedure(HWND frame, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    if (message == WM_CTLCOLORSTATIC || message == WM_CTLCOLOREDIT || message == WM_COMMAND)
        return SendMessageW(GetParent(frame), message, wParam, lParam);
    return DefSubclassProc(frame, message, wParam, lParam);
}

}  // namespace

Form1::Form1()
    : TopLevelWindow(ui::form1Design())
{
    create(kWindowClass, wide(texts::mainWindowCaption()));
    for (const ui::ControlDesign &design : ui::form1Design().controls)  // the frame comes before its own
        m_controls[static_cast<std::size_t>(design.id)] = createControl(design);
    SetWindowSubclass(control(ControlId::Frame1), &frameProcedure, 0, 0);
    SendMessageW(control(ControlId::Text1), EM_SETLIMITTEXT, 0, 0);  // a name of any length keeps its domain
    stackInTabOrder();
    m_announcer.emplace(window());
    layOut();
}

Form1::~Form1()
{
    destroy();  // while the controls' owner is whole
}

HWND Form1::createControl(const ui::ControlDesign &design)
{
    const HWND parent = design.container ? control(*design.container) : window();
    const int id = controlId(design.id);
    const std::wstring text = wide(design.caption);
    switch (design.kind) {
    case ControlKind::CommandButton:
        return win32::createControl(L"BUTTON", text, WS_TABSTOP | BS_PUSHBUTTON, 0, parent, id);
    case ControlKind::Frame:  // the system's dialog keys walk into it (WS_EX_CONTROLPARENT)
        return win32::createControl(L"BUTTON", text, BS_GROUPBOX, WS_EX_CONTROLPARENT, parent, id);
    case ControlKind::TextBox:
        return win32::createControl(L"EDIT", text, WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, parent, id);
    case ControlKind::ListBox:
        // Its window text, which it never shows, names it for screen readers that read no label.
        return win32::createControl(L"LISTBOX", wide(ui::accessibleName(design.id)),
                                    WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                                    WS_EX_CLIENTEDGE, parent, id);
    case ControlKind::AutoSizeLabel:  // plain text: "&" is a character, not a mnemonic
        return win32::createControl(L"STATIC", text, SS_LEFT | SS_NOPREFIX, 0, parent, id);
    case ControlKind::CentredLabel:
        return win32::createControl(L"STATIC", text, SS_CENTER | SS_NOPREFIX, 0, parent, id);
    case ControlKind::Line:  // drawn on the window (paint): no control that a screen reader would find
    case ControlKind::MailTextBox: break;  // the viewer's
    }
    return nullptr;
}

// The system walks the dialog keys in stacking order, and a screen reader names a box by the
// label just before it: the design's stacking order gives both.
void Form1::stackInTabOrder()
{
    for (const std::optional<ControlId> container :
         {std::optional<ControlId>(), std::optional(ControlId::Frame1)}) {
        HWND after = HWND_TOP;
        for (const ControlId id : ui::form1StackingOrder(container)) {
            if (!control(id))
                continue;  // a line
            SetWindowPos(control(id), after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            after = control(id);
        }
    }
}

void Form1::layOut()
{
    for (const ui::ControlDesign &design : ui::form1Design().controls) {
        if (design.kind == ControlKind::Line)
            continue;  // drawn by paint()
        SendMessageW(control(design.id), WM_SETFONT, reinterpret_cast<WPARAM>(font()), TRUE);
        place(design);
    }
    InvalidateRect(window(), nullptr, TRUE);
}

void Form1::paint()
{
    PAINTSTRUCT paint {};
    const HDC context = BeginPaint(window(), &paint);
    for (const ui::ControlDesign &design : ui::form1Design().controls) {
        if (design.kind != ControlKind::Line)
            continue;
        const ui::PixelRect line = twips().lineBox(design.place);
        const RECT box {line.left, line.top, line.left + line.width, line.top + line.height};
        FillRect(context, &box, GetSysColorBrush(COLOR_WINDOWTEXT));
    }
    EndPaint(window(), &paint);
}

void Form1::place(const ui::ControlDesign &design)
{
    const ui::TwipScale &twips = this->twips();
    const HWND handle = control(design.id);
    ui::PixelRect pixels = twips(design.place);
    switch (design.kind) {
    case ControlKind::CentredLabel:
        // The heading reaches a pixel into the list, which lies over it: it ends where the list begins.
        pixels.height = twips(ui::designOf(ControlId::List1).place.top) - pixels.top;
        break;
    case ControlKind::AutoSizeLabel: {
        SetWindowPos(handle, nullptr, pixels.left, pixels.top, 0, 0,
                     SWP_NOZORDER | SWP_NOSIZE | SWP_NOACTIVATE);
        const int length = GetWindowTextLengthW(handle);
        std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
        text.resize(static_cast<std::size_t>(GetWindowTextW(handle, text.data(), length + 1)));
        fitLabel(handle, text);
        return;
    }
    default: break;
    }
    placeControl(handle, pixels);
}

void Form1::fitLabel(HWND label, const std::wstring &text)
{
    SetWindowTextW(label, text.c_str());
    const SIZE size = textExtent(label, font(), text);
    int width = size.cx;
    const HWND frame1 = control(ControlId::Frame1);
    if (GetParent(label) == frame1) {  // clipped at the frame's inner edge
        RECT frame {}, place {};
        GetClientRect(frame1, &frame);
        GetWindowRect(label, &place);
        MapWindowPoints(HWND_DESKTOP, frame1, reinterpret_cast<POINT *>(&place), 2);
        width = std::min(width,
                         std::max(0,
                                  static_cast<int>(frame.right) - GetSystemMetrics(SM_CXEDGE)
                                      - static_cast<int>(place.left)));
    }
    SetWindowPos(label, nullptr, 0, 0, width, size.cy, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
    InvalidateRect(label, nullptr, TRUE);
}

void Form1::show()
{
    sizeAndCentre();
    ShowWindow(window(), SW_SHOWNORMAL);
    SetFocus(control(ControlId::Command1));
    UpdateWindow(window());
}

void Form1::setCaption(Caption id, const std::u16string &text)
{
    if (id == ControlId::Command2) {
        SetWindowTextW(control(id), wide(text).c_str());
        return;
    }
    fitLabel(control(id), wide(text));
    UpdateWindow(control(id));  // the status line shows its text at once, before an exchange
}

void Form1::setText1(const std::u16string &text)
{
    const HWND text1 = control(ControlId::Text1);
    SetWindowTextW(text1, wide(text).c_str());
    SendMessageW(text1, EM_SETSEL, 0, 0);  // show the address from its first character
    SendMessageW(text1, EM_SCROLLCARET, 0, 0);
}

void Form1::disableCommand1()
{
    // The focus moves on to the next step, 循环接收, rather than to nowhere.
    if (GetFocus() == control(ControlId::Command1))
        SetFocus(control(ControlId::Command2));
    EnableWindow(control(ControlId::Command1), FALSE);
}

void Form1::appendListItem(const ui::MailLine &line, const std::u16string &)
{
    // Without isolates around the fields: list boxes that do not shape text draw them as boxes.
    SendMessageW(control(ControlId::List1), LB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(wide(line.joined(false)).c_str()));
}

int Form1::selectedListIndex() const
{
    const LRESULT index = SendMessageW(control(ControlId::List1), LB_GETCURSEL, 0, 0);
    return index == LB_ERR ? -1 : static_cast<int>(index);
}

void Form1::showMailViewer(std::string content)
{
    m_viewer.show();
    m_viewer.setText(std::move(content));
}

void Form1::askForAttention()
{
    if (GetForegroundWindow() == window())
        return;
    // The taskbar button flashes until the user brings the window to the foreground.
    FLASHWINFO flash {sizeof flash, window(), FLASHW_TRAY | FLASHW_TIMERNOFG, 0, 0};
    FlashWindowEx(&flash);
}

void Form1::announce(const std::u16string &text)
{
    m_announcer->announce(wide(text));
}

void Form1::onCommand(int id, int notification)
{
    if (!m_events)
        return;
    if (id == IDOK) {  // Enter, which the dialog keys turn into IDOK: it acts on the focused control
        onEnter();
        return;
    }
    if (id == controlId(ControlId::Command1) && notification == BN_CLICKED)
        m_events->Command1_Click();
    else if (id == controlId(ControlId::Command2) && notification == BN_CLICKED)
        m_events->Command2_Click();
    else if (id == controlId(ControlId::Command3) && notification == BN_CLICKED)
        m_events->Command3_Click();
    else if (id == controlId(ControlId::List1) && notification == LBN_DBLCLK)
        m_events->List1_DblClick();
    else if (id == controlId(ControlId::List1) && notification == LBN_SETFOCUS)
        sayLineToOpen();
}

void Form1::onEnter()
{
    const HWND focus = GetFocus();
    if (focus == control(ControlId::List1)) {
        openMarkedLine();
        return;
    }
    // A focused button is pressed, as Space presses it, however the focus came to it: the dialog
    // keys take only a button that Tab reached for the default one.
    for (const ControlId button : {ControlId::Command1, ControlId::Command2, ControlId::Command3})
        if (focus == control(button))
            onCommand(controlId(button), BN_CLICKED);
}

void Form1::onActivate(WPARAM wParam)
{
    // As a dialog does: the control that had the focus has it again when the window is active
    // again, after the viewer or a message box; the first that takes it when none had.
    if (LOWORD(wParam) == WA_INACTIVE) {
        const HWND focus = GetFocus();
        if (focus && IsChild(window(), focus))
            m_lastFocus = focus;
        return;
    }
    if (HIWORD(wParam))  // minimised
        return;
    const bool usable = m_lastFocus && IsWindowEnabled(m_lastFocus) && IsWindowVisible(m_lastFocus);
    SetFocus(usable ? m_lastFocus : GetNextDlgTabItem(window(), nullptr, FALSE));
}

void Form1::markLineToOpen()
{
    const HWND list1 = control(ControlId::List1);
    if (SendMessageW(list1, LB_GETCURSEL, 0, 0) == LB_ERR && SendMessageW(list1, LB_GETCOUNT, 0, 0) > 0)
        SendMessageW(list1, LB_SETCURSEL, static_cast<WPARAM>(SendMessageW(list1, LB_GETCARETINDEX, 0, 0)),
                     0);
}

void Form1::sayLineToOpen()
{
    // However the list got the focus. A screen reader says the line that has the focus; Wine's
    // list raises no focus for its line, Windows' list does, and a second one changes nothing.
    markLineToOpen();
    const HWND list1 = control(ControlId::List1);
    if (const LRESULT marked = SendMessageW(list1, LB_GETCURSEL, 0, 0); marked != LB_ERR)
        NotifyWinEvent(EVENT_OBJECT_FOCUS, list1, OBJID_CLIENT, static_cast<LONG>(marked) + 1);
}

void Form1::openMarkedLine()
{
    markLineToOpen();  // the line that the keyboard marks is the one meant
    m_events->List1_DblClick();
}

std::optional<LRESULT> Form1::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND: onCommand(LOWORD(wParam), HIWORD(wParam)); return 0;
    case WM_ACTIVATE: onActivate(wParam); return 0;
    case WM_PAINT: paint(); return 0;
    case WM_CTLCOLORSTATIC:
        // The heading lets the lines that frame it show through.
        if (reinterpret_cast<HWND>(lParam) != control(ControlId::Label7))
            return std::nullopt;
        SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
        return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    case WM_CLOSE:
        if (m_events)
            m_events->Form_Unload();
        else
            destroy();
        return 0;
    default: return std::nullopt;
    }
}

}  // namespace venmarra::win32
