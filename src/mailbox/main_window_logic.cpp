#include "mailbox/main_window_logic.h"

#include "service/exchange_rules.h"
#include "service/protocol.h"
#include "text/utf.h"
#include "ui/texts.h"

#include <algorithm>

namespace venmarra {
namespace {

using Caption = MainWindowView::Caption;

std::u16string_view failurePhrase(ExchangeFailure failure)
{
    switch (failure) {
    case ExchangeFailure::CannotStart: return texts::kCannotStart;
    case ExchangeFailure::Resolve: return texts::kCannotResolve;
    case ExchangeFailure::Connect: return texts::kCannotConnect;
    case ExchangeFailure::Timeout: return texts::kTimedOut;
    case ExchangeFailure::TooLarge: return texts::kTooLarge;
    case ExchangeFailure::NotHttp: return texts::kNotHttp;
    case ExchangeFailure::Other:
    case ExchangeFailure::None: break;
    }
    return texts::kTransferFailed;
}

// The text of the "提示" box for a problem: "Http错误代码:" and the status, or "错误原因:" and a
// short reason followed by the client's own words.
std::u16string problemMessage(const ExchangeProblem &problem)
{
    switch (problem.kind) {
    case ExchangeProblem::Kind::Status:
        return texts::kStatusPrefix + text::utf16FromUtf8(std::to_string(problem.status));
    case ExchangeProblem::Kind::NoSessionCookie:
        return std::u16string(texts::kFailurePrefix) + texts::kNoSessionCookie;
    case ExchangeProblem::Kind::Failed: break;
    }
    const std::u16string phrase = texts::kFailurePrefix + std::u16string(failurePhrase(problem.failure));
    return problem.detail.empty() ? phrase
                                  : phrase + texts::kDetailOpening + problem.detail + texts::kDetailClosing;
}

}  // namespace

MainWindowLogic::MainWindowLogic(MainWindowView &view, Toolkit &toolkit, ServiceAccess access,
                                 ServiceSettings service)
    : m_view(view)
    , m_toolkit(toolkit)
    , m_access(access)
    , m_service(std::move(service))
{
}

void MainWindowLogic::Form_Load()
{
    m_sessionId.reset();
    m_stopFlag = u"0";
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
    m_view.setCaption(Caption::Label4, texts::kCreating);
    const std::string page = HttpRequest(u"GET", m_service.baseUrl, {});
    if (m_programEnded)
        return;
    m_mailboxName = text::utf16FromUtf8(cutMailboxName(page));
    const std::u16string address = m_mailboxName + u'@' + m_service.mailDomain;
    m_view.setText1(address);
    if (m_mailboxName.empty()) {
        m_toolkit.messageBox(texts::kCreationFailed, Toolkit::MessageIcon::None, {});
        endProgram();
        return;
    }
    m_view.disableCommand1();
    m_view.setCaption(Caption::Label4, texts::kCreated);
    m_view.announce(texts::mailboxReady(address));
    获取最新邮件();
}

void MainWindowLogic::获取最新邮件()
{
    if (m_programEnded)
        return;
    m_view.setCaption(Caption::Label4, texts::kRefreshing);
    const std::string answer = HttpRequest(u"POST", m_service.baseUrl, refreshBody(m_mailboxName));
    if (m_programEnded)
        return;
    // New mail is what the user waits for, often in another window; a poll that brings none is
    // not spoken.
    const std::size_t listed = m_module1.lineCount();
    if (const std::size_t added = m_module1.ParseRefreshResponse(answer, m_view); added > 0) {
        m_view.announce(texts::newMail(added, m_module1.line(static_cast<int>(listed))->spoken()));
        m_view.askForAttention();
    }
    m_view.setCaption(Caption::Label4, texts::kRefreshed);
}

void MainWindowLogic::Command2_Click()
{
    m_stopFlag = u"0";
    if (m_loopDepth >= kMaxNestedLoops) {
        m_view.setCaption(Caption::Command2, texts::kLoopRunning);
        return;  // the loops that run go on, as a new loop would
    }
    if (m_loopDepth++ == 0)
        m_view.announce(texts::kLoopStarted);
    while (!m_programEnded) {
        m_view.setCaption(Caption::Command2, texts::kLoopRunning);
        if (m_stopFlag == u"1")
            break;
        获取最新邮件();
        Delay(kPollIntervalMs);
    }
    --m_loopDepth;
    if (m_programEnded)
        return;
    m_view.setCaption(Caption::Command2, texts::kLoopEnded);
    if (m_loopDepth == 0)  // loops nested in its waits end with the outermost: one word for all
        m_view.announce(texts::kLoopEnded);
}

void MainWindowLogic::Command3_Click()
{
    m_stopFlag = u"1";
}

void MainWindowLogic::Delay(int ms)
{
    const std::int64_t start = m_toolkit.clock();
    for (std::int64_t now = start; start + ms > now && !m_programEnded; now = m_toolkit.clock())
        m_toolkit.processEventsFor(static_cast<int>(start + ms - now));
}

void MainWindowLogic::List1_DblClick()
{
    if (m_programEnded)
        return;
    const ui::MailLine *line = m_module1.line(m_view.selectedListIndex());
    if (!line)
        return;
    // The identifier read with the line, not its third "|" field: a "|" in a sender or a
    // subject must not send another mail's identifier.
    const std::u16string mailId = line->mailId;
    std::string answer = HttpRequest(u"POST", m_service.baseUrl, mailInfoBody(m_mailboxName, mailId));
    if (m_programEnded)
        return;
    m_module1.ShowMailContent(std::move(answer), m_view);
}

std::string MainWindowLogic::HttpRequest(const std::u16string &method, const std::u16string &url,
                                         const std::u16string &body)
{
    const ExchangeRequest request = buildExchangeRequest(method, url, body, m_sessionId);
    ExchangeResult exchange;
    m_toolkit.runInBackground([&] { exchange = m_access.exchange.perform(request, m_service.limits); });
    if (m_programEnded)
        return {};  // the window was closed while the exchange ran
    HttpRequestOutcome outcome = interpretExchange(std::move(exchange), m_sessionId, m_access.charsets);
    if (outcome.learnedSession)
        m_sessionId = *outcome.learnedSession;
    if (outcome.problem)
        m_toolkit.messageBox(problemMessage(*outcome.problem), Toolkit::MessageIcon::Information,
                             texts::kMessageBoxTitle);
    return outcome.result;
}

}  // namespace venmarra
