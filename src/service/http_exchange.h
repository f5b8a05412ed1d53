#pragma once

#include <chrono>
#include <cstdint>
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
    std::int64_t maxBodyBytes = static_cast<std::int64_t>(64) * 1024 * 1024;
};

struct ExchangeRequest {
    bool isGet = true;
    std::string url;
    std::vector<std::string> headers;  // "Name: value" lines of the program's own
    std::string body;  // bytes, sent with POST only
};

enum class ExchangeFailure { None, CannotStart, Resolve, Connect, Timeout, TooLarge, NotHttp, Other };

struct ExchangeResult {
    ExchangeFailure failure = ExchangeFailure::None;
    std::u16string failureDetail;  // the client's own words, when it gave any
    long status = 0;
    std::string headerText;  // the final answer's header lines as received, status line excluded
    std::string contentType;
    std::string body;
};

// The platform's HTTP client. Each call is one complete exchange on a connection of its own, and
// blocks until the exchange has ended; calls come from a thread other than the window's.
// Redirects are not followed, no cookie is kept or sent but those of the request, and only the
// http scheme is allowed.
class HttpExchange {
public:
    virtual ~HttpExchange() = default;
    virtual ExchangeResult perform(const ExchangeRequest &request, const HttpLimits &limits) = 0;
};

}  // namespace venmarra
