#include "linux/iconv_decoder.h"
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
    const IconvDecoder decoder;
    const std::string greeting = "你好，邮箱";
    const std::string utf8 = "\xe4\xbd\xa0\xe5\xa5\xbd\xef\xbc\x8c\xe9\x82\xae\xe7\xae\xb1";
    const std::string gbk = "\xc4\xe3\xba\xc3\xa3\xac\xd3\xca\xcf\xe4";
    const std::pair<std::string, std::string> cases[] = {
        {gbk, "text/html; charset=GBK"},     {gbk, "text/html; charset=gb2312"},
        {gbk, "text/html; charset=GB18030"}, {utf8, "application/json"},
        {utf8, "text/html; charset=UTF-8"},  {utf8, "text/html; charset=no-such-charset"},
        {utf8, "text/html; charset=\" \""},  // a blank name is none, not the locale's charset
    };
    for (const auto &[body, contentType] : cases)
        EXPECT_EQ(decodeAnswerBody(body, contentType, decoder), greeting) << contentType;
    EXPECT_EQ(decodeAnswerBody("", "text/html", decoder), "");
}

TEST(Charset, invalidBytesBecomeReplacementCharacters)
{
    const IconvDecoder decoder;
    for (const char *contentType :
         {"text/plain", "text/plain; charset=GBK", "text/plain; charset=ISO-8859-7"})
        EXPECT_EQ(decodeAnswerBody("a\377b", contentType, decoder), "a\uFFFDb") << contentType;
    // A sequence cut short by the end of the answer.
    EXPECT_EQ(decodeAnswerBody("a\xc4", "text/plain; charset=GBK", decoder), "a\uFFFD");
}

}  // namespace
}  // namespace venmarra
