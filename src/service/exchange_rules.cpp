#include "service/exchange_rules.h"

#include "service/charset.h"

namespace venmarra {

ExchangeRequest buildExchangeRequest(const QString &method, const QString &url, const QString &body,
                                     const SessionCookie &session)
{
    ExchangeRequest request;
    request.url = url.toStdString();
    request.isGet = method == QStringLiteral("GET");
    if (request.isGet)
        return request;
    request.body = body.toUtf8();
    request.headers.push_back(std::string("Content-Type: ") + kFormContentType);
    if (session)
        request.headers.push_back("Cookie: sid=" + session->toLatin1().toStdString());
    return request;
}

HttpRequestOutcome interpretExchange(const ExchangeResult &exchange, const SessionCookie &session)
{
    HttpRequestOutcome outcome;
    if (exchange.failure != ExchangeFailure::None) {
        outcome.problem
            = ExchangeProblem {ExchangeProblem::Kind::Failed, exchange.failure, 0, exchange.failureDetail};
        return outcome;
    }
    if (exchange.status != 200) {
        outcome.problem
            = ExchangeProblem {ExchangeProblem::Kind::Status, ExchangeFailure::None, exchange.status, {}};
        return outcome;
    }
    outcome.result = decodeAnswerBody(exchange.body, exchange.contentType);
    if (session)
        return outcome;  // a cookie is learned once; later answers' headers are not read
    outcome.learnedSession = learnSessionCookie(QString::fromLatin1(exchange.headerText));
    if (!outcome.learnedSession)
        outcome.problem
            = ExchangeProblem {ExchangeProblem::Kind::NoSessionCookie, ExchangeFailure::None, 0, {}};
    return outcome;
}

}  // namespace venmarra
