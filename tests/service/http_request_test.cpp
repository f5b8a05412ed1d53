#include "service/http_request.h"

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
        EXPECT_EQ(outcome.message, "Http错误代码:" + QString::number(status));
        EXPECT_FALSE(outcome.learnedSession) << "only a status-200 answer teaches the cookie";
    }
}

TEST(HttpRequestOutcome, status200LearnsTheCookieOnlyWhileNoneIsKnown)
{
    HttpRequestOutcome first
        = interpretExchange(answer(200, "Set-Cookie: sid=abc; Path=/\r\n"), std::nullopt);
    EXPECT_EQ(first.result, "body");
    EXPECT_EQ(first.learnedSession, "abc");
    EXPECT_EQ(first.message, QString());

    HttpRequestOutcome later = interpretExchange(answer(200, "Set-Cookie: sid=new\r\n"), "abc");
    EXPECT_FALSE(later.learnedSession);
    EXPECT_EQ(later.message, QString());

    HttpRequestOutcome empty = interpretExchange(answer(200, "Set-Cookie: sid=e\r\n", ""), std::nullopt);
    EXPECT_EQ(empty.result, QString());
    EXPECT_EQ(empty.message, QString());
}

TEST(HttpRequestOutcome, status200WithoutTheCookieIsReportedButStillGivesTheBody)
{
    const HttpRequestOutcome outcome = interpretExchange(answer(200, "Server: x\r\n"), std::nullopt);
    EXPECT_EQ(outcome.result, "body");
    EXPECT_FALSE(outcome.learnedSession);
    EXPECT_TRUE(outcome.message.startsWith("错误原因:")) << outcome.message.toStdString();
    EXPECT_TRUE(outcome.message.contains("Set-Cookie: sid="));
}

TEST(HttpRequestOutcome, failedExchangesAreDescribedInChineseWithTheClientsDetail)
{
    const std::pair<ExchangeFailure, QString> cases[] = {
        {ExchangeFailure::Resolve, "无法解析服务器地址"}, {ExchangeFailure::Connect, "无法连接到服务器"},
        {ExchangeFailure::Timeout, "操作超时"},           {ExchangeFailure::TooLarge, "服务器的应答过大"},
        {ExchangeFailure::Other, "网络传输失败"},         {ExchangeFailure::CannotStart, "无法创建网络请求"}};
    for (const auto &[failure, phrase] : cases) {
        ExchangeResult result;
        result.failure = failure;
        result.failureDetail = "detail";
        const HttpRequestOutcome outcome = interpretExchange(result, std::nullopt);
        EXPECT_EQ(outcome.message, "错误原因:" + phrase + "（detail）");
        EXPECT_EQ(outcome.result, QString());
        EXPECT_FALSE(outcome.learnedSession);
    }
}

}  // namespace
}  // namespace venmarra
