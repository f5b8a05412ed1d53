#pragma once

#include "mailbox/main_window_view.h"
#include "mailbox/toolkit.h"
#include "service/protocol.h"

#include <QString>

namespace venmarra {

// The main window's state and the handlers of its events.
class MainWindowLogic final : public MainWindowEvents {
public:
    MainWindowLogic(MainWindowView &view, Toolkit &toolkit, ServiceSettings service = {});

    void Form_Load() override;
    void Form_Unload() override;
    void Command1_Click() override;
    void Command2_Click() override;
    void Command3_Click() override;
    void List1_DblClick() override;

    const QString &MailboxName() const { return m_mailboxName; }
    const QString &StopFlag() const { return m_stopFlag; }
    const QString &SessionId() const { return m_sessionId; }

private:
    QString HttpRequest(const QString &method, const QString &url, const QString &body);
    // Ends the program; when the toolkit returns (as a test's does), every handler unwinds
    // without another request or message.
    void endProgram();

    MainWindowView &m_view;
    Toolkit &m_toolkit;
    const ServiceSettings m_service;
    QString m_mailboxName;
    QString m_stopFlag = QStringLiteral("0");
    QString m_sessionId = QStringLiteral("0");
    bool m_programEnded = false;
};

}  // namespace venmarra
