// The WinHTTP client under Wine against local answers (tests/support/stand_in.py, its address in
// VENMARRA_SERVICE_HOST): what it refuses, what it stops, and what it hands back.
#include "service/charset.h"
#include "win32/codepage_decoder.h"
#include "win32/winhttp_exchange.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace venmarra::win32 {
namespace {

std::string url(const std::string &path)
{
    const char *host = std::getenv("VENMARRA_SERVICE_HOST");
    return "http://" + std::string(host ? host : "127.0.0.1:9") + path;
}

ExchangeResult get(const std::string &address, const HttpLimits &limits = {})
{
    ExchangeRequest request;
    request.url = address;
    return WinHttpExchange().perform(request, limits);
}

TEST(WindowsExchange, aServerThatMisbehavesFailsTheExchangeWithItsKindAndNothingMore)
{
    using namespace std::chrono_literals;
    // What the program decides itself. Wine's WinHTTP hands back a body cut short or reset as
    // complete and names a silent server's failure in its own words, so those rows are not here.
    const struct {
        const char *path;
        std::optional<ExchangeFailure> failure;  // none: a failure of any kind
        long status;
    } cases[] = {
        {"/hold", std::nullopt, 0},  // accepted, never answered
        {"/trickle", ExchangeFailure::Timeout, 0},  // a byte at a time
        {"/garbage", ExchangeFailure::Other, 0},  // no HTTP status line
        {"/redirect", ExchangeFailure::None, 302},  // not followed
        {"/size/65537", ExchangeFailure::TooLarge, 0},  // a byte past the limit
        {"/size/65536", ExchangeFailure::None, 200},  // at the limit
        {"/huge-length", std::nullopt, 0},  // a Content-Length of 10 GB
        {"/chunks", ExchangeFailure::TooLarge, 0},  // an endless chunked body
    };
    HttpLimits limits;
    limits.stallTimeout = 500ms;
    limits.totalTimeout = 1500ms;
    limits.maxBodyBytes = 64 * 1024;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.path);
        const ExchangeResult result = get(url(c.path), limits);
        if (c.failure) {
            EXPECT_EQ(result.failure, *c.failure);
        } else {
            EXPECT_NE(result.failure, ExchangeFailure::None);
        }
        EXPECT_EQ(result.status, c.failure == ExchangeFailure::None ? c.status : result.status);
    }
    EXPECT_EQ(get(url("/redirect")).body, "moved");
    EXPECT_EQ(get("ftp://127.0.0.1/").failure, ExchangeFailure::Other);
    const ExchangeResult refused = get("http://127.0.0.1:9/");
    EXPECT_EQ(refused.failure, ExchangeFailure::Connect);
    EXPECT_FALSE(refused.failureDetail.empty());
}

TEST(WindowsExchange, theHeaderTextAndTheCharsetComeBackAsReceived)
{
    const ExchangeResult missing = get(url("/missing"));
    EXPECT_EQ(missing.status, 404);
    EXPECT_NE(missing.headerText.find("X-Mixed-Case: Value\r\nSet-Cookie: sid=a\r\n"), std::string::npos)
        << missing.headerText;
    EXPECT_EQ(missing.headerText.rfind("HTTP/", 0), std::string::npos) << "the status line is not a header";
    const ExchangeResult gbk = get(url("/gbk"));
    EXPECT_EQ(gbk.contentType, "text/html; charset=GBK");
    EXPECT_EQ(decodeAnswerBody(gbk.body, gbk.contentType, CodePageDecoder()), u"你好，邮箱");
}

TEST(WindowsCharsets, codePagesByTheirNamesAndNothingForAnUnknownOne)
{
    const CodePageDecoder decoder;
    const std::string gbk = "\xc4\xe3\xba\xc3";
    for (const char *charset : {"GBK", "gb2312", "GB18030", "cp936"})
        EXPECT_EQ(decoder.decode(gbk, charset), u"你好") << charset;
    EXPECT_FALSE(decoder.decode(gbk, "no-such-charset"));
}

}  // namespace
}  // namespace venmarra::win32
