#include "service/answer_reader.h"

#include <gtest/gtest.h>

namespace venmarra {
namespace {

std::u16string read(std::u16string_view answer, std::u16string_view expression)
{
    return textForm(AnswerReader(answer).read(expression));
}

const std::u16string kRefresh
    = (uR"({"data":[{"user":{"USER":"abc","STATUS":1,"ADDTIME":"2026-12-06 10:00:00",
    "EXPIRETIME":"2026-12-06 10:10:00"},"list":[{"FROM":"a@b.c","SUBJECT":"你好","MID":"m2"},
    {"FROM":"old@b.c","SUBJECT":"old","MID":"m1"}]}]})");

TEST(AnswerReader, readsTheRefreshAnswerByItsFixedPaths)
{
    EXPECT_EQ(read(kRefresh, u"data.data[0].user.USER"), u"abc");
    EXPECT_EQ(read(kRefresh, u"data.data[0].user.STATUS"), u"1");
    EXPECT_EQ(read(kRefresh, u"data.data[0].user.ADDTIME"), u"2026-12-06 10:00:00");
    EXPECT_EQ(read(kRefresh, u"data.data[0].list[0].FROM"), u"a@b.c");
    EXPECT_EQ(read(kRefresh, u"data.data[0].list[0].SUBJECT"), u"你好");
    EXPECT_EQ(read(kRefresh, u"data.data[0].list[0].MID"), u"m2");
    EXPECT_EQ(read(kRefresh, u"data.data[0].list[1].MID"), u"m1");
}

TEST(AnswerReader, indexingPicksArrayElementsObjectMembersAndStringCharacters)
{
    const std::u16string asArray = uR"({"data":[[0,[{"DATA":["array content"]}]]]})";
    const std::u16string asObject = uR"({"data":[{"1":[{"DATA":["object content"]}]}]})";
    EXPECT_EQ(read(asArray, u"data.data[0][1][0].DATA[0]"), u"array content");
    EXPECT_EQ(read(asObject, u"data.data[0][1][0].DATA[0]"), u"object content");
    EXPECT_EQ(read(uR"({"data":"xyz"})", u"data.data[1]"), u"y");
    EXPECT_EQ(read(uR"({"data":"xyz"})", u"data.data[5]"), u"");
    EXPECT_EQ(read(uR"({"data":[1,2]})", u"data.data[2]"), u"");
}

TEST(AnswerReader, missingPartsAndWrongShapesGiveNoValue)
{
    const std::u16string noUser = uR"({"data":[{"list":[{"FROM":"f","MID":"1"}]}]})";
    EXPECT_FALSE(AnswerReader(noUser).read(u"data.data[0].user.USER"));
    EXPECT_EQ(read(noUser, u"data.data[0].list[0].FROM"), u"f");
    const std::u16string noList = uR"({"data":[{"user":{"USER":"u"}}]})";
    EXPECT_EQ(read(noList, u"data.data[0].user.USER"), u"u");
    EXPECT_FALSE(AnswerReader(noList).read(u"data.data[0].list[0].FROM"));
    EXPECT_FALSE(AnswerReader(uR"({"data":[{"list":[]}]})").read(u"data.data[0].list[0].FROM"));
    EXPECT_FALSE(AnswerReader(uR"({"data":null})").read(u"data.data[0].user.USER"));
    EXPECT_FALSE(AnswerReader(uR"({"data":[{"user":5}]})").read(u"data.data[0].user.USER"));
    EXPECT_FALSE(AnswerReader(uR"([1])").read(u"data.data[0]"));
}

TEST(AnswerReader, anAnswerThatIsNotJsonGivesNoValueAtAll)
{
    for (const std::u16string_view answer :
         {u"", u"<html>error</html>", uR"({"data":[{"user":{"USER":"u"}}]}x)", uR"({"data":[{"user":{"USER":alert(1)}}]})",
          u"\"just text\"", u"42"}) {
        const AnswerReader reader(answer);
        EXPECT_FALSE(reader.isValid()) << testing::PrintToString(std::u16string(answer));
        EXPECT_FALSE(reader.read(u"data"));
    }
    const std::u16string withBom = u"\uFEFF" + std::u16string(uR"({"data":[{"user":{"USER":"bom"}}]})");
    EXPECT_EQ(read(withBom, u"data.data[0].user.USER"), u"bom");
}

TEST(AnswerReader, textFormsOfValues)
{
    const std::pair<std::u16string_view, std::u16string_view> cases[]
        = {{uR"("text")", u"text"},
           {u"true", u"true"},
           {u"false", u"false"},
           {u"null", u""},
           {u"{\"a\":1}", u""},
           {u"[1,2]", u""},
           // 64-bit integers digit for digit.
           {u"1", u"1"},
           {u"0", u"0"},
           {u"-42", u"-42"},
           {u"9007199254740993", u"9007199254740993"},
           {u"9223372036854775807", u"9223372036854775807"},
           {u"-9223372036854775808", u"-9223372036854775808"},
           // Every other number as JavaScript writes it.
           {u"-0", u"0"},
           {u"0.1", u"0.1"},
           {u"-2.5", u"-2.5"},
           {u"123.456", u"123.456"},
           {u"1.5e-7", u"1.5e-7"},
           {u"0.000001", u"0.000001"},
           {u"1e-7", u"1e-7"},
           {u"5e-324", u"5e-324"},
           {u"18446744073709551616", u"18446744073709552000"},
           {u"1.8e19", u"18000000000000000000"},
           {u"2e19", u"20000000000000000000"},
           {u"1.23e20", u"123000000000000000000"},
           {u"1e21", u"1e+21"},
           {u"1.5e300", u"1.5e+300"},
           {u"-1.7976931348623157e308", u"-1.7976931348623157e+308"},
           {u"4.0", u"4"},
           {u"1E3", u"1000"}};
    for (const auto &[json, text] : cases)
        EXPECT_EQ(read(u"{\"v\":" + std::u16string(json) + u"}", u"data.v"), text)
            << testing::PrintToString(std::u16string(json));
    EXPECT_EQ(read(uR"({"v":1})", u"data.missing"), u"");
}

TEST(AnswerReader, stringsAndKeysAreReadAsJavaScriptReadsThem)
{
    const std::pair<std::u16string_view, std::u16string_view> cases[] = {
        {uR"({"v":"\ud83d\ude00"})", u"😀"},
        {uR"({"v":"a\ud83d"})", u"a\uFFFD"},  // a lone surrogate, as a subject cut in two may end
        {uR"({"v":"\udc00\ud800x"})", u"\uFFFD\uFFFDx"},
        {uR"({"v":"\\ud800"})", uR"(\ud800)"},  // an escaped backslash, then plain text
        {uR"({"v":"a\u0000b"})", std::u16string_view(u"a\0b", 3)},
        {uR"({"v":1,"v":"last"})", u"last"},
    };
    for (const auto &[json, text] : cases)
        EXPECT_EQ(read(json, u"data.v"), text) << testing::PrintToString(std::u16string(json));
    EXPECT_EQ(read(uR"({"v":"😀"})", u"data.v[0]"), std::u16string(1, u'\xD83D')) << "UTF-16 units, not characters";
}

TEST(AnswerReader, nestingPastTheLimitGivesNoValueAndNoStackOverflow)
{
    const auto nested = [](std::size_t depth) {
        return u"{\"v\":" + std::u16string(depth - 1, u'[') + u"1" + std::u16string(depth - 1, u']') + u"}";
    };
    EXPECT_TRUE(AnswerReader(nested(AnswerReader::kMaxNesting)).isValid());
    EXPECT_FALSE(AnswerReader(nested(AnswerReader::kMaxNesting + 1)).isValid());
    EXPECT_FALSE(AnswerReader(std::u16string(1'000'000, u'[')).isValid());
    // Brackets inside strings are text, not nesting.
    EXPECT_EQ(read(u"{\"v\":\"" + std::u16string(5000, u'[') + u"\"}", u"data.v").size(), 5000U);
}

TEST(AnswerReader, answersOfEveryShapeAreReadWithoutHarm)
{
    const auto user = [](std::u16string_view value) {
        return read(u"{\"data\":[{\"user\":{\"USER\":" + std::u16string(value) + u"}}]}", u"data.data[0].user.USER");
    };
    // Numbers past a double's range make the answer unreadable, as a whole.
    for (const std::u16string_view number : {u"1e400", u"-1e400"})
        EXPECT_EQ(user(number), u"") << testing::PrintToString(std::u16string(number));
    for (const std::u16string_view shape :
         {u"1", u"\"s\"", u"true", u"null", u"{}", u"[[]]", u"[1]", u"[{\"user\":[]}]", u"[{\"user\":\"u\"}]"}) {
        const std::u16string answer = u"{\"data\":" + std::u16string(shape) + u"}";
        for (const std::u16string_view path :
             {u"data.data[0].user.USER", u"data.data[0].list[0].FROM", u"data.data[0][1][0].DATA[0]"})
            EXPECT_EQ(read(answer, path), u"") << testing::PrintToString(std::u16string(shape));
    }
}

TEST(AnswerReader, malformedExpressionsGiveNoValue)
{
    const std::u16string answer = uR"({"data":[{"a":1}]})";
    for (const char16_t *expression :
         {u"other.data", u"data.data[u", u"data.data[x]u", u"data.data[-1]u", u"data..data", u"data.data[0]."}) {
        EXPECT_FALSE(AnswerReader(answer).read(expression)) << testing::PrintToString(std::u16string(expression));
    }
    EXPECT_EQ(read(answer, u"data.data[0].a"), u"1");
    // A negative index on a string or an array once read outside the value.
    EXPECT_FALSE(AnswerReader(uR"({"x":"abc","y":[1]})").read(u"data.x[-11]"));
    EXPECT_FALSE(AnswerReader(uR"({"x":"abc","y":[1]})").read(u"data.y[-1]"));
}

}  // namespace
}  // namespace venmarra
