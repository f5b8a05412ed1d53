#include "mailbox/main_window_logic.h"

#include "service/http_request.h"
#include "service/protocol.h"

namespace venmarra {

using Caption = MainWindowView::Caption;

MainWindowLogic::MainWindowLogic(MainWindowView &view, Toolkit &toolkit, ServiceSettings service)
    : m_view(view)
    , m_toolkit(toolkit)
    , m_service(std::move(service))
{
}

void MainWindowLogic::Form_Load()
{
    m_sessionId = QStringLiteral("0");
    m_stopFlag = QStringLiteral("0");
}

void MainWindowLogic::Form_Unload()
{
    endProgram();
}

void MainWindowLogic::endProgram()
{
    m_programEnded = true;
    m_toolkit.endProgram();
}

void MainWindowLogic::Command1_Click()
{
    if (m_programEnded)
        return;
    m_view.setCaption(Caption::Label4, QStringLiteral("获取最新的邮箱中."));
    const QString page = HttpRequest(QStringLiteral("GET"), m_service.baseUrl, QString());
    if (m_programEnded)
        return;
    m_mailboxName = cutMailboxName(page);
    m_view.setText1(m_mailboxName + QLatin1Char('@') + m_service.mailDomain);
    if (m_mailboxName.isEmpty()) {
        m_toolkit.messageBox(QStringLiteral("邮箱获取失败，请重新打开重试。"),
                             Toolkit::MessageIcon::None, QString());
        endProgram();
        return;
    }
    m_view.disableCommand1();
    m_view.setCaption(Caption::Label4, QStringLiteral("邮箱获取完成"));
}

void MainWindowLogic::Command2_Click() {}

void MainWindowLogic::Command3_Click() {}

void MainWindowLogic::List1_DblClick() {}

QString MainWindowLogic::HttpRequest(const QString &method, const QString &url, const QString &body)
{
    const ExchangeRequest request = buildExchangeRequest(method, url, body, m_sessionId);
    ExchangeResult exchange;
    m_toolkit.runInBackground([&] { exchange = performExchange(request, m_service.limits); });
    if (m_programEnded)
        return {};  // the window was closed while the exchange ran
    HttpRequestOutcome outcome = interpretExchange(exchange, m_sessionId);
    if (outcome.learnedSession)
        m_sessionId = *outcome.learnedSession;
    if (!outcome.message.isEmpty())
        m_toolkit.messageBox(outcome.message, Toolkit::MessageIcon::Information, kMessageBoxTitle);
    return outcome.result;
}

}  // namespace venmarra
