#include "service/charset.h"

#include <gtest/gtest.h>

namespace venmarra {
namespace {

TEST(Charset, isReadFromTheContentTypeParameter)
{
    EXPECT_EQ(charsetOf("text/html; charset=GBK"), "GBK");
    EXPECT_EQ(charsetOf("text/html;Charset=\"gb2312\";q=1"), "gb2312");
    EXPECT_EQ(charsetOf("application/json"), "");
    EXPECT_EQ(charsetOf(""), "");
    EXPECT_EQ(charsetOf("text/plain; format=flowed"), "");
}

TEST(Charset, answersAreDecodedByTheirCharsetElseAsUtf8)
{
    const QString greeting = QStringLiteral("你好，邮箱");
    const QByteArray gbk("\xc4\xe3\xba\xc3\xa3\xac\xd3\xca\xcf\xe4");
    EXPECT_EQ(decodeAnswerBody(gbk, "text/html; charset=GBK"), greeting);
    EXPECT_EQ(decodeAnswerBody(gbk, "text/html; charset=gb2312"), greeting);
    EXPECT_EQ(decodeAnswerBody(gbk, "text/html; charset=GB18030"), greeting);
    EXPECT_EQ(decodeAnswerBody(greeting.toUtf8(), "application/json"), greeting);
    EXPECT_EQ(decodeAnswerBody(greeting.toUtf8(), "text/html; charset=no-such-charset"), greeting);
    EXPECT_EQ(decodeAnswerBody("", "text/html"), QString());
}

TEST(Charset, invalidBytesBecomeReplacementCharacters)
{
    EXPECT_EQ(decodeAnswerBody("a\xff"
                               "b",
                               "text/plain"),
              QStringLiteral("a\uFFFDb"));
    EXPECT_EQ(decodeAnswerBody("a\xff"
                               "b",
                               "text/plain; charset=GBK"),
              QStringLiteral("a\uFFFDb"));
}

}  // namespace
}  // namespace venmarra
