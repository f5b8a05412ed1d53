#include "service/exchange_rules.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace venmarra {
namespace {

bool hasHeader(const ExchangeRequest &request, const std::string &line)
{
    return std::find(request.headers.begin(), request.headers.end(), line) != request.headers.end();
}

TEST(HttpRequestMethod, onlyExactGetIsAGetAndEveryOtherTextIsAFormPost)
{
    for (const SessionCookie &cookie : {SessionCookie(), SessionCookie("known")}) {
        const ExchangeRequest get = buildExchangeRequest("GET", "http://h/", "ignored", cookie);
        EXPECT_TRUE(get.isGet);
        EXPECT_TRUE(get.headers.empty()) << "a GET carries no header of its own";
    }
    for (const QString &method : {QStringLiteral("get"), QStringLiteral("Get"), QString(),
                                  QStringLiteral("POST"), QStringLiteral("PUT")}) {
        const ExchangeRequest post = buildExchangeRequest(method, "http://h/", "data=x", std::nullopt);
        EXPECT_FALSE(post.isGet) << method.toStdString();
        EXPECT_EQ(post.body, "data=x");
        EXPECT_EQ(post.headers, std::vector<std::string> {"Content-Type: application/x-www-form-urlencoded"});
    }
}

TEST(HttpRequestMethod, aPostCarriesTheCookieOnceItIsKnownAndTheBodyAsUtf8)
{
    const ExchangeRequest post = buildExchangeRequest("POST", "http://h/", "data=邮箱", "abc");
    EXPECT_TRUE(hasHeader(post, "Cookie: sid=abc"));
    EXPECT_EQ(post.body, QByteArray("data=\xe9\x82\xae\xe7\xae\xb1"));
    // An empty learned value is a value too, so it goes out as "sid=" alone.
    EXPECT_TRUE(hasHeader(buildExchangeRequest("POST", "http://h/", "", ""), "Cookie: sid="));
}

ExchangeResult answer(long status, QByteArray headers, QByteArray body = "body")
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
            = interpretExchange(answer(status, "Set-Cookie: sid=x\r\n"), std::nullopt);
        EXPECT_EQ(outcome.result, QString());
        ASSERT_TRUE(outcome.problem);
        EXPECT_EQ(outcome.problem->kind, ExchangeProblem::Kind::Status);
        EXPECT_EQ(outcome.problem->status, status);
        EXPECT_FALSE(outcome.learnedSession) << "only a status-200 answer teaches the cookie";
    }
}

TEST(HttpRequestOutcome, status200LearnsTheCookieOnlyWhileNoneIsKnown)
{
    HttpRequestOutcome first
        = interpretExchange(answer(200, "Set-Cookie: sid=abc; Path=/\r\n"), std::nullopt);
    EXPECT_EQ(first.result, "body");
    EXPECT_EQ(first.learnedSession, "abc");
    EXPECT_FALSE(first.problem);

    HttpRequestOutcome later = interpretExchange(answer(200, "Set-Cookie: sid=new\r\n"), "abc");
    EXPECT_FALSE(later.learnedSession);
    EXPECT_FALSE(later.problem);

    HttpRequestOutcome empty = interpretExchange(answer(200, "Set-Cookie: sid=e\r\n", ""), std::nullopt);
    EXPECT_EQ(empty.result, QString());
    EXPECT_FALSE(empty.problem);
}

TEST(HttpRequestOutcome, status200WithoutTheCookieIsReportedButStillGivesTheBody)
{
    const HttpRequestOutcome outcome = interpretExchange(answer(200, "Server: x\r\n"), std::nullopt);
    EXPECT_EQ(outcome.result, "body");
    EXPECT_FALSE(outcome.learnedSession);
    ASSERT_TRUE(outcome.problem);
    EXPECT_EQ(outcome.problem->kind, ExchangeProblem::Kind::NoSessionCookie);
}

TEST(HttpRequestOutcome, aFailedExchangeIsReportedWithItsKindAndTheClientsWords)
{
    ExchangeResult result;
    result.failure = ExchangeFailure::Timeout;
    result.failureDetail = "detail";
    const HttpRequestOutcome outcome = interpretExchange(result, std::nullopt);
    ASSERT_TRUE(outcome.problem);
    EXPECT_EQ(outcome.problem->kind, ExchangeProblem::Kind::Failed);
    EXPECT_EQ(outcome.problem->failure, ExchangeFailure::Timeout);
    EXPECT_EQ(outcome.problem->detail, "detail");
    EXPECT_EQ(outcome.result, QString());
    EXPECT_FALSE(outcome.learnedSession);
}

}  // namespace
}  // namespace venmarra
