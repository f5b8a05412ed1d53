#include "scripted_server.h"
#include "qt/curl_exchange.h"
#include "service/exchange_rules.h"
#include "service/text_encoding.h"

#include <gtest/gtest.h>

namespace venmarra {
namespace {

using namespace std::chrono_literals;
using test::ScriptedReply;
using test::ScriptedServer;

ExchangeResult exchange(const std::string &url, std::u16string_view method, std::u16string_view body,
                        const SessionCookie &sessionId, HttpLimits limits = {})
{
    return CurlExchange().perform(buildExchangeRequest(method, utf16FromUtf8(url), body, sessionId), limits);
}

TEST(HttpExchange, getAndPostSendExactlyTheProgramsHeaders)
{
    ScriptedServer server;
    exchange(server.baseUrl(), u"GET", u"", u"cookie");
    exchange(server.baseUrl(), u"POST", u"data=a b&type=refresh&arg=", std::nullopt);
    exchange(server.baseUrl(), u"post", std::u16string(3000, u'x'), u"s1d");
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 3u);

    EXPECT_EQ(requests[0].method, "GET");
    EXPECT_EQ(requests[0].path, "/");
    EXPECT_FALSE(requests[0].hasHeader("Cookie"));
    EXPECT_FALSE(requests[0].hasHeader("Content-Type"));
    EXPECT_EQ(requests[0].body, "");

    EXPECT_EQ(requests[1].method, "POST");
    EXPECT_EQ(requests[1].header("Content-Type"), "application/x-www-form-urlencoded");
    EXPECT_FALSE(requests[1].hasHeader("Cookie"));
    EXPECT_EQ(requests[1].body, "data=a b&type=refresh&arg=");

    EXPECT_EQ(requests[2].method, "POST");
    EXPECT_EQ(requests[2].header("Cookie"), "sid=s1d");
    EXPECT_FALSE(requests[2].hasHeader("Expect")) << "a large body is sent without waiting for 100";
    EXPECT_EQ(requests[2].body.size(), 3000u);
}

TEST(HttpExchange, answerKeepsStatusBodyAndHeaderLinesAsReceived)
{
    ScriptedServer server;
    ScriptedReply reply;
    reply.status = 404;
    reply.body = "missing";
    reply.headers = {{"X-Mixed-Case", "Value"}, {"Set-Cookie", "sid=a"}, {"Set-Cookie", "sid=b"}};
    server.enqueue(reply);
    const ExchangeResult result = exchange(server.baseUrl(), u"GET", u"", std::nullopt);
    EXPECT_EQ(result.failure, ExchangeFailure::None);
    EXPECT_EQ(result.status, 404);
    EXPECT_EQ(result.body, "missing");
    EXPECT_TRUE(result.headerText.find("X-Mixed-Case: Value\r\n") != std::string::npos);
    EXPECT_TRUE(result.headerText.find("Set-Cookie: sid=a\r\nSet-Cookie: sid=b\r\n") != std::string::npos);
    EXPECT_FALSE(result.headerText.starts_with("HTTP/")) << "the status line is not a header";
}

TEST(HttpExchange, failuresHaveTheirKindAndBodiesPastTheLimitFailWhenTheLimitIsPassed)
{
    EXPECT_EQ(exchange("http://no-such-host.invalid/", u"GET", u"", std::nullopt).failure, ExchangeFailure::Resolve);
    EXPECT_NE(exchange("ftp://127.0.0.1/", u"GET", u"", std::nullopt).failure, ExchangeFailure::None) << "only http";
    HttpLimits limits;
    limits.maxBodyBytes = 64 * 1024;
    ScriptedServer server;
    server.enqueue(ScriptedReply {200, {}, std::string(64 * 1024 + 1, 'x')});
    server.enqueue(ScriptedReply {200, {}, std::string(64 * 1024, 'z')});
    EXPECT_EQ(exchange(server.baseUrl(), u"GET", u"", std::nullopt, limits).failure, ExchangeFailure::TooLarge);
    EXPECT_EQ(exchange(server.baseUrl(), u"GET", u"", std::nullopt, limits).body.size(), 64 * 1024);
}

}  // namespace
}  // namespace venmarra
