#include "service/exchange_rules.h"

#include "text/utf.h"

namespace venmarra {

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
