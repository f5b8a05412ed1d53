// Reads the running Windows program's windows from outside, as a screen reader or a test would:
// the texts of the main window's controls, of List1's lines and of the viewer, as UTF-8 lines:
// NAME<TAB>TEXT for each control, LIST<TAB>LINE, VIEWER<TAB>TEXT (without the line breaks that end
// it), CARET<TAB>OFFSET of the viewer's box, FOCUS<TAB>NAME, each on one line, a line break written \n and a
// tab \t. With --listen, it hooks the program's WinEvents as a screen reader does and prints, as
// they come, until it is ended: ALERT<TAB>TEXT for each alert (the text of the object raising it)
// and LINE<TAB>TEXT for each line of List1 that takes the focus.
#include "ui/layout.h"
#include "win32/layout.h"

#include <windows.h>

#include <algorithm>
#include <string>

namespace {

using venmarra::ui::ControlId;
using venmarra::win32::controlId;

// The control of the main window's design named `name` ("Command1"), inside the frame or not.
HWND controlNamed(HWND form1, const std::string &name)
{
    const auto &controls = venmarra::ui::form1Design().controls;
    const auto design = std::ranges::find(controls, name, &venmarra::ui::ControlDesign::name);
    if (design == controls.end())
        return nullptr;
    const HWND parent = design->container ? GetDlgItem(form1, controlId(*design->container)) : form1;
    return GetDlgItem(parent, controlId(design->id));
}

void print(const std::wstring &line)
{
    const int size = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), bytes.data(), size, nullptr,
                        nullptr);
    bytes += '\n';
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
              nullptr);
}

std::wstring textOf(HWND window)
{
    const LRESULT length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(
        static_cast<std::size_t>(SendMessageW(window, WM_GETTEXT, WPARAM(length + 1), LPARAM(text.data()))));
    std::wstring line;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] == L'\r' || text[at] == L'\n') {
            line += L"\\n";
            if (text[at] == L'\r' && at + 1 < text.size() && text[at + 1] == L'\n')
                ++at;  // one line break
        } else {
            line += text[at] == L'\t' ? std::wstring(L"\\t") : std::wstring(1, text[at]);
        }
    }
    return line;
}

std::wstring listLine(HWND list1, LRESULT index)
{
    std::wstring line(static_cast<std::size_t>(SendMessageW(list1, LB_GETTEXTLEN, WPARAM(index), 0)) + 1,
                      L'\0');
    line.resize(
        static_cast<std::size_t>(SendMessageW(list1, LB_GETTEXT, WPARAM(index), LPARAM(line.data()))));
    return line;
}

void CALLBACK heard(HWINEVENTHOOK, DWORD event, HWND window, LONG, LONG child, DWORD, DWORD)
{
    if (event == EVENT_SYSTEM_ALERT)
        print(L"ALERT\t" + textOf(window));
    else if (event == EVENT_OBJECT_FOCUS && GetDlgCtrlID(window) == controlId(ControlId::List1) && child > 0)
        print(L"LINE\t" + listLine(window, child - 1));
}

int listen(HWND form1)
{
    DWORD process = 0;
    GetWindowThreadProcessId(form1, &process);
    const HWINEVENTHOOK alerts = SetWinEventHook(EVENT_SYSTEM_ALERT, EVENT_SYSTEM_ALERT, nullptr, &heard,
                                                 process, 0, WINEVENT_OUTOFCONTEXT);
    const HWINEVENTHOOK focus = SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_FOCUS, nullptr, &heard,
                                                process, 0, WINEVENT_OUTOFCONTEXT);
    if (!alerts || !focus)
        return 3;
    print(L"LISTENING");
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
        DispatchMessageW(&message);
    UnhookWinEvent(focus);
    UnhookWinEvent(alerts);
    return 0;
}

int texts(HWND form1)
{
    GUITHREADINFO thread {};
    thread.cbSize = sizeof thread;
    GetGUIThreadInfo(GetWindowThreadProcessId(form1, nullptr), &thread);
    for (const venmarra::ui::ControlDesign &design : venmarra::ui::form1Design().controls) {
        const std::wstring name(design.name, design.name + std::char_traits<char>::length(design.name));
        const HWND control = controlNamed(form1, design.name);
        if (!control)
            continue;  // a line, drawn on the window
        print(name + L"\t" + textOf(control));
        if (control == thread.hwndFocus)
            print(L"FOCUS\t" + name);
    }
    const HWND list1 = controlNamed(form1, "List1");
    const LRESULT count = SendMessageW(list1, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i)
        print(L"LIST\t" + listLine(list1, i));
    if (const HWND form2 = FindWindowW(L"VenmarraForm2", nullptr)) {
        const HWND box = GetDlgItem(form2, controlId(ControlId::Form2Text1));
        std::wstring text = textOf(box);
        while (text.ends_with(L"\\n"))
            text.resize(text.size() - 2);
        print(L"VIEWER\t" + text);
        DWORD caret = 0;
        SendMessageW(box, EM_GETSEL, reinterpret_cast<WPARAM>(&caret), 0);
        print(L"CARET\t" + std::to_wstring(caret));
    }
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t *argv[])
{
    const HWND form1 = FindWindowW(L"VenmarraForm1", nullptr);
    if (!form1)
        return 2;
    return argc > 1 && std::wstring(argv[1]) == L"--listen" ? listen(form1) : texts(form1);
}
