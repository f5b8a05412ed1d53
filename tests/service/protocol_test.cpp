#include "service/protocol.h"

#include <gtest/gtest.h>

namespace venmarra {
namespace {

// The two markers of the service's home page, as it writes them.
const std::string kOpen = "<input id=\"converts\" name=\"converts\" type=\"text\" value=\"";
const std::string kClose = "\" valid='{\"minlength\":3}'";

std::string replaced(std::string text, std::string_view from, std::string_view to)
{
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

TEST(ServiceUrl, takesAHostOrTheHostAndPortOfAUrl)
{
    for (const auto &[given, url] : {std::pair("mail.example", u"http://mail.example/"),
                                     {"127.0.0.1:17080", u"http://127.0.0.1:17080/"},
                                     {"http://127.0.0.1:18080/", u"http://127.0.0.1:18080/"},
                                     {"HTTP://mail.example:8080/path?q", u"http://mail.example:8080/"}})
        EXPECT_EQ(serviceUrlFor(given), url) << given;
}

TEST(MailboxName, isCutBetweenTheFirstOpeningMarkerAndTheClosingMarkerAndEmptyWithoutAnExactOpeningOne)
{
    EXPECT_EQ(cutMailboxName("<p>" + kOpen + "abc123" + kClose + " /><p>"), "abc123");
    // A second opening marker ends the piece; the closing marker then cuts it.
    EXPECT_EQ(cutMailboxName(kOpen + "first" + kClose + kOpen + "second" + kClose), "first");
    EXPECT_EQ(cutMailboxName(kOpen + "first" + kOpen + "second" + kClose), "first");
    // Without a closing marker the name runs to the end of the page (or the next opening marker).
    EXPECT_EQ(cutMailboxName("x" + kOpen + "tail\" />"), "tail\" />");
    // Only the opening marker is compared strictly; a different closing part is no marker.
    EXPECT_EQ(cutMailboxName(kOpen + "abc\" valid='{\"minlength\":4}'"), "abc\" valid='{\"minlength\":4}'");
    // The name is neither trimmed nor checked.
    EXPECT_EQ(cutMailboxName(kOpen + " a&b=c " + kClose), " a&b=c ");
    EXPECT_EQ(cutMailboxName(""), "");
    EXPECT_EQ(cutMailboxName("<html>no form</html>"), "");
    EXPECT_EQ(cutMailboxName(kOpen + kClose), "");
    EXPECT_EQ(cutMailboxName("page" + kOpen), "");
    EXPECT_EQ(cutMailboxName(replaced(kOpen, "converts", "Converts") + "abc" + kClose), "");
    EXPECT_EQ(cutMailboxName(replaced(kOpen, "type=\"text\"", "type='text'") + "abc" + kClose), "");
    const std::string reordered = "<input name=\"converts\" id=\"converts\" type=\"text\" value=\"";
    EXPECT_EQ(cutMailboxName(reordered + "abc" + kClose), "");
}

TEST(FormBodies, plainValuesGoOutAsTheyStandAndSeparatorsAreEncodedSoTheyCannotAddOrBreakFields)
{
    EXPECT_EQ(refreshBody(u"abc123"), u"data=abc123&type=refresh&arg=");
    EXPECT_EQ(refreshBody(u""), u"data=&type=refresh&arg=");
    EXPECT_EQ(mailInfoBody(u"abc123", u"98765"), u"data=abc123&type=mailinfo&arg=f%3D98765");
    EXPECT_EQ(mailInfoBody(u"", u"m1"), u"data=&type=mailinfo&arg=f%3Dm1");
    EXPECT_EQ(refreshBody(u"a&type=x"), u"data=a%26type%3Dx&type=refresh&arg=");
    EXPECT_EQ(refreshBody(u"50% +1"), u"data=50%25%20%2B1&type=refresh&arg=");
    EXPECT_EQ(mailInfoBody(u"box", u"f%3D&arg=2"), u"data=box&type=mailinfo&arg=f%3Df%253D%26arg%3D2");
    EXPECT_EQ(refreshBody(u"邮箱"), u"data=%E9%82%AE%E7%AE%B1&type=refresh&arg=");
}

}  // namespace
}  // namespace venmarra
