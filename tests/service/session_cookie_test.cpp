#include "service/session_cookie.h"

#include <gtest/gtest.h>

namespace venmarra {
namespace {

TEST(SessionCookie, isTheValueAfterTheMarkerCutTo40Characters)
{
    const QString longValue = QString(50, QLatin1Char('a')) + "bcd";
    EXPECT_EQ(learnSessionCookie("Server: x\r\nSet-Cookie: sid=" + longValue + "; Path=/\r\n"),
              QString(40, QLatin1Char('a')));
    const QString exact = QString(40, QLatin1Char('z'));
    EXPECT_EQ(learnSessionCookie("Set-Cookie: sid=" + exact + "\r\n"), exact);
}

TEST(SessionCookie, endsAtTheFirstSemicolonLineBreakOrNul)
{
    // Attributes, line breaks and the next header never become part of the value.
    EXPECT_EQ(learnSessionCookie("Set-Cookie: sid=short; Path=/; HttpOnly\r\nX-Next: 1\r\n"), "short");
    EXPECT_EQ(learnSessionCookie("Set-Cookie: sid=abc\r\nInjected: yes\r\n"), "abc");
    EXPECT_EQ(learnSessionCookie("Set-Cookie: sid=abc\nInjected: yes"), "abc");
    EXPECT_EQ(learnSessionCookie("Set-Cookie: sid=ab\rc"), "ab");
    EXPECT_EQ(learnSessionCookie(QStringLiteral("Set-Cookie: sid=ab") + QChar(0) + "cd"), "ab");
    // A value that holds a space but no separator is kept as it stands.
    EXPECT_EQ(learnSessionCookie("Set-Cookie: sid=a b;x"), "a b");
}

TEST(SessionCookie, headerNameInAnyCaseButCookieNameExact)
{
    EXPECT_EQ(learnSessionCookie("set-cookie: sid=lower\r\n"), "lower");
    EXPECT_EQ(learnSessionCookie("SET-COOKIE: sid=upper\r\n"), "upper");
    EXPECT_EQ(learnSessionCookie("Set-Cookie: SID=nope\r\n"), std::nullopt);
    EXPECT_EQ(learnSessionCookie("Set-Cookie: SID=nope\r\nSet-Cookie: sid=yes\r\n"), "yes");
    EXPECT_EQ(learnSessionCookie("Set-Cookie:sid=nospace\r\n"), std::nullopt);
}

TEST(SessionCookie, firstOfTwoCookiesWinsAndMarkerAtTheEndGivesEmptyValue)
{
    EXPECT_EQ(learnSessionCookie("Set-Cookie: sid=one\r\nSet-Cookie: sid=two\r\n"), "one");
    EXPECT_EQ(learnSessionCookie("Set-Cookie: sid=Set-Cookie: sid=x"), "Set-Cookie: sid=x");
    EXPECT_EQ(learnSessionCookie("A: b\r\nSet-Cookie: sid="), QString(""));
    EXPECT_TRUE(learnSessionCookie("Set-Cookie: sid=").has_value());
    EXPECT_EQ(learnSessionCookie("Set-Cookie: other=1\r\n"), std::nullopt);
    EXPECT_EQ(learnSessionCookie(QString()), std::nullopt);
}

}  // namespace
}  // namespace venmarra
