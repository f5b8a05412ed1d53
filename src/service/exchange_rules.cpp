#include "service/exchange_rules.h"

#include "text/utf.h"

namespace venmarra {
namespace {

std::u16string_view failurePhrase(ExchangeFailure failure)
{
    switch (failure) {
    case ExchangeFailure::CannotStart: return u"无法创建网络请求";
    case ExchangeFailure::Resolve: return u"无法解析服务器地址";
    case ExchangeFailure::Connect: return u"无法连接到服务器";
    case ExchangeFailure::Timeout: return u"操作超时";
    case ExchangeFailure::TooLarge: return u"服务器的应答过大";
    case ExchangeFailure::Other:
    case ExchangeFailure::None: break;
    }
    return u"网络传输失败";
}

}  // namespace

std::u16string problemMessage(const ExchangeProblem &problem)
{
    const std::u16string statusPrefix = u"Http错误代码:";
    const std::u16string failurePrefix = u"错误原因:";
    switch (problem.kind) {
    case ExchangeProblem::Kind::Status:
        return statusPrefix + text::utf16FromLatin1(std::to_string(problem.status));
    case ExchangeProblem::Kind::NoSessionCookie:
        return failurePrefix + u"应答中没有会话 Cookie（Set-Cookie: sid=）";
    case ExchangeProblem::Kind::Failed: break;
    }
    const std::u16string phrase = failurePrefix + std::u16string(failurePhrase(problem.failure));
    return problem.detail.empty() ? phrase : phrase + u"（" + problem.detail + u"）";
}

ExchangeRequest buildExchangeRequest(std::u16string_view method, std::u16string_view url,
                                     std::u16string_view body, const SessionCookie &session)
{
    ExchangeRequest request;
    request.url = text::utf8FromUtf16(url);
    request.isGet = method == u"GET";
    if (request.isGet)
        return request;
    request.body = text::utf8FromUtf16(body);
    request.headers.push_back(std::string("Content-Type: ") + kFormContentType);
    if (session)
        request.headers.push_back("Cookie: sid=" + text::latin1FromUtf16(*session));
    return request;
}

HttpRequestOutcome interpretExchange(ExchangeResult exchange, const SessionCookie &session,
                                     const CharsetDecoder &decoder)
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
    outcome.result = decodeAnswerBody(std::move(exchange.body), exchange.contentType, decoder);
    if (session)
        return outcome;  // a cookie is learned once; later answers' headers are not read
    outcome.learnedSession = learnSessionCookie(text::utf16FromLatin1(exchange.headerText));
    if (!outcome.learnedSession)
        outcome.problem
            = ExchangeProblem {ExchangeProblem::Kind::NoSessionCookie, ExchangeFailure::None, 0, {}};
    return outcome;
}

}  // namespace venmarra
