#include "logic_fixture.h"

namespace venmarra::test {
namespace {

using Failures = LogicTest;

TEST_F(Failures, eachFailedRefreshIsReportedOnceAndTheNextGoodOneWorks)
{
    createMailbox({{"a@x", "first", "1"}});
    const std::string html = "<html><img src=\"file:///etc/passwd\">denied</html>";
    const struct {
        const char *what;
        ExchangeResult result;
        std::u16string_view box;  // empty for none
    } cases[] = {
        {"the client's own words", failure(ExchangeFailure::Other, u"reset by peer"),
         u"错误原因:网络传输失败（reset by peer）"},
        {"no connection", failure(ExchangeFailure::Connect), u"错误原因:无法连接到服务器"},
        {"500 with an HTML body", answer(html, {}, 500), u"Http错误代码:500"},
        {"a redirect", answer(html, "Location: http://elsewhere/\r\n", 302), u"Http错误代码:302"},
        {"200 that is not JSON", answer(html), u""},
        {"200 cut short", answer(R"({"data":)"), u""},
        {"200 and empty", answer(""), u""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        toolkit.boxes.clear();
        exchange.enqueue(c.result);
        logic.获取最新邮件();
        EXPECT_EQ(boxTexts(), c.box.empty() ? Texts() : Texts({std::u16string(c.box)}));
        EXPECT_EQ(view.caption(Caption::Label4), u"检测完成.");
        EXPECT_EQ(view.caption(Caption::Label5), u"用户名：");
        EXPECT_EQ(view.caption(Caption::Label6), u"是否可用：不可用");
        EXPECT_EQ(view.caption(Caption::Label2), u"开始时间：");
        EXPECT_EQ(view.caption(Caption::Label3), u"结束时间：");
        EXPECT_EQ(view.list, Texts({u"a@x|first|1"}));
        EXPECT_EQ(toolkit.programEnds, 0);
    }
    exchange.enqueue(answer(refreshAnswer("box", {{"b@x", "second", "2"}, {"a@x", "first", "1"}})));
    logic.获取最新邮件();
    EXPECT_EQ(view.list, Texts({u"a@x|first|1", u"b@x|second|2"}));
    EXPECT_EQ(view.caption(Caption::Label5), u"用户名：box");
}

TEST_F(Failures, whatTheServiceSendsIsShownInertAndCutWhileKeysStayExact)
{
    const std::string escape = "\\u001b[31mred\\u0007", bidi = "abc\\u202edef", c1 = "a\\u0085b";
    exchange.enqueue(answer(R"({"data":[{"user":{"USER":"<b>bold</b>","ADDTIME":")" + escape
                            + R"(","EXPIRETIME":")" + std::string(100000, 'L') + R"(","STATUS":1},
        "list":[{"FROM":")" + bidi
                            + R"(","SUBJECT":")" + c1 + R"(","MID":"m|1"}]}]})"));
    logic.获取最新邮件();
    EXPECT_EQ(view.caption(Caption::Label5), u"用户名：<b>bold</b>") << "markup is text";
    EXPECT_EQ(view.caption(Caption::Label2), u"开始时间：\u241b[31mred\u2407");
    EXPECT_LT(view.caption(Caption::Label3).size(), 5000u)
        << "a long value is not laid out in a clipped label";
    EXPECT_EQ(view.list, Texts({u"abc\ufffddef|a\ufffdb|m|1"}));

    view.selected = 0;
    exchange.enqueue(
        answer(R"({"data":[[0,[{"DATA":["a\tb\u001b[31m\u0007\u0085\u202e\u2066<b>c</b>\n"]}]]]})"));
    logic.List1_DblClick();
    EXPECT_EQ(exchange.requests.back().body, "data=&type=mailinfo&arg=f%3Dm%7C1")
        << "the key is the service's text";
    EXPECT_EQ(view.viewer, u"a\tb\u241b[31m\u2407\ufffd\ufffd\ufffd<b>c</b>\n") << "inert, its layout kept";
}

}  // namespace
}  // namespace venmarra::test
