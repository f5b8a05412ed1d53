#include "service/answer_reader.h"

#include <gtest/gtest.h>

#include <optional>

namespace venmarra {
namespace {

std::optional<std::string> read(std::string_view answer, std::string_view expression)
{
    const ReadValue value = AnswerReader(answer).read(expression);
    return value ? std::optional(textForm(value)) : std::nullopt;
}

std::string wrapped(std::string_view json)
{
    return "{\"v\":" + std::string(json) + "}";
}

TEST(AnswerReader, readsByPathsAsTheServiceAnswers)
{
    const std::string refresh = R"({"data":[{"user":{"USER":"abc","STATUS":1},"list":[
        {"FROM":"a@b.c","SUBJECT":"你好","MID":"m2"},{"FROM":"old","MID":"m1"}]}]})";
    const struct {
        std::string answer;
        std::string_view expression;
        std::optional<std::string> expected;
    } cases[] = {
        {refresh, "data.data[0].user.USER", "abc"},
        {refresh, "data.data[0].user.STATUS", "1"},
        {refresh, "data.data[0].list[0].SUBJECT", "你好"},
        {refresh, "data.data[0].list[1].MID", "m1"},
        {refresh, "data.data[0].list[1].SUBJECT", std::nullopt},
        {refresh, "data.data[0].list[2].FROM", std::nullopt},
        // An index picks array elements, object members by name and string characters (UTF-16 units).
        {R"({"data":[[0,[{"DATA":["array"]}]]]})", "data.data[0][1][0].DATA[0]", "array"},
        {R"({"data":[{"1":[{"DATA":["object"]}]}]})", "data.data[0][1][0].DATA[0]", "object"},
        {R"({"data":"xyz"})", "data.data[1]", "y"},
        {R"({"data":"xyz"})", "data.data[5]", std::nullopt},
        {R"({"v":"😀"})", "data.v[0]", "\uFFFD"},  // half a character is none
        {R"({"data":[1,2]})", "data.data[2]", std::nullopt},
        {R"({"v":1})", "data.missing", std::nullopt},
        // Wrong shapes give no value.
        {R"({"data":null})", "data.data[0].user.USER", std::nullopt},
        {R"({"data":[{"user":5}]})", "data.data[0].user.USER", std::nullopt},
        {R"({"data":[{"list":[]}]})", "data.data[0].list[0].FROM", std::nullopt},
        {R"([1])", "data.data[0]", std::nullopt},
        // A negative index on a string or an array once read outside the value.
        {R"({"x":"abc"})", "data.x[-11]", std::nullopt},
        {R"({"y":[1]})", "data.y[-1]", std::nullopt},
        // Malformed expressions give no value.
        {R"({"data":[{"a":1}]})", "data.data[0].a", "1"},
        {R"({"data":[{"a":1}]})", "other.data", std::nullopt},
        {R"({"data":[{"a":1}]})", "data.data[", std::nullopt},
        {R"({"data":[{"a":1}]})", "data.data[x]", std::nullopt},
        {R"({"data":[{"a":1}]})", "data..data", std::nullopt},
        {R"({"data":[{"a":1}]})", "data.data[0].", std::nullopt},
        // Strings and keys as JavaScript reads them.
        {R"({"v":"\ud83d\ude00"})", "data.v", "😀"},
        {R"({"v":"a\ud83d"})", "data.v", "a\uFFFD"},  // a lone surrogate, as a subject cut in two may end
        {R"({"v":"\udc00\ud800x"})", "data.v", "\uFFFD\uFFFDx"},
        {R"({"v":"\\ud800"})", "data.v", R"(\ud800)"},
        {R"({"v":"a\u0000b"})", "data.v", std::string("a\0b", 3)},
        {R"({"v":1,"v":"last"})", "data.v", "last"},
        {"\uFEFF" + wrapped("\"bom\""), "data.v", "bom"},
        // Brackets inside strings are text, not nesting.
        {wrapped("\"" + std::string(5000, '[') + "\""), "data.v", std::string(5000, '[')},
    };
    for (const auto &[answer, expression, expected] : cases)
        EXPECT_EQ(read(answer, expression), expected) << testing::PrintToString(answer.substr(0, 80)) << ' '
                                                      << testing::PrintToString(std::string(expression));
}

TEST(AnswerReader, valuesHaveTheirJavaScriptTextForms)
{
    const std::pair<std::string_view, std::string_view> cases[]
        = {{R"("text")", "text"},
           {"true", "true"},
           {"false", "false"},
           {"null", ""},
           {"{\"a\":1}", ""},
           {"[1,2]", ""},
           // 64-bit integers digit for digit.
           {"0", "0"},
           {"-42", "-42"},
           {"9007199254740993", "9007199254740993"},
           {"9223372036854775807", "9223372036854775807"},
           {"-9223372036854775808", "-9223372036854775808"},
           // Every other number as JavaScript writes it.
           {"-0", "0"},
           {"0.1", "0.1"},
           {"-2.5", "-2.5"},
           {"123.456", "123.456"},
           {"1.5e-7", "1.5e-7"},
           {"0.000001", "0.000001"},
           {"1e-7", "1e-7"},
           {"5e-324", "5e-324"},
           {"18446744073709551616", "18446744073709552000"},
           {"1.8e19", "18000000000000000000"},
           {"1.23e20", "123000000000000000000"},
           {"1e21", "1e+21"},
           {"1.5e300", "1.5e+300"},
           {"-1.7976931348623157e308", "-1.7976931348623157e+308"},
           {"4.0", "4"},
           {"1E3", "1000"}};
    for (const auto &[json, text] : cases)
        EXPECT_EQ(read(wrapped(json), "data.v"), std::string(text))
            << testing::PrintToString(std::string(json));
}

TEST(AnswerReader, anAnswerThatIsNotJsonOrNestsTooDeepGivesNoValueAtAll)
{
    const auto nested = [](std::size_t depth) {
        return wrapped(std::string(depth - 1, '[') + "1" + std::string(depth - 1, ']'));
    };
    EXPECT_TRUE(AnswerReader(nested(AnswerReader::kMaxNesting)).isValid());
    for (const std::string &answer :
         {std::string(), std::string("<html>error</html>"),
          std::string(R"({"data":[{"user":{"USER":""}}]}x)"),
          std::string(R"({"data":[{"user":{"USER":alert(1)}}]})"), std::string("\"just text\""),
          std::string("42"), wrapped("1e400"), wrapped("-1e400"), nested(AnswerReader::kMaxNesting + 1),
          std::string(1'000'000, '[')}) {
        const AnswerReader reader(answer);
        EXPECT_FALSE(reader.isValid()) << testing::PrintToString(answer.substr(0, 80));
        EXPECT_FALSE(reader.read("data"));
    }
}

}  // namespace
}  // namespace venmarra
