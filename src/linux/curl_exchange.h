#pragma once

#include "service/http_exchange.h"

namespace venmarra {

// HTTP exchanges with libcurl, each on a new easy handle. Needs a CurlGlobal for the program's life.
class CurlExchange final : public HttpExchange {
public:
    ExchangeResult perform(const ExchangeRequest &request, const HttpLimits &limits) override;
};

}  // namespace venmarra
