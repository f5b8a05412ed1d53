#include "service/session_cookie.h"

#include <gtest/gtest.h>

namespace venmarra {
namespace {

TEST(SessionCookie, isTheFirstSidValueCutAtASeparatorAndTo40Characters)
{
    const std::pair<std::u16string, SessionCookie> cases[] = {
        {u"Server: x\r\nSet-Cookie: sid=" + std::u16string(50, u'a') + u"bcd; Path=/\r\n",
         std::u16string(40, u'a')},
        {u"Set-Cookie: sid=" + std::u16string(40, u'z') + u"\r\n", std::u16string(40, u'z')},
        // Attributes, line breaks and the next header never become part of the value.
        {u"Set-Cookie: sid=short; Path=/; HttpOnly\r\nX-Next: 1\r\n", u"short"},
        {u"Set-Cookie: sid=abc\r\nInjected: yes\r\n", u"abc"},
        {u"Set-Cookie: sid=abc\nInjected: yes", u"abc"},
        {u"Set-Cookie: sid=ab\rc", u"ab"},
        {std::u16string(u"Set-Cookie: sid=ab") + u'\0' + u"cd", u"ab"},
        {u"Set-Cookie: sid=a b;x", u"a b"},  // a space is no separator
        // The header's name in any case, the cookie's exactly.
        {u"set-cookie: sid=lower\r\n", u"lower"},
        {u"SET-COOKIE: sid=upper\r\n", u"upper"},
        {u"Set-Cookie: SID=nope\r\n", std::nullopt},
        {u"Set-Cookie: SID=nope\r\nSet-Cookie: sid=yes\r\n", u"yes"},
        {u"Set-Cookie:sid=nospace\r\n", std::nullopt},
        // The first of two wins; the marker at the very end gives an empty value.
        {u"Set-Cookie: sid=one\r\nSet-Cookie: sid=two\r\n", u"one"},
        {u"Set-Cookie: sid=Set-Cookie: sid=x", u"Set-Cookie: sid=x"},
        {u"A: b\r\nSet-Cookie: sid=", u""},
        {u"Set-Cookie: other=1\r\n", std::nullopt},
        {u"", std::nullopt},
    };
    for (const auto &[headers, cookie] : cases)
        EXPECT_EQ(learnSessionCookie(headers), cookie) << testing::PrintToString(headers);
}

}  // namespace
}  // namespace venmarra
