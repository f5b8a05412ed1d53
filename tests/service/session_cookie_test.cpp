#include "service/session_cookie.h"

#include <gtest/gtest.h>

namespace venmarra {
namespace {

TEST(SessionCookie, isTheValueAfterTheMarkerCutTo40Characters)
{
    const std::u16string longValue = std::u16string(50, u'a') + u"bcd";
    EXPECT_EQ(learnSessionCookie(u"Server: x\r\nSet-Cookie: sid=" + longValue + u"; Path=/\r\n"),
              std::u16string(40, u'a'));
    const std::u16string exact(40, u'z');
    EXPECT_EQ(learnSessionCookie(u"Set-Cookie: sid=" + exact + u"\r\n"), exact);
}

TEST(SessionCookie, endsAtTheFirstSemicolonLineBreakOrNul)
{
    // Attributes, line breaks and the next header never become part of the value.
    EXPECT_EQ(learnSessionCookie(u"Set-Cookie: sid=short; Path=/; HttpOnly\r\nX-Next: 1\r\n"), u"short");
    EXPECT_EQ(learnSessionCookie(u"Set-Cookie: sid=abc\r\nInjected: yes\r\n"), u"abc");
    EXPECT_EQ(learnSessionCookie(u"Set-Cookie: sid=abc\nInjected: yes"), u"abc");
    EXPECT_EQ(learnSessionCookie(u"Set-Cookie: sid=ab\rc"), u"ab");
    EXPECT_EQ(learnSessionCookie(std::u16string(u"Set-Cookie: sid=ab") + u'\0' + u"cd"), u"ab");
    // A value that holds a space but no separator is kept as it stands.
    EXPECT_EQ(learnSessionCookie(u"Set-Cookie: sid=a b;x"), u"a b");
}

TEST(SessionCookie, headerNameInAnyCaseButCookieNameExact)
{
    EXPECT_EQ(learnSessionCookie(u"set-cookie: sid=lower\r\n"), u"lower");
    EXPECT_EQ(learnSessionCookie(u"SET-COOKIE: sid=upper\r\n"), u"upper");
    EXPECT_EQ(learnSessionCookie(u"Set-Cookie: SID=nope\r\n"), std::nullopt);
    EXPECT_EQ(learnSessionCookie(u"Set-Cookie: SID=nope\r\nSet-Cookie: sid=yes\r\n"), u"yes");
    EXPECT_EQ(learnSessionCookie(u"Set-Cookie:sid=nospace\r\n"), std::nullopt);
}

TEST(SessionCookie, firstOfTwoCookiesWinsAndMarkerAtTheEndGivesEmptyValue)
{
    EXPECT_EQ(learnSessionCookie(u"Set-Cookie: sid=one\r\nSet-Cookie: sid=two\r\n"), u"one");
    EXPECT_EQ(learnSessionCookie(u"Set-Cookie: sid=Set-Cookie: sid=x"), u"Set-Cookie: sid=x");
    EXPECT_EQ(learnSessionCookie(u"A: b\r\nSet-Cookie: sid="), u"");
    EXPECT_TRUE(learnSessionCookie(u"Set-Cookie: sid=").has_value());
    EXPECT_EQ(learnSessionCookie(u"Set-Cookie: other=1\r\n"), std::nullopt);
    EXPECT_EQ(learnSessionCookie(u""), std::nullopt);
}

}  // namespace
}  // namespace venmarra
