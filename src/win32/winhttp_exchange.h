#pragma once

#include "service/http_exchange.h"

namespace venmarra::win32 {

// HTTP exchanges with WinHTTP, each on a session of its own. WinHTTP's own cookie store and its
// redirects are turned off, so that the program alone decides what goes out.
class WinHttpExchange final : public HttpExchange {
public:
    ExchangeResult perform(const ExchangeRequest &request, const HttpLimits &limits) override;
};

}  // namespace venmarra::win32
