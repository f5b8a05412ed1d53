#pragma once

#include "mailbox/main_window_view.h"
#include "mailbox/module1.h"
#include "mailbox/toolkit.h"
#include "service/exchange_rules.h"
#include "service/protocol.h"
#include "service/session_cookie.h"

#include <string>

namespace venmarra {

// The main window's state and the handlers of its events.
class MainWindowLogic final : public MainWindowEvents {
public:
    MainWindowLogic(MainWindowView &view, Toolkit &toolkit, ServiceAccess access,
                    ServiceSettings service = {});

    void Form_Load() override;
    void Form_Unload() override;
    void Command1_Click() override;
    void Command2_Click() override;
    void Command3_Click() override;
    void List1_DblClick() override;

    // One poll of the mailbox: the refresh request, its answer read into the window.
    void 获取最新邮件();

    // The wait between two polls: 1200 ms.
    static constexpr int kPollIntervalMs = 1200;
    // A click on 循环接收 inside a loop's wait starts a loop nested in that wait; past this depth a
    // click only restarts the running loops, so that a stuck mouse button cannot exhaust the stack.
    static constexpr int kMaxNestedLoops = 8;

    const std::u16string &MailboxName() const { return m_mailboxName; }
    // Nothing while no cookie has been learned; a learned "0" is a value like any other.
    const SessionCookie &SessionId() const { return m_sessionId; }

private:
    // The answer's text, in well-formed UTF-8.
    std::string HttpRequest(const std::u16string &method, const std::u16string &url,
                            const std::u16string &body);
    // Waits `ms` milliseconds while the window's events run; returns at once for 0 or less.
    void Delay(int ms);
    // Ends the program; when the toolkit returns (as a test's does), every handler unwinds
    // without another request or message.
    void endProgram();

    MainWindowView &m_view;
    Toolkit &m_toolkit;
    const ServiceAccess m_access;
    const ServiceSettings m_service;
    std::u16string m_mailboxName;
    std::u16string m_stopFlag = u"0";
    SessionCookie m_sessionId;
    int m_loopDepth = 0;
    bool m_programEnded = false;
    Module1 m_module1 {[this](const std::function<void()> &work) {
        m_toolkit.runInBackground(work);
    }};
};

}  // namespace venmarra
