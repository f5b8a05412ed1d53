#pragma once

#include <QByteArray>
#include <QString>

#include <chrono>
#include <string>
#include <vector>

namespace venmarra {

struct HttpLimits {
    // Name resolution and connection together.
    std::chrono::milliseconds connectTimeout {50000};
    // Longest time without a byte sent or received once connected.
    std::chrono::milliseconds stallTimeout {50000};
    // Longest time for a whole exchange, so that an answer trickled a byte at a time cannot hold
    // the program for ever.
    std::chrono::milliseconds totalTimeout {200000};
    // Largest answer body kept; a larger one fails the exchange as it arrives.
    qint64 maxBodyBytes = qint64(64) * 1024 * 1024;
};

struct ExchangeRequest {
    bool isGet = true;
    std::string url;
    std::vector<std::string> headers;  // "Name: value" lines of the program's own
    QByteArray body;  // sent with POST only
};

enum class ExchangeFailure { None, CannotStart, Resolve, Connect, Timeout, TooLarge, Other };

struct ExchangeResult {
    ExchangeFailure failure = ExchangeFailure::None;
    QString failureDetail;  // the client's own words, when it gave any
    long status = 0;
    QByteArray headerText;  // the final answer's header lines as received, status line excluded
    QByteArray contentType;
    QByteArray body;
};

// One complete HTTP exchange on a new curl handle; blocks until it has ended.
// Redirects are not followed and only the http scheme is allowed.
ExchangeResult performExchange(const ExchangeRequest &request, const HttpLimits &limits);

}  // namespace venmarra
