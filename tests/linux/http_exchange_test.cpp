// The Linux HTTP client (libcurl) against the stand-in service (tests/support/stand_in.py, its
// address in VENMARRA_SERVICE_HOST): what it sends, what it hands back, and what it stops.
#include "linux/curl_exchange.h"
#include "service/exchange_rules.h"
#include "service/text_encoding.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace venmarra {
namespace {

using namespace std::chrono_literals;

std::string url(const std::string &path)
{
    const char *host = std::getenv("VENMARRA_SERVICE_HOST");
    return "http://" + std::string(host ? host : "127.0.0.1:9") + path;
}

ExchangeResult exchange(const std::string &address, std::u16string_view method, std::u16string_view body,
                        const SessionCookie &sessionId = std::nullopt, HttpLimits limits = {})
{
    return CurlExchange().perform(buildExchangeRequest(method, utf16FromUtf8(address), body, sessionId),
                                  limits);
}

TEST(HttpExchange, getAndPostSendExactlyTheProgramsHeadersAndBody)
{
    const std::string get = exchange(url("/echo"), u"GET", u"", u"cookie").body;
    EXPECT_TRUE(get.starts_with("GET /echo HTTP/1.1\r\n")) << get;
    EXPECT_EQ(get.find("Cookie"), std::string::npos) << get;
    EXPECT_EQ(get.find("Content-Type"), std::string::npos) << get;

    // Over a megabyte, which libcurl would announce with "Expect: 100-continue" and wait.
    const std::u16string large = u"data=a b&" + std::u16string(1100000, u'x');
    const std::string post = exchange(url("/echo"), u"post", large, u"s\u00e9d").body;
    const std::string head = post.substr(0, post.find("\r\n\r\n") + 2);
    EXPECT_TRUE(head.starts_with("POST /echo HTTP/1.1\r\n")) << head;
    EXPECT_NE(head.find("\r\nContent-Type: application/x-www-form-urlencoded\r\n"), std::string::npos)
        << head;
    EXPECT_NE(head.find("\r\nCookie: sid=s\xe9"
                        "d\r\n"),
              std::string::npos)
        << "the cookie's bytes as they came";
    EXPECT_EQ(head.find("Expect"), std::string::npos) << "the body is sent without waiting for 100";
    EXPECT_EQ(head.find("Accept-Encoding"), std::string::npos) << "no compression is asked for";
    EXPECT_TRUE(post.ends_with("\r\n\r\ndata=a b&" + std::string(1100000, 'x')));
}

TEST(HttpExchange, anAnswerKeepsItsStatusBodyAndHeaderLinesAsReceived)
{
    const ExchangeResult result = exchange(url("/missing"), u"GET", u"");
    EXPECT_EQ(result.failure, ExchangeFailure::None);
    EXPECT_EQ(result.status, 404);
    EXPECT_EQ(result.body, "missing");
    EXPECT_NE(result.headerText.find("X-Mixed-Case: Value\r\nSet-Cookie: sid=a\r\nSet-Cookie: sid=b\r\n"),
              std::string::npos)
        << result.headerText;
    EXPECT_FALSE(result.headerText.starts_with("HTTP/")) << "the status line is not a header";
}

TEST(HttpExchange, aServerThatMisbehavesFailsTheExchangeWithItsKindAndNothingMore)
{
    const struct {
        const char *path;
        ExchangeFailure failure;
        long status;
    } cases[] = {
        {"/hold", ExchangeFailure::Timeout, 0},  // accepted, never answered
        {"/trickle", ExchangeFailure::Timeout, 0},  // a byte at a time
        {"/cut", ExchangeFailure::Other, 0},  // a body cut short
        {"/reset", ExchangeFailure::Other, 0},  // reset mid-body
        {"/garbage", ExchangeFailure::Other, 0},  // no HTTP status line
        {"/redirect", ExchangeFailure::None, 302},  // not followed
        {"/size/65537", ExchangeFailure::TooLarge, 0},  // a byte past the limit
        {"/size/65536", ExchangeFailure::None, 200},  // at the limit
        {"/huge-length", ExchangeFailure::TooLarge, 0},  // a Content-Length of 10 GB
        {"/chunks", ExchangeFailure::TooLarge, 0},  // an endless chunked body
        {"/gzip", ExchangeFailure::None, 200},  // compressed though never asked for
        {"/long-header", ExchangeFailure::Other, 0},  // a header line of 200 KB
        {"/many-headers", ExchangeFailure::None, 200},  // ten thousand headers
    };
    HttpLimits limits;
    limits.stallTimeout = 500ms;
    limits.totalTimeout = 1500ms;
    limits.maxBodyBytes = 64 * 1024;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.path);
        const ExchangeResult result = exchange(url(c.path), u"POST", u"data=", u"s", limits);
        EXPECT_EQ(result.failure, c.failure);
        EXPECT_EQ(result.status, c.failure == ExchangeFailure::None ? c.status : result.status);
    }
    EXPECT_EQ(exchange("http://no-such-host.invalid/", u"GET", u"").failure, ExchangeFailure::Resolve);
    EXPECT_EQ(exchange("http://127.0.0.1:9/", u"GET", u"").failure, ExchangeFailure::Connect);
    EXPECT_NE(exchange("ftp://127.0.0.1/", u"GET", u"").failure, ExchangeFailure::None) << "only http";
}

}  // namespace
}  // namespace venmarra
