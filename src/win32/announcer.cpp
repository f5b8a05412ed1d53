#include "win32/announcer.h"

#include "win32/layout.h"

#include <oleauto.h>

namespace venmarra::win32 {
namespace {

// UI Automation's NotificationKind_Other and NotificationProcessing_ImportantAll: news that is
// said whole, after what is being said.
constexpr int kNotificationOther = 4;
constexpr int kProcessingImportantAll = 0;
constexpr int kAnnouncerId = 0x7F00;  // no control of the design's has it

template <typename Function>
Function lookUp(HMODULE library, const char *name)
{
    // The documented way to take a function that this Windows may not have.
    return library ? reinterpret_cast<Function>(reinterpret_cast<void *>(GetProcAddress(library, name)))
                   : nullptr;
}

}  // namespace

Announcer::Announcer(HWND window)
    : m_window(window)
    , m_control(createControl(L"STATIC", L"", SS_LEFT | SS_NOPREFIX, 0, window, kAnnouncerId))
    , m_automation(LoadLibraryExW(L"UIAutomationCore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32))
    , m_hostProvider(lookUp<HostProvider>(m_automation.get(), "UiaHostProviderFromHwnd"))
    , m_raiseNotification(lookUp<RaiseNotification>(m_automation.get(), "UiaRaiseNotificationEvent"))
{
    SetWindowPos(m_control, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOACTIVATE);
}

void Announcer::announce(const std::wstring &text)
{
    SetWindowTextW(m_control, text.c_str());
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, m_control, OBJID_WINDOW, CHILDID_SELF);
    NotifyWinEvent(EVENT_SYSTEM_ALERT, m_control, OBJID_WINDOW, CHILDID_SELF);
    notifyAutomation(text);
}

void Announcer::notifyAutomation(const std::wstring &text) const
{
    if (!m_hostProvider || !m_raiseNotification)
        return;
    IUnknown *provider = nullptr;
    if (FAILED(m_hostProvider(m_window, &provider)) || !provider)
        return;
    const ComReference owned(provider);
    const BstrText said(SysAllocString(text.c_str()));
    const BstrText activity(SysAllocString(L"Venmarra"));
    m_raiseNotification(provider, kNotificationOther, kProcessingImportantAll, said.get(), activity.get());
}

}  // namespace venmarra::win32
