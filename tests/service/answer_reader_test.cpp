#include "service/answer_reader.h"

#include <gtest/gtest.h>

namespace venmarra {
namespace {

QString read(const QString &answer, QStringView expression)
{
    return textForm(AnswerReader(answer).read(expression));
}

const QString kRefresh
    = QStringLiteral(R"({"data":[{"user":{"USER":"abc","STATUS":1,"ADDTIME":"2026-12-06 10:00:00",
    "EXPIRETIME":"2026-12-06 10:10:00"},"list":[{"FROM":"a@b.c","SUBJECT":"你好","MID":"m2"},
    {"FROM":"old@b.c","SUBJECT":"old","MID":"m1"}]}]})");

TEST(AnswerReader, readsTheRefreshAnswerByItsFixedPaths)
{
    EXPECT_EQ(read(kRefresh, u"data.data[0].user.USER"), "abc");
    EXPECT_EQ(read(kRefresh, u"data.data[0].user.STATUS"), "1");
    EXPECT_EQ(read(kRefresh, u"data.data[0].user.ADDTIME"), "2026-12-06 10:00:00");
    EXPECT_EQ(read(kRefresh, u"data.data[0].list[0].FROM"), "a@b.c");
    EXPECT_EQ(read(kRefresh, u"data.data[0].list[0].SUBJECT"), "你好");
    EXPECT_EQ(read(kRefresh, u"data.data[0].list[0].MID"), "m2");
    EXPECT_EQ(read(kRefresh, u"data.data[0].list[1].MID"), "m1");
}

TEST(AnswerReader, indexingPicksArrayElementsObjectMembersAndStringCharacters)
{
    const QString asArray = R"({"data":[[0,[{"DATA":["array content"]}]]]})";
    const QString asObject = R"({"data":[{"1":[{"DATA":["object content"]}]}]})";
    EXPECT_EQ(read(asArray, u"data.data[0][1][0].DATA[0]"), "array content");
    EXPECT_EQ(read(asObject, u"data.data[0][1][0].DATA[0]"), "object content");
    EXPECT_EQ(read(R"({"data":"xyz"})", u"data.data[1]"), "y");
    EXPECT_EQ(read(R"({"data":"xyz"})", u"data.data[5]"), "");
    EXPECT_EQ(read(R"({"data":[1,2]})", u"data.data[2]"), "");
}

TEST(AnswerReader, missingPartsAndWrongShapesGiveNoValue)
{
    const QString noUser = R"({"data":[{"list":[{"FROM":"f","MID":"1"}]}]})";
    EXPECT_FALSE(AnswerReader(noUser).read(u"data.data[0].user.USER"));
    EXPECT_EQ(read(noUser, u"data.data[0].list[0].FROM"), "f");
    const QString noList = R"({"data":[{"user":{"USER":"u"}}]})";
    EXPECT_EQ(read(noList, u"data.data[0].user.USER"), "u");
    EXPECT_FALSE(AnswerReader(noList).read(u"data.data[0].list[0].FROM"));
    EXPECT_FALSE(AnswerReader(R"({"data":[{"list":[]}]})").read(u"data.data[0].list[0].FROM"));
    EXPECT_FALSE(AnswerReader(R"({"data":null})").read(u"data.data[0].user.USER"));
    EXPECT_FALSE(AnswerReader(R"({"data":[{"user":5}]})").read(u"data.data[0].user.USER"));
    EXPECT_FALSE(AnswerReader(R"([1])").read(u"data.data[0]"));
}

TEST(AnswerReader, anAnswerThatIsNotJsonGivesNoValueAtAll)
{
    for (const QString &answer : {QString(), QStringLiteral("<html>error</html>"),
                                  QStringLiteral(R"({"data":[{"user":{"USER":"u"}}]})") + "x",
                                  QStringLiteral(R"({"data":[{"user":{"USER":alert(1)}}]})"),
                                  QStringLiteral("\"just text\""), QStringLiteral("42")}) {
        const AnswerReader reader(answer);
        EXPECT_FALSE(reader.isValid()) << answer.toStdString();
        EXPECT_FALSE(reader.read(u"data"));
    }
    const QString withBom = QChar(0xFEFF) + QStringLiteral(R"({"data":[{"user":{"USER":"bom"}}]})");
    EXPECT_EQ(read(withBom, u"data.data[0].user.USER"), "bom");
}

TEST(AnswerReader, textFormsOfValues)
{
    const std::pair<const char *, const char *> cases[]
        = {{R"("text")", "text"},
           {"true", "true"},
           {"false", "false"},
           {"null", ""},
           {"{\"a\":1}", ""},
           {"[1,2]", ""},
           // 64-bit integers digit for digit.
           {"1", "1"},
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
           {"2e19", "20000000000000000000"},
           {"1.23e20", "123000000000000000000"},
           {"1e21", "1e+21"},
           {"1.5e300", "1.5e+300"},
           {"-1.7976931348623157e308", "-1.7976931348623157e+308"},
           {"4.0", "4"},
           {"1E3", "1000"}};
    for (const auto &[json, text] : cases)
        EXPECT_EQ(read(QStringLiteral(R"({"v":%1})").arg(QString::fromLatin1(json)), u"data.v"),
                  QString::fromLatin1(text))
            << json;
    EXPECT_EQ(read(R"({"v":1})", u"data.missing"), "");
}

TEST(AnswerReader, malformedExpressionsGiveNoValue)
{
    const QString answer = R"({"data":[{"a":1}]})";
    for (const char16_t *expression :
         {u"other.data", u"data.data[", u"data.data[x]", u"data.data[-1]", u"data..data", u"data.data[0]."}) {
        EXPECT_FALSE(AnswerReader(answer).read(expression)) << QString::fromUtf16(expression).toStdString();
    }
    EXPECT_EQ(read(answer, u"data.data[0].a"), "1");
    // A negative index on a string or an array once read outside the value.
    EXPECT_FALSE(AnswerReader(R"({"x":"abc","y":[1]})").read(u"data.x[-11]"));
    EXPECT_FALSE(AnswerReader(R"({"x":"abc","y":[1]})").read(u"data.y[-1]"));
}

}  // namespace
}  // namespace venmarra
