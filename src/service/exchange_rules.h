#pragma once

#include "service/http_exchange.h"
#include "service/session_cookie.h"

#include <QString>

#include <optional>

namespace venmarra {

inline constexpr char kFormContentType[] = "application/x-www-form-urlencoded";

// The exchange for one call: "GET" (exactly) is a bare GET; every other method text is a form
// POST that carries the cookie once one is known, as the bytes that the service set.
ExchangeRequest buildExchangeRequest(const QString &method, const QString &url, const QString &body,
                                     const SessionCookie &session);

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
    QString detail;  // the client's own words, when it gave any
};

struct HttpRequestOutcome {
    QString result;  // what the caller gets: the body, or empty text
    std::optional<ExchangeProblem> problem;  // to report, when there is one
    std::optional<QString> learnedSession;  // the new SessionId, when one was learned
};

// What an ended exchange means to the caller, the user and the session.
HttpRequestOutcome interpretExchange(const ExchangeResult &exchange, const SessionCookie &session);

}  // namespace venmarra
