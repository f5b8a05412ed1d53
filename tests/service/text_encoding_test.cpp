#include "service/text_encoding.h"

#include <gtest/gtest.h>

namespace venmarra {
namespace {

TEST(TextEncoding, utf8IsReadWithEachIllFormedPieceAsOneReplacementCharacter)
{
    const std::pair<std::string_view, std::u16string_view> cases[] = {
        {"a\xc3\xa9\xe9\x82\xae\xf0\x9f\x98\x80", u"aé邮😀"},
        {"a\377b", u"a\uFFFDb"},
        {"\351\202b", u"\uFFFDb"},  // a three-byte sequence cut after two bytes
        {"\xc0\xaf", u"\uFFFD\uFFFD"},  // an overlong "/"
        {"\xed\xa0\x80", u"\uFFFD\uFFFD\uFFFD"},  // an encoded surrogate
        {"\xf4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // past U+10FFFF
        {"\xf0\x9f\x98", u"\uFFFD"},  // cut short by the end
    };
    for (const auto &[bytes, text] : cases)
        EXPECT_EQ(utf16FromUtf8(bytes), text) << testing::PrintToString(std::string(bytes));
}

TEST(TextEncoding, utf16IsWrittenAsUtf8WithLoneSurrogatesReplaced)
{
    EXPECT_EQ(utf8FromUtf16(u"aé邮😀"), "a\xc3\xa9\xe9\x82\xae\xf0\x9f\x98\x80");
    EXPECT_EQ(utf8FromUtf16(std::u16string {u'a', char16_t(0xD83D), u'b', char16_t(0xDC00)}),
              "a\357\277\275b\357\277\275");
}

}  // namespace
}  // namespace venmarra
