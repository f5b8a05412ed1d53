#include "mailbox/main_window_logic.h"
#include "win32/codepage_decoder.h"
#include "win32/form1.h"
#include "win32/win32_toolkit.h"
#include "win32/winhttp_exchange.h"

#include <windows.h>

#include <commctrl.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    using namespace venmarra;
    INITCOMMONCONTROLSEX controls {sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    win32::Win32Toolkit toolkit;
    win32::WinHttpExchange exchange;
    const win32::CodePageDecoder charsets;
    win32::Form1 form1;
    MainWindowLogic logic(form1, toolkit, ServiceAccess {exchange, charsets});
    form1.attach(&logic);
    logic.Form_Load();
    form1.show();
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
        win32::dispatchMessage(message);
    return 0;
}
