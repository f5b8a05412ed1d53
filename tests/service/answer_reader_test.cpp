#include "service/answer_reader.h"

#include <gtest/gtest.h>

#include <optional>

namespace venmarra {
namespace {

std::optional<std::u16string> read(std::u16string_view answer, std::u16string_view expression)
{
    const ReadValue value = AnswerReader(answer).read(expression);
    return value ? std::optional(textForm(value)) : std::nullopt;
}

std::u16string wrapped(std::u16string_view json)
{
    return u"{\"v\":" + std::u16string(json) + u"}";
}

TEST(AnswerReader, readsByPathsAsTheServiceAnswers)
{
    const std::u16string refresh = uR"({"data":[{"user":{"USER":"abc","STATUS":1},"list":[
        {"FROM":"a@b.c","SUBJECT":"你好","MID":"m2"},{"FROM":"old","MID":"m1"}]}]})";
    const struct {
        std::u16string answer;
        std::u16string_view expression;
        std::optional<std::u16string> expected;
    } cases[] = {
        {refresh, u"data.data[0].user.USER", u"abc"},
        {refresh, u"data.data[0].user.STATUS", u"1"},
        {refresh, u"data.data[0].list[0].SUBJECT", u"你好"},
        {refresh, u"data.data[0].list[1].MID", u"m1"},
        {refresh, u"data.data[0].list[1].SUBJECT", std::nullopt},
        {refresh, u"data.data[0].list[2].FROM", std::nullopt},
        // An index picks array elements, object members by name and string characters (UTF-16 units).
        {uR"({"data":[[0,[{"DATA":["array"]}]]]})", u"data.data[0][1][0].DATA[0]", u"array"},
        {uR"({"data":[{"1":[{"DATA":["object"]}]}]})", u"data.data[0][1][0].DATA[0]", u"object"},
        {uR"({"data":"xyz"})", u"data.data[1]", u"y"},
        {uR"({"data":"xyz"})", u"data.data[5]", std::nullopt},
        {uR"({"v":"😀"})", u"data.v[0]", std::u16string(1, u'\xD83D')},
        {uR"({"data":[1,2]})", u"data.data[2]", std::nullopt},
        {uR"({"v":1})", u"data.missing", std::nullopt},
        // Wrong shapes give no value.
        {uR"({"data":null})", u"data.data[0].user.USER", std::nullopt},
        {uR"({"data":[{"user":5}]})", u"data.data[0].user.USER", std::nullopt},
        {uR"({"data":[{"list":[]}]})", u"data.data[0].list[0].FROM", std::nullopt},
        {uR"([1])", u"data.data[0]", std::nullopt},
        // A negative index on a string or an array once read outside the value.
        {uR"({"x":"abc"})", u"data.x[-11]", std::nullopt},
        {uR"({"y":[1]})", u"data.y[-1]", std::nullopt},
        // Malformed expressions give no value.
        {uR"({"data":[{"a":1}]})", u"data.data[0].a", u"1"},
        {uR"({"data":[{"a":1}]})", u"other.data", std::nullopt},
        {uR"({"data":[{"a":1}]})", u"data.data[u", std::nullopt},
        {uR"({"data":[{"a":1}]})", u"data.data[x]u", std::nullopt},
        {uR"({"data":[{"a":1}]})", u"data..data", std::nullopt},
        {uR"({"data":[{"a":1}]})", u"data.data[0].", std::nullopt},
        // Strings and keys as JavaScript reads them.
        {uR"({"v":"\ud83d\ude00"})", u"data.v", u"😀"},
        {uR"({"v":"a\ud83d"})", u"data.v", u"a\uFFFD"},  // a lone surrogate, as a subject cut in two may end
        {uR"({"v":"\udc00\ud800x"})", u"data.v", u"\uFFFD\uFFFDx"},
        {uR"({"v":"\\ud800"})", u"data.v", uR"(\ud800)"},
        {uR"({"v":"a\u0000b"})", u"data.v", std::u16string(u"a\0b", 3)},
        {uR"({"v":1,"v":"last"})", u"data.v", u"last"},
        {u"\uFEFF" + wrapped(u"\"bom\""), u"data.v", u"bom"},
        // Brackets inside strings are text, not nesting.
        {wrapped(u"\"" + std::u16string(5000, u'[') + u"\""), u"data.v", std::u16string(5000, u'[')},
    };
    for (const auto &[answer, expression, expected] : cases)
        EXPECT_EQ(read(answer, expression), expected) << testing::PrintToString(answer.substr(0, 80)) << ' '
                                                      << testing::PrintToString(std::u16string(expression));
}

TEST(AnswerReader, valuesHaveTheirJavaScriptTextForms)
{
    const std::pair<std::u16string_view, std::u16string_view> cases[]
        = {{uR"("text")", u"text"},
           {u"true", u"true"},
           {u"false", u"false"},
           {u"null", u""},
           {u"{\"a\":1}", u""},
           {u"[1,2]", u""},
           // 64-bit integers digit for digit.
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
           {u"1.23e20", u"123000000000000000000"},
           {u"1e21", u"1e+21"},
           {u"1.5e300", u"1.5e+300"},
           {u"-1.7976931348623157e308", u"-1.7976931348623157e+308"},
           {u"4.0", u"4"},
           {u"1E3", u"1000"}};
    for (const auto &[json, text] : cases)
        EXPECT_EQ(read(wrapped(json), u"data.v"), std::u16string(text))
            << testing::PrintToString(std::u16string(json));
}

TEST(AnswerReader, anAnswerThatIsNotJsonOrNestsTooDeepGivesNoValueAtAll)
{
    const auto nested = [](std::size_t depth) {
        return wrapped(std::u16string(depth - 1, u'[') + u"1" + std::u16string(depth - 1, u']'));
    };
    EXPECT_TRUE(AnswerReader(nested(AnswerReader::kMaxNesting)).isValid());
    for (const std::u16string &answer :
         {std::u16string(), std::u16string(u"<html>error</html>"),
          std::u16string(uR"({"data":[{"user":{"USER":"u"}}]}x)"),
          std::u16string(uR"({"data":[{"user":{"USER":alert(1)}}]})"), std::u16string(u"\"just text\""),
          std::u16string(u"42"), wrapped(u"1e400"), wrapped(u"-1e400"), nested(AnswerReader::kMaxNesting + 1),
          std::u16string(1'000'000, u'[')}) {
        const AnswerReader reader(answer);
        EXPECT_FALSE(reader.isValid()) << testing::PrintToString(answer.substr(0, 80));
        EXPECT_FALSE(reader.read(u"data"));
    }
}

}  // namespace
}  // namespace venmarra
