#pragma once

// What the stand-in service (stand_in.py) serves the HTTP clients' tests on both platforms: its
// address, and its misbehaving paths with what a client must make of each.
#include "service/http_exchange.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace venmarra::test {

// `path` on the stand-in service, whose address with_stand_in.sh puts in VENMARRA_SERVICE_HOST.
inline std::string standInUrl(const std::string &path)
{
    const char *host = std::getenv("VENMARRA_SERVICE_HOST");
    return "http://" + std::string(host ? host : "127.0.0.1:9") + path;
}

// What Wine's WinHTTP makes of a misbehaviour: the same; a failure in its own words; or, for a
// body cut short, reset or compressed and for huge headers, what no Windows would.
enum class UnderWine { Same, SomeFailure, Differs };

struct Misbehaviour {
    const char *path;
    ExchangeFailure failure;
    long status;  // when the exchange does not fail
    UnderWine underWine;
};

inline constexpr Misbehaviour kMisbehaviours[] = {
    {"/hold", ExchangeFailure::Timeout, 0, UnderWine::SomeFailure},  // accepted, never answered
    {"/trickle", ExchangeFailure::Timeout, 0, UnderWine::Same},  // a byte at a time
    {"/cut", ExchangeFailure::Other, 0, UnderWine::Differs},  // a body cut short
    {"/reset", ExchangeFailure::Other, 0, UnderWine::Differs},  // reset mid-body
    {"/garbage", ExchangeFailure::Other, 0, UnderWine::Same},  // no HTTP status line
    {"/redirect", ExchangeFailure::None, 302, UnderWine::Same},  // not followed
    {"/size/65537", ExchangeFailure::TooLarge, 0, UnderWine::Same},  // a byte past the limit
    {"/size/65536", ExchangeFailure::None, 200, UnderWine::Same},  // at the limit
    {"/huge-length", ExchangeFailure::TooLarge, 0, UnderWine::SomeFailure},  // a Content-Length of 10 GB
    {"/chunks", ExchangeFailure::TooLarge, 0, UnderWine::Same},  // an endless chunked body
    {"/gzip", ExchangeFailure::None, 200, UnderWine::Differs},  // compressed though never asked for
    {"/long-header", ExchangeFailure::Other, 0, UnderWine::Differs},  // a header line of 200 KB
    {"/many-headers", ExchangeFailure::None, 200, UnderWine::Differs},  // ten thousand headers
};

// The limits that the misbehaviours are met with: 0.5 s without a byte, 1.5 s in all, 64 KiB.
inline HttpLimits misbehaviourLimits()
{
    HttpLimits limits;
    limits.stallTimeout = std::chrono::milliseconds(500);
    limits.totalTimeout = std::chrono::milliseconds(1500);
    limits.maxBodyBytes = 64 * 1024;
    return limits;
}

// Meets every misbehaviour with `exchange` (a path's URL and the limits in, its result out), and
// expects what the table says, or with `underWine` only where Wine's WinHTTP agrees.
template <typename Exchange>
void expectEveryMisbehaviourMet(Exchange exchange, bool underWine = false)
{
    for (const Misbehaviour &expected : kMisbehaviours) {
        if (underWine && expected.underWine == UnderWine::Differs)
            continue;
        SCOPED_TRACE(expected.path);
        const ExchangeResult result = exchange(standInUrl(expected.path), misbehaviourLimits());
        if (underWine && expected.underWine == UnderWine::SomeFailure) {
            EXPECT_NE(result.failure, ExchangeFailure::None);
        } else {
            EXPECT_EQ(result.failure, expected.failure);
        }
        if (expected.failure == ExchangeFailure::None) {
            EXPECT_EQ(result.status, expected.status);
        }
    }
}

}  // namespace venmarra::test
