// The Linux HTTP client (libcurl) against the stand-in service (tests/support/stand_in.py, its
// address in VENMARRA_SERVICE_HOST): what it sends, what it hands back, and what it stops.
#include "linux/curl_exchange.h"
#include "service/exchange_rules.h"
#include "stand_in.h"
#include "text/utf.h"

#include <gtest/gtest.h>

namespace venmarra {
namespace {

ExchangeResult exchange(const std::string &address, std::u16string_view method, std::u16string_view body,
                        const SessionCookie &sessionId = std::nullopt, HttpLimits limits = {})
{
    return CurlExchange().perform(buildExchangeRequest(method, text::utf16FromUtf8(address), body, sessionId),
                                  limits);
}

TEST(HttpExchange, getAndPostSendExactlyTheProgramsHeadersAndBody)
{
    const std::string get = exchange(test::standInUrl("/echo"), u"GET", u"", u"cookie").body;
    EXPECT_TRUE(get.starts_with("GET /echo HTTP/1.1\r\n")) << get;
    EXPECT_EQ(get.find("Cookie"), std::string::npos) << get;
    EXPECT_EQ(get.find("Content-Type"), std::string::npos) << get;

    // Over a megabyte, which libcurl would announce with "Expect: 100-continue" and wait.
    const std::u16string large = u"data=a b&" + std::u16string(1100000, u'x');
    const std::string post = exchange(test::standInUrl("/echo"), u"post", large, u"s\u00e9d").body;
    const std::string head = post.substr(0, post.find("\r\n\r\n") + 2);
    EXPECT_TRUE(head.starts_with("POST /echo HTTP/1.1\r\n")) << head;
    EXPECT_NE(head.find("\r\nContent-Type: application/x-www-form-urlencoded\r\n"), std::string::npos)
        << head;
    EXPECT_NE(head.find("\r\nCookie: sid=s\351d\r\n"), std::string::npos)
        << "the cookie's bytes as they came";
    EXPECT_EQ(head.find("Expect"), std::string::npos) << "the body is sent without waiting for 100";
    EXPECT_EQ(head.find("Accept-Encoding"), std::string::npos) << "no compression is asked for";
    EXPECT_TRUE(post.ends_with("\r\n\r\ndata=a b&" + std::string(1100000, 'x')));
}

TEST(HttpExchange, anAnswerKeepsItsStatusBodyAndHeaderLinesAsReceived)
{
    const ExchangeResult result = exchange(test::standInUrl("/missing"), u"GET", u"");
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
    test::expectEveryMisbehaviourMet([](const std::string &address, const HttpLimits &limits) {
        return exchange(address, u"POST", u"data=", u"s", limits);
    });
    EXPECT_EQ(exchange("http://no-such-host.invalid/", u"GET", u"").failure, ExchangeFailure::Resolve);
    EXPECT_EQ(exchange("http://127.0.0.1:9/", u"GET", u"").failure, ExchangeFailure::Connect);
    EXPECT_NE(exchange("ftp://127.0.0.1/", u"GET", u"").failure, ExchangeFailure::None) << "only http";
}

}  // namespace
}  // namespace venmarra
