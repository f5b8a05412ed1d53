#include "service/exchange_rules.h"

#include "service/text_encoding.h"

namespace venmarra {

ExchangeRequest buildExchangeRequest(std::u16string_view method, std::u16string_view url,
                                     std::u16string_view body, const SessionCookie &session)
{
    ExchangeRequest request;
    request.url = utf8FromUtf16(url);
    request.isGet = method == u"GET";
    if (request.isGet)
        return request;
    request.body = utf8FromUtf16(body);
    request.headers.push_back(std::string("Content-Type: ") + kFormContentType);
    if (session)
        request.headers.push_back("Cookie: sid=" + latin1FromUtf16(*session));
    return request;
}

HttpRequestOutcome interpretExchange(const ExchangeResult &exchange, const SessionCookie &session,
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
    outcome.result = decodeAnswerBody(exchange.body, exchange.contentType, decoder);
    if (session)
        return outcome;  // a cookie is learned once; later answers' headers are not read
    outcome.learnedSession = learnSessionCookie(utf16FromLatin1(exchange.headerText));
    if (!outcome.learnedSession)
        outcome.problem
            = ExchangeProblem {ExchangeProblem::Kind::NoSessionCookie, ExchangeFailure::None, 0, {}};
    return outcome;
}

}  // namespace venmarra
