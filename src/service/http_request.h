#pragma once

#include "service/http_exchange.h"
#include "service/session_cookie.h"

#include <QString>

#include <optional>

namespace venmarra {

inline const QString kMessageBoxTitle = QStringLiteral("提示");
inline const QString kStatusMessagePrefix = QStringLiteral("Http错误代码:");
inline const QString kFailureMessagePrefix = QStringLiteral("错误原因:");
inline const QString kFormContentType = QStringLiteral("application/x-www-form-urlencoded");

// The exchange for one call: "GET" (exactly) is a bare GET; every other method text is a form
// POST that carries the cookie once one is known, as the bytes that the service set.
ExchangeRequest buildExchangeRequest(const QString &method, const QString &url, const QString &body,
                                     const SessionCookie &session);

struct HttpRequestOutcome {
    QString result;  // what the caller gets: the body, or empty text
    QString message;  // text of the "提示" box to show, or empty for none
    std::optional<QString> learnedSession;  // the new SessionId, when one was learned
};

// What an ended exchange means to the caller, the user and the session.
HttpRequestOutcome interpretExchange(const ExchangeResult &exchange, const SessionCookie &session);

// A short description of a failed exchange that a Chinese-speaking user understands.
QString describeFailure(const ExchangeResult &exchange);

}  // namespace venmarra
