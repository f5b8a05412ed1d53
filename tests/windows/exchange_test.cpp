// The WinHTTP client under Wine against local answers (tests/support/stand_in.py, its address in
// VENMARRA_SERVICE_HOST): what it refuses, what it stops, and what it hands back.
#include "service/charset.h"
#include "stand_in.h"
#include "win32/codepage_decoder.h"
#include "win32/winhttp_exchange.h"

#include <gtest/gtest.h>

#include <string>

namespace venmarra::win32 {
namespace {

ExchangeResult get(const std::string &address, const HttpLimits &limits = {})
{
    ExchangeRequest request;
    request.url = address;
    return WinHttpExchange().perform(request, limits);
}

TEST(WindowsExchange, aServerThatMisbehavesFailsTheExchangeWithItsKindAndNothingMore)
{
    test::expectEveryMisbehaviourMet(&get, true);
    EXPECT_EQ(get(test::standInUrl("/redirect")).body, "moved");
    EXPECT_EQ(get("https://127.0.0.1/").failure, ExchangeFailure::NotHttp);
    const ExchangeResult refused = get("http://127.0.0.1:9/");
    EXPECT_EQ(refused.failure, ExchangeFailure::Connect);
    EXPECT_FALSE(refused.failureDetail.empty());
}

TEST(WindowsExchange, theHeaderTextAndTheCharsetComeBackAsReceived)
{
    const ExchangeResult missing = get(test::standInUrl("/missing"));
    EXPECT_EQ(missing.status, 404);
    EXPECT_NE(missing.headerText.find("X-Mixed-Case: Value\r\nSet-Cookie: sid=a\r\n"), std::string::npos)
        << missing.headerText;
    EXPECT_EQ(missing.headerText.rfind("HTTP/", 0), std::string::npos) << "the status line is not a header";
    const ExchangeResult gbk = get(test::standInUrl("/gbk"));
    EXPECT_EQ(gbk.contentType, "text/html; charset=GBK");
    EXPECT_EQ(decodeAnswerBody(gbk.body, gbk.contentType, CodePageDecoder()), "你好，邮箱");
}

TEST(WindowsCharsets, codePagesByTheirNamesAndNothingForAnUnknownOne)
{
    const CodePageDecoder decoder;
    const std::string gbk = "\xc4\xe3\xba\xc3";
    for (const char *charset : {"GBK", "gb2312", "GB18030", "cp936"})
        EXPECT_EQ(decoder.decode(gbk, charset), "你好") << charset;
    EXPECT_FALSE(decoder.decode(gbk, "no-such-charset"));
}

}  // namespace
}  // namespace venmarra::win32
