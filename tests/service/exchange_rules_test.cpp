#include "service/exchange_rules.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace venmarra {
namespace {

// No charset of a platform's own: bodies are read as UTF-8.
class Utf8Only final : public CharsetDecoder {
public:
    std::optional<std::u16string> decode(std::string_view, std::string_view) const override { return std::nullopt; }
};
const Utf8Only kCharsets;

bool hasHeader(const ExchangeRequest &request, const std::string &line)
{
    return std::find(request.headers.begin(), request.headers.end(), line) != request.headers.end();
}

TEST(HttpRequestMethod, onlyExactGetIsAGetAndEveryOtherTextIsAFormPost)
{
    for (const SessionCookie &cookie : {SessionCookie(), SessionCookie(u"known")}) {
        const ExchangeRequest get = buildExchangeRequest(u"GET", u"http://h/", u"ignored", cookie);
        EXPECT_TRUE(get.isGet);
        EXPECT_TRUE(get.headers.empty()) << "a GET carries no header of its own";
    }
    for (const std::u16string_view method : {u"get", u"Get", u"", u"POST", u"PUT"}) {
        const ExchangeRequest post = buildExchangeRequest(method, u"http://h/", u"data=x", std::nullopt);
        EXPECT_FALSE(post.isGet) << testing::PrintToString(std::u16string(method));
        EXPECT_EQ(post.body, "data=x");
        EXPECT_EQ(post.headers, std::vector<std::string> {"Content-Type: application/x-www-form-urlencoded"});
    }
}

TEST(HttpRequestMethod, aPostCarriesTheCookieOnceItIsKnownAndTheBodyAsUtf8)
{
    const ExchangeRequest post = buildExchangeRequest(u"POST", u"http://h/", u"data=邮箱", u"abc");
    EXPECT_TRUE(hasHeader(post, "Cookie: sid=abc"));
    EXPECT_EQ(post.body, "data=\xe9\x82\xae\xe7\xae\xb1");
    // An empty learned value is a value too, so it goes out as "sid=" alone.
    EXPECT_TRUE(hasHeader(buildExchangeRequest(u"POST", u"http://h/", u"", u""), "Cookie: sid="));
}

ExchangeResult answer(long status, std::string headers, std::string body = "body")
{
    ExchangeResult result;
    result.status = status;
    result.headerText = std::move(headers);
    result.body = std::move(body);
    return result;
}

TEST(HttpRequestOutcome, statusOtherThan200IsReportedWithItsCodeAndGivesEmptyText)
{
    for (long status : {404L, 500L, 302L, 201L}) {
        const HttpRequestOutcome outcome
            = interpretExchange(answer(status, "Set-Cookie: sid=x\r\n"), std::nullopt, kCharsets);
        EXPECT_EQ(outcome.result, u"");
        ASSERT_TRUE(outcome.problem);
        EXPECT_EQ(outcome.problem->kind, ExchangeProblem::Kind::Status);
        EXPECT_EQ(outcome.problem->status, status);
        EXPECT_FALSE(outcome.learnedSession) << "only a status-200 answer teaches the cookie";
    }
}

TEST(HttpRequestOutcome, status200LearnsTheCookieOnlyWhileNoneIsKnown)
{
    HttpRequestOutcome first
        = interpretExchange(answer(200, "Set-Cookie: sid=abc; Path=/\r\n"), std::nullopt, kCharsets);
    EXPECT_EQ(first.result, u"body");
    EXPECT_EQ(first.learnedSession, u"abc");
    EXPECT_FALSE(first.problem);

    HttpRequestOutcome later = interpretExchange(answer(200, "Set-Cookie: sid=new\r\n"), u"abc", kCharsets);
    EXPECT_FALSE(later.learnedSession);
    EXPECT_FALSE(later.problem);

    HttpRequestOutcome empty = interpretExchange(answer(200, "Set-Cookie: sid=e\r\n", ""), std::nullopt, kCharsets);
    EXPECT_EQ(empty.result, u"");
    EXPECT_FALSE(empty.problem);
}

TEST(HttpRequestOutcome, status200WithoutTheCookieIsReportedButStillGivesTheBody)
{
    const HttpRequestOutcome outcome = interpretExchange(answer(200, "Server: x\r\n"), std::nullopt, kCharsets);
    EXPECT_EQ(outcome.result, u"body");
    EXPECT_FALSE(outcome.learnedSession);
    ASSERT_TRUE(outcome.problem);
    EXPECT_EQ(outcome.problem->kind, ExchangeProblem::Kind::NoSessionCookie);
}

TEST(HttpRequestOutcome, aFailedExchangeIsReportedWithItsKindAndTheClientsWords)
{
    ExchangeResult result;
    result.failure = ExchangeFailure::Timeout;
    result.failureDetail = u"detail";
    const HttpRequestOutcome outcome = interpretExchange(result, std::nullopt, kCharsets);
    ASSERT_TRUE(outcome.problem);
    EXPECT_EQ(outcome.problem->kind, ExchangeProblem::Kind::Failed);
    EXPECT_EQ(outcome.problem->failure, ExchangeFailure::Timeout);
    EXPECT_EQ(outcome.problem->detail, u"detail");
    EXPECT_EQ(outcome.result, u"");
    EXPECT_FALSE(outcome.learnedSession);
}

}  // namespace
}  // namespace venmarra
