#include "service/exchange_rules.h"

#include "logic_fixture.h"

#include <gtest/gtest.h>

namespace venmarra {
namespace {

using test::hasHeader;
const test::Utf8Only kCharsets;

TEST(HttpRequestMethod, onlyExactGetIsAGetEveryOtherTextIsAFormPostWithTheCookieOnceKnownAndTheBodyAsUtf8)
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
    const ExchangeRequest post = buildExchangeRequest(u"POST", u"http://h/", u"data=邮箱", u"abc");
    EXPECT_TRUE(hasHeader(post, "Cookie: sid=abc"));
    EXPECT_EQ(post.body, "data=\xe9\x82\xae\xe7\xae\xb1");
    // The bytes that the service set go back as they were; an empty or "0" value is a value too.
    EXPECT_TRUE(hasHeader(buildExchangeRequest(u"POST", u"http://h/", u"", u"caf\u00e9\u00ff"),
                          "Cookie: sid=caf\xe9\xff"));
    EXPECT_TRUE(hasHeader(buildExchangeRequest(u"POST", u"http://h/", u"", u""), "Cookie: sid="));
    EXPECT_TRUE(hasHeader(buildExchangeRequest(u"POST", u"http://h/", u"", u"0"), "Cookie: sid=0"));
}

TEST(HttpRequestOutcome, onlyA200GivesTextAndTeachesTheCookieWhileNoneIsKnown)
{
    using Kind = ExchangeProblem::Kind;
    const struct {
        long status;
        const char *headers, *body;
        SessionCookie known, learned;
        std::string_view text;
        std::optional<Kind> problem;
    } cases[] = {
        {200, "Set-Cookie: sid=abc; Path=/\r\n", "body", std::nullopt, u"abc", "body", std::nullopt},
        {200, "Set-Cookie: sid=caf\xe9\xff\x1b]0\r\n", "body", std::nullopt, u"caf\u00e9\u00ff", "body",
         std::nullopt},
        {200, "Set-Cookie: sid=0\r\n", "body", std::nullopt, u"0", "body", std::nullopt},
        {200, "Set-Cookie: sid=new\r\n", "body", u"abc", std::nullopt, "body", std::nullopt},
        {200, "Set-Cookie: sid=e\r\n", "", std::nullopt, u"e", "", std::nullopt},
        {200, "Server: x\r\n", "body", std::nullopt, std::nullopt, "body", Kind::NoSessionCookie},
        {404, "Set-Cookie: sid=x\r\n", "body", std::nullopt, std::nullopt, "", Kind::Status},
        {302, "Set-Cookie: sid=x\r\n", "body", std::nullopt, std::nullopt, "", Kind::Status},
        {201, "Set-Cookie: sid=x\r\n", "body", std::nullopt, std::nullopt, "", Kind::Status},
    };
    for (const auto &c : cases) {
        ExchangeResult answer;
        answer.status = c.status, answer.headerText = c.headers, answer.body = c.body;
        const HttpRequestOutcome outcome = interpretExchange(answer, c.known, kCharsets);
        SCOPED_TRACE(testing::Message() << c.status << ' ' << c.headers);
        EXPECT_EQ(outcome.result, c.text);
        EXPECT_EQ(outcome.learnedSession, c.learned);
        EXPECT_EQ(outcome.problem ? std::optional(outcome.problem->kind) : std::nullopt, c.problem);
        if (c.problem == Kind::Status && outcome.problem) {
            EXPECT_EQ(outcome.problem->status, c.status);
        }
    }
}

}  // namespace
}  // namespace venmarra
