#include "text/charset_name.h"
#include "text/inert.h"
#include "text/utf.h"

#include <gtest/gtest.h>

namespace venmarra::text {
namespace {

TEST(Utf8, eachIllFormedSequenceBecomesOneReplacementCharacterAndNeverTakesTheByteAfterIt)
{
    const std::pair<std::string_view, std::u16string_view> cases[] = {
        {"a\xc3\xa9\xe9\x82\xae\xf0\x9f\x98\x80", u"aé邮😀"},
        {"a\377b", u"a\uFFFDb"},
        {"\xc3\n2026", u"\uFFFD\n2026"},  // a lead byte before a line end
        {"\xe2\x1b[2J", u"\uFFFD\x1b[2J"},  // and before an escape
        {"\351\202b", u"\uFFFDb"},  // a three-byte sequence cut after two bytes
        {"\xc0\x8a", u"\uFFFD"},  // an overlong line end
        {"\xe0\x80\x8a!", u"\uFFFD!"},
        {"\xed\xa0\x80", u"\uFFFD"},  // an encoded surrogate
        {"\xf4\x90\x80\x80", u"\uFFFD"},  // past U+10FFFF
        {"\x80\x9b[31m", u"\uFFFD\uFFFD[31m"},  // stray continuation bytes
        {"\xf0\x9f\x98", u"\uFFFD"},  // cut short by the end
    };
    for (const auto &[bytes, text] : cases) {
        EXPECT_EQ(utf16FromUtf8(bytes), text) << testing::PrintToString(std::string(bytes));
        EXPECT_EQ(validUtf8(std::string(bytes)), utf8FromUtf16(text));
    }
}

TEST(Utf16, isWrittenAsUtf8WithLoneSurrogatesReplaced)
{
    EXPECT_EQ(utf8FromUtf16(u"aé邮😀"), "a\xc3\xa9\xe9\x82\xae\xf0\x9f\x98\x80");
    EXPECT_EQ(utf8FromUtf16(
                  std::u16string {u'a', static_cast<char16_t>(0xD83D), u'b', static_cast<char16_t>(0xDC00)}),
              "a\357\277\275b\357\277\275");
}

TEST(Inert, controlsAndFormattingThatCouldMoveOrHideTextAreShownAsSymbols)
{
    const struct {
        char32_t c, oneLine, layoutKept;
    } cases[] = {
        {U'a', U'a', U'a'},       {0x01, 0x2401, 0x2401},   {U'\n', 0x240A, U'\n'},
        {U'\t', 0x2409, U'\t'},   {0x7F, 0xFFFD, 0xFFFD},   {0x9B, 0xFFFD, 0xFFFD},  // DEL, C1
        {0x202E, 0xFFFD, 0xFFFD}, {0x2068, 0xFFFD, 0xFFFD}, {0xFDD0, 0xFFFD, 0xFFFD},
        {0x2028, 0xFFFD, 0x2028}, {0x200E, 0x200E, 0x200E}, {U'邮', U'邮', U'邮'},  // a mark stays
    };
    for (const auto &c : cases) {
        EXPECT_EQ(inertCharacter(c.c, Layout::OneLine), c.oneLine) << std::hex << static_cast<unsigned>(c.c);
        EXPECT_EQ(inertCharacter(c.c, Layout::LineBreaksKept), c.layoutKept)
            << std::hex << static_cast<unsigned>(c.c);
    }
    EXPECT_EQ(inertUtf8("\xc3\n2026\xe2\x1b[2J\xc2\x9b", Layout::OneLine),
              "\uFFFD\u240A2026\uFFFD\u241B[2J\uFFFD");
    EXPECT_EQ(inertUtf8("邮件邮件", Layout::OneLine, 3), "邮件邮");
}

TEST(CharsetName, namesOneCharsetByOneName)
{
    for (const char *gbk : {"GBK", " gb2312", "X-GBK", "cp936"})
        EXPECT_EQ(canonicalCharset(gbk), "gbk") << gbk;
    EXPECT_EQ(canonicalCharset("UTF8"), "utf-8");
    EXPECT_EQ(canonicalCharset("Big5"), "big5");
}

}  // namespace
}  // namespace venmarra::text
