#pragma once

#include "service/charset.h"
#include "service/http_exchange.h"
#include "service/session_cookie.h"

#include <optional>
#include <string>

namespace venmarra {

// What the platform lends the service layer: its HTTP client and its charset decoders.
struct ServiceAccess {
    HttpExchange &exchange;
    const CharsetDecoder &charsets;
};

inline constexpr char kFormContentType[] = "application/x-www-form-urlencoded";

// The exchange for one call: "GET" (exactly) is a bare GET; every other method text is a form
// POST that carries the cookie once one is known, as the bytes that the service set.
ExchangeRequest buildExchangeRequest(std::u16string_view method, std::u16string_view url,
                                     std::u16string_view body, const SessionCookie &session);

// What went wrong with one call, for the caller to tell the user.
struct ExchangeProblem {
    enum class Kind {
        Failed,  // the exchange did not complete
        Status,  // an answer with a status other than 200
        NoSessionCookie,  // a good answer while no cookie is known, without "Set-Cookie: sid="
    };
    Kind kind = Kind::Failed;
    ExchangeFailure failure = ExchangeFailure::None;  // with Failed
    long status = 0;  // with Status
    std::u16string detail;  // the client's own words, when it gave any
};

struct HttpRequestOutcome {
    std::string result;  // what the caller gets: the body as well-formed UTF-8, or empty text
    std::optional<ExchangeProblem> problem;  // to report, when there is one
    std::optional<std::u16string> learnedSession;  // the new SessionId, when one was learned
};

// What an ended exchange means to the caller, the user and the session; its body is taken.
HttpRequestOutcome interpretExchange(ExchangeResult exchange, const SessionCookie &session,
                                     const CharsetDecoder &decoder);

}  // namespace venmarra
