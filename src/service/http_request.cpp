#include "service/http_request.h"

#include "service/charset.h"
#include "service/session_cookie.h"

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
    request.headers.push_back(("Content-Type: " + kFormContentType).toStdString());
    if (session)
        request.headers.push_back("Cookie: sid=" + session->toLatin1().toStdString());
    return request;
}

QString describeFailure(const ExchangeResult &exchange)
{
    QString phrase;
    switch (exchange.failure) {
    case ExchangeFailure::CannotStart: phrase = QStringLiteral("无法创建网络请求"); break;
    case ExchangeFailure::Resolve: phrase = QStringLiteral("无法解析服务器地址"); break;
    case ExchangeFailure::Connect: phrase = QStringLiteral("无法连接到服务器"); break;
    case ExchangeFailure::Timeout: phrase = QStringLiteral("操作超时"); break;
    case ExchangeFailure::TooLarge: phrase = QStringLiteral("服务器的应答过大"); break;
    case ExchangeFailure::Other:
    case ExchangeFailure::None: phrase = QStringLiteral("网络传输失败"); break;
    }
    if (exchange.failureDetail.isEmpty())
        return phrase;
    return phrase + QStringLiteral("（") + exchange.failureDetail + QStringLiteral("）");
}

HttpRequestOutcome interpretExchange(const ExchangeResult &exchange, const SessionCookie &session)
{
    HttpRequestOutcome outcome;
    if (exchange.failure != ExchangeFailure::None) {
        outcome.message = kFailureMessagePrefix + describeFailure(exchange);
        return outcome;
    }
    if (exchange.status != 200) {
        outcome.message = kStatusMessagePrefix + QString::number(exchange.status);
        return outcome;
    }
    outcome.result = decodeAnswerBody(exchange.body, exchange.contentType);
    if (session)
        return outcome;  // a cookie is learned once; later answers' headers are not read
    outcome.learnedSession = learnSessionCookie(QString::fromLatin1(exchange.headerText));
    if (!outcome.learnedSession)
        outcome.message = kFailureMessagePrefix + QStringLiteral("应答中没有会话 Cookie（Set-Cookie: sid=）");
    return outcome;
}

}  // namespace venmarra
