// Reads the running Windows program's windows from outside, as a screen reader or a test would:
// the texts of the main window's controls, of List1's lines and of the viewer, as UTF-8 lines:
// NAME<TAB>TEXT for each control, LIST<TAB>LINE, VIEWER<TAB>TEXT, FOCUS<TAB>NAME.
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
    const int size
        = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), int(line.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(std::size_t(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, line.c_str(), int(line.size()), bytes.data(), size, nullptr, nullptr);
    bytes += '\n';
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), DWORD(bytes.size()), &written, nullptr);
}

std::wstring textOf(HWND window)
{
    const LRESULT length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(std::size_t(length) + 1, L'\0');
    text.resize(std::size_t(SendMessageW(window, WM_GETTEXT, WPARAM(length + 1), LPARAM(text.data()))));
    for (wchar_t &c : text)
        if (c == L'\r' || c == L'\n' || c == L'\t')
            c = L' ';  // one line each
    return text;
}

int texts(HWND form1)
{
    GUITHREADINFO thread {};
    thread.cbSize = sizeof thread;
    GetGUIThreadInfo(GetWindowThreadProcessId(form1, nullptr), &thread);
    for (const venmarra::ui::ControlDesign &design : venmarra::ui::form1Design().controls) {
        const std::wstring name(design.name, design.name + std::char_traits<char>::length(design.name));
        const HWND control = controlNamed(form1, design.name);
        print(name + L"\t" + textOf(control));
        if (control == thread.hwndFocus)
            print(L"FOCUS\t" + name);
    }
    const HWND list1 = controlNamed(form1, "List1");
    const LRESULT count = SendMessageW(list1, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        std::wstring line(std::size_t(SendMessageW(list1, LB_GETTEXTLEN, WPARAM(i), 0)) + 1, L'\0');
        line.resize(std::size_t(SendMessageW(list1, LB_GETTEXT, WPARAM(i), LPARAM(line.data()))));
        print(L"LIST\t" + line);
    }
    if (const HWND form2 = FindWindowW(L"VenmarraForm2", nullptr))
        print(L"VIEWER\t" + textOf(GetDlgItem(form2, controlId(ControlId::Form2Text1))));
    return 0;
}

}  // namespace

int wmain()
{
    const HWND form1 = FindWindowW(L"VenmarraForm1", nullptr);
    return form1 ? texts(form1) : 2;
}
