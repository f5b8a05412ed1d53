#include "service/protocol.h"

#include <gtest/gtest.h>

namespace venmarra {
namespace {

const QString kOpen = QString::fromUtf16(kNameOpeningMarker);
const QString kClose = QString::fromUtf16(kNameClosingMarker);

TEST(MailboxName, markersHaveTheirFixedLengths)
{
    EXPECT_EQ(kOpen.size(), 56);
    EXPECT_EQ(kClose.size(), 25);
}

TEST(MailboxName, isCutBetweenTheFirstOpeningMarkerAndTheClosingMarker)
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
}

TEST(MailboxName, isEmptyWithoutAnExactOpeningMarkerOrWithAnEmptyValue)
{
    EXPECT_EQ(cutMailboxName(QString()), QString());
    EXPECT_EQ(cutMailboxName("<html>no form</html>"), QString());
    EXPECT_EQ(cutMailboxName(kOpen + kClose), QString());
    EXPECT_EQ(cutMailboxName("page" + kOpen), QString());
    QString upper = kOpen;
    upper.replace("converts", "Converts");
    EXPECT_EQ(cutMailboxName(upper + "abc" + kClose), QString());
    QString singleQuoted = kOpen;
    singleQuoted.replace("type=\"text\"", "type='text'");
    EXPECT_EQ(cutMailboxName(singleQuoted + "abc" + kClose), QString());
    QString reordered = QStringLiteral("<input name=\"converts\" id=\"converts\" type=\"text\" value=\"");
    EXPECT_EQ(cutMailboxName(reordered + "abc" + kClose), QString());
}

TEST(MailboxName, aLargePageIsCutInOnePass)
{
    const QString page = QString(8 * 1024 * 1024, QLatin1Char('x')) + kOpen + "late" + kClose;
    EXPECT_EQ(cutMailboxName(page), "late");
}

}  // namespace
}  // namespace venmarra

namespace venmarra {
namespace {

TEST(FormBodies, plainNamesAndIdentifiersGoOutAsTheyStand)
{
    EXPECT_EQ(refreshBody("abc123"), "data=abc123&type=refresh&arg=");
    EXPECT_EQ(refreshBody(QString()), "data=&type=refresh&arg=");
    EXPECT_EQ(mailInfoBody("abc123", "98765"), "data=abc123&type=mailinfo&arg=f%3D98765");
    EXPECT_EQ(mailInfoBody(QString(), "m1"), "data=&type=mailinfo&arg=f%3Dm1");
}

TEST(FormBodies, separatorsInValuesAreEncodedSoTheyCannotAddOrBreakFields)
{
    EXPECT_EQ(refreshBody("a&type=x"), "data=a%26type%3Dx&type=refresh&arg=");
    EXPECT_EQ(refreshBody("50% +1"), "data=50%25%20%2B1&type=refresh&arg=");
    EXPECT_EQ(mailInfoBody("box", "f%3D&arg=2"), "data=box&type=mailinfo&arg=f%3Df%253D%26arg%3D2");
    EXPECT_EQ(refreshBody("邮箱"), "data=%E9%82%AE%E7%AE%B1&type=refresh&arg=");
}

}  // namespace
}  // namespace venmarra
