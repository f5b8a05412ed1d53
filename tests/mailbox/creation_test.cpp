#include "logic_fixture.h"

namespace venmarra::test {
namespace {

using Creation = LogicTest;
using Icon = Toolkit::MessageIcon;

TEST_F(Creation, aGoodPageShowsTheAddressDisablesTheButtonAndRefreshesWithTheCookie)
{
    const std::string sid(40, 'k');
    exchange.enqueue(allocation("abc123", sid), [&] {
        EXPECT_EQ(view.caption(Caption::Label4), u"获取最新的邮箱中.") << "said before the page comes";
    });
    exchange.enqueue(answer(refreshAnswer("abc123")));
    logic.Command1_Click();

    EXPECT_EQ(logic.MailboxName(), u"abc123");
    EXPECT_EQ(view.text1, u"abc123@venmarra.test");
    EXPECT_FALSE(view.command1Enabled);
    EXPECT_EQ(view.captionsOf(Caption::Label4),
              Texts({u"获取最新的邮箱中.", u"邮箱获取完成", u"检测是否有新邮件内容.", u"检测完成."}));
    EXPECT_EQ(view.caption(Caption::Label5), u"用户名：abc123");
    EXPECT_TRUE(toolkit.boxes.empty());

    const auto &requests = exchange.requests;
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_TRUE(requests[0].isGet);
    EXPECT_EQ(requests[0].url, "http://service.test/");
    EXPECT_FALSE(requests[1].isGet);
    EXPECT_EQ(requests[1].body, "data=abc123&type=refresh&arg=");
    EXPECT_TRUE(hasHeader(requests[1], "Cookie: sid=" + sid));
}

TEST_F(Creation, withoutANameTheAddressShowsTheDomainWhileTheProgramSaysSoThenEnds)
{
    const struct {
        const char *what;
        ExchangeResult page;
        Texts boxes;
    } cases[] = {
        {"a changed page",
         answer("<html>changed</html>", "Set-Cookie: sid=s\r\n"),
         {u"邮箱获取失败，请重新打开重试。"}},
        {"an empty name",
         answer(serviceAnswer("home_page", {{"name", ""}}), "Set-Cookie: sid=s\r\n"),
         {u"邮箱获取失败，请重新打开重试。"}},
        {"status 500",
         answer("<b>error page</b>", {}, 500),
         {u"Http错误代码:500", u"邮箱获取失败，请重新打开重试。"}},
        {"no connection",
         failure(ExchangeFailure::Connect),
         {u"错误原因:无法连接到服务器", u"邮箱获取失败，请重新打开重试。"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        startAgain();
        std::u16string addressWhileBoxOpen;
        toolkit.onBox = [&](const ShownBox &) {
            addressWhileBoxOpen = view.text1;
        };
        exchange.enqueue(c.page);
        logic.Command1_Click();

        ASSERT_EQ(toolkit.boxes.size(), c.boxes.size());
        for (std::size_t i = 0; i < c.boxes.size(); ++i)
            EXPECT_EQ(toolkit.boxes[i].text, c.boxes[i]);
        const ShownBox &last = toolkit.boxes.back();
        EXPECT_EQ(last.icon, Icon::None);
        EXPECT_EQ(last.title, u"") << "the application's title is used";
        if (c.boxes.size() == 2) {
            EXPECT_EQ(toolkit.boxes[0].title, u"提示");
            EXPECT_EQ(toolkit.boxes[0].icon, Icon::Information);
        }
        EXPECT_EQ(addressWhileBoxOpen, u"@venmarra.test");
        EXPECT_EQ(toolkit.programEnds, 1);
        EXPECT_TRUE(view.command1Enabled);
        EXPECT_EQ(view.captionsOf(Caption::Label4), Texts({u"获取最新的邮箱中."}));
        EXPECT_EQ(exchange.requests.size(), 1u) << "nothing is sent after the end";
    }
}

TEST_F(Creation, withoutTheCookieEveryGoodAnswerIsReportedAndNoCookieIsSent)
{
    exchange.enqueue(answer(serviceAnswer("home_page", {{"name", "nocookie"}})));
    exchange.enqueue(answer(refreshAnswer("nocookie")));
    logic.Command1_Click();
    const Texts texts = boxTexts();
    ASSERT_EQ(texts.size(), 2u) << "one box for the home page, one for the refresh";
    EXPECT_TRUE(texts[0].starts_with(u"错误原因:"));
    EXPECT_EQ(texts[1], texts[0]);
    EXPECT_EQ(view.text1, u"nocookie@venmarra.test");
    EXPECT_EQ(view.caption(Caption::Label5), u"用户名：nocookie") << "the body still counts";
    EXPECT_FALSE(logic.SessionId());
    EXPECT_EQ(toolkit.programEnds, 0);
}

TEST_F(Creation, theAddressStaysWhenTheFollowingRefreshFails)
{
    exchange.enqueue(allocation("keep", "s"));
    exchange.enqueue(answer("down", {}, 503));
    logic.Command1_Click();
    EXPECT_EQ(view.text1, u"keep@venmarra.test");
    EXPECT_EQ(boxTexts(), Texts({u"Http错误代码:503"}));
}

TEST_F(Creation, closingTheWindowDuringTheRequestEndsTheProgramWithNothingAfter)
{
    exchange.enqueue(allocation("late", "s"), [&] { logic.Form_Unload(); });
    logic.Command1_Click();
    EXPECT_EQ(toolkit.programEnds, 1);
    EXPECT_TRUE(toolkit.boxes.empty());
    EXPECT_EQ(view.text1, u"");
    EXPECT_EQ(logic.MailboxName(), u"");
    EXPECT_EQ(exchange.requests.size(), 1u);
}

}  // namespace
}  // namespace venmarra::test
