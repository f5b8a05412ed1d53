#include "scripted_server.h"
#include "qt/curl_exchange.h"
#include "service/exchange_rules.h"
#include "service/text_encoding.h"

#include <gtest/gtest.h>

namespace venmarra {
namespace {

using namespace std::chrono_literals;
using test::RecordedRequest;
using test::ScriptedReply;
using test::rawReply;
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

std::string rawAnswer(const std::string &statusLine, const std::string &headers, const std::string &body)
{
    return "HTTP/1.1 " + statusLine + "\r\n" + headers + "Content-Length: " + std::to_string(body.size())
        + "\r\nConnection: close\r\n\r\n" + body;
}

TEST(HttpExchange, aServerThatMisbehavesFailsTheExchangeWithItsKindAndNothingMore)
{
    ScriptedServer server, elsewhere;
    std::string manyHeaders;
    for (int i = 0; i < 10000; ++i)
        manyHeaders += "X-H" + std::to_string(i) + ": v\r\n";
    const struct {
        const char *what;
        ScriptedReply reply;
        ExchangeFailure failure;
        long status;
    } cases[] = {
        {"accepted, never answered", {.raw = "", .hold = true}, ExchangeFailure::Timeout, 0},
        {"trickled a byte at a time", {.raw = rawAnswer("200 OK", "", std::string(1000, ' ')), .byteDelay = 40ms},
         ExchangeFailure::Timeout, 0},
        {"body cut short", rawReply("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nshort"), ExchangeFailure::Other, 0},
        {"reset mid-body", {.raw = "HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\npart", .reset = true},
         ExchangeFailure::Other, 0},
        {"garbage status line", rawReply("SMTP READY\r\n\r\n"), ExchangeFailure::Other, 0},
        {"302 to another port", rawReply(rawAnswer("302 Found", "Location: " + elsewhere.baseUrl() + "\r\n", "")),
         ExchangeFailure::None, 302},
        {"one byte past the limit", ScriptedReply {200, {}, std::string(64 * 1024 + 1, 'x')}, ExchangeFailure::TooLarge, 0},
        {"at the limit", ScriptedReply {200, {}, std::string(64 * 1024, 'z')}, ExchangeFailure::None, 200},
        {"Content-Length of 10 GB", {.raw = "HTTP/1.1 200 OK\r\nContent-Length: 10000000000\r\n\r\nxx", .hold = true},
         ExchangeFailure::TooLarge, 0},
        {"endless chunked body", {.raw = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n", .endlessChunks = true},
         ExchangeFailure::TooLarge, 0},
        {"compressed body never asked for",
         rawReply(rawAnswer("200 OK", "Content-Encoding: gzip\r\n", std::string("\x1f\x8b\x08\x00\x00\x00\x00\x00\x00\x03", 10))),
         ExchangeFailure::None, 200},
        {"200 KB header line", rawReply(rawAnswer("200 OK", "X-Big: " + std::string(200 * 1024, 'h') + "\r\n", "{}")),
         ExchangeFailure::Other, 0},
        {"ten thousand headers", rawReply(rawAnswer("200 OK", manyHeaders, "{}")), ExchangeFailure::None, 200},
    };
    HttpLimits limits;
    limits.stallTimeout = 500ms;
    limits.totalTimeout = 1500ms;
    limits.maxBodyBytes = 64 * 1024;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        server.enqueue(c.reply);
        const ExchangeResult result = exchange(server.baseUrl(), u"POST", u"data=", u"s", limits);
        EXPECT_EQ(result.failure, c.failure);
        if (c.failure == ExchangeFailure::None) {
            EXPECT_EQ(result.status, c.status);
        }
    }
    EXPECT_EQ(elsewhere.requestCount(), 0u) << "a redirect is never followed";
    for (const RecordedRequest &request : server.requests())
        EXPECT_FALSE(request.hasHeader("Accept-Encoding")) << "no compression is asked for";
    EXPECT_EQ(exchange("http://no-such-host.invalid/", u"GET", u"", std::nullopt).failure, ExchangeFailure::Resolve);
    const int closedPort = ScriptedServer().port();
    EXPECT_EQ(exchange("http://127.0.0.1:" + std::to_string(closedPort) + "/", u"GET", u"", std::nullopt).failure,
              ExchangeFailure::Connect);
    EXPECT_NE(exchange("ftp://127.0.0.1/", u"GET", u"", std::nullopt).failure, ExchangeFailure::None) << "only http";
}

}  // namespace
}  // namespace venmarra
