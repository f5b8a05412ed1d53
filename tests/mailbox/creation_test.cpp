#include "window_fixture.h"


namespace venmarra::test {
namespace {

using Creation = WindowFixture;

TEST_F(Creation, aGoodPageShowsTheAddressDisablesTheButtonAndRefreshesWithTheCookie)
{
    const std::string sid(40, 'k');
    server.enqueue(allocationReply("abc123", sid));
    server.enqueue(jsonReply(refreshAnswer("abc123", "1", {})));
    logic->Command1_Click();

    EXPECT_EQ(logic->MailboxName(), u"abc123");
    EXPECT_EQ(address(), "abc123@venmarra.test");
    EXPECT_FALSE(control("Command1")->isEnabled());
    EXPECT_EQ(
        view.captionsOf(Caption::Label4),
        (std::vector<QString> {"获取最新的邮箱中.", "邮箱获取完成", "检测是否有新邮件内容.", "检测完成."}));
    EXPECT_EQ(caption("Label5"), "用户名：abc123");
    EXPECT_EQ(caption("Label6"), "是否可用：可用");
    EXPECT_EQ(logic->SessionId(), std::u16string(sid.begin(), sid.end()));
    EXPECT_TRUE(toolkit.messages().empty());

    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].method, "GET");
    EXPECT_FALSE(requests[0].hasHeader("Cookie"));
    EXPECT_FALSE(requests[0].hasHeader("Content-Type"));
    EXPECT_EQ(requests[1].method, "POST");
    EXPECT_EQ(requests[1].body, "data=abc123&type=refresh&arg=");
    EXPECT_EQ(requests[1].header("Cookie"), "sid=" + sid);
    EXPECT_EQ(requests[1].header("Content-Type"), "application/x-www-form-urlencoded");
}

TEST_F(Creation, theAddressBoxShowsAnAddressOfAnyLengthFromItsFirstCharacter)
{
    for (const std::string &name :
         {std::string("na65ypq1ei") + std::string(30, 'w'), std::string(40000, 'n')}) {
        SCOPED_TRACE(name.size());
        startAgainst(server.baseUrl());
        server.enqueue(allocationReply(name, "s"));
        server.enqueue(jsonReply(refreshAnswer(name, "1", {})));
        logic->Command1_Click();
        EXPECT_EQ(address(), QString::fromStdString(name) + "@venmarra.test");
        EXPECT_EQ(control<QLineEdit>("Text1")->cursorPosition(), 0) << "the box scrolled past the start";
    }
}

TEST_F(Creation, theStatusLineSaysSoWhileTheHomePageIsFetched)
{
    ScriptedReply slow = allocationReply("abc", "s");
    slow.delay = 300ms;
    server.enqueue(slow);
    QString seen;
    whileAnExchangeRuns(server, 1, [&] { seen = status(); });
    logic->Command1_Click();
    EXPECT_EQ(seen, "获取最新的邮箱中.") << "the window repaints and runs timers while it waits";
}

TEST_F(Creation, aPageWithoutANameShowsTheDomainSaysSoAndEndsTheProgram)
{
    for (const std::string &page : {std::string("<html>changed</html>"), homePage("")}) {
        ScriptedServer local;
        ScriptedReply reply = allocationReply("x", "s");
        reply.body = page;
        local.enqueue(reply);
        RecordingToolkit recorder;
        Form1 window;
        MainWindowLogic failing(window, recorder, linuxAccess(), settingsFor(local.baseUrl()));
        failing.Form_Load();
        QString addressWhileBoxOpen;
        recorder.onMessage = [&](const ShownMessage &) {
            addressWhileBoxOpen = window.findChild<QLineEdit *>("Text1")->text();
        };
        failing.Command1_Click();

        ASSERT_EQ(recorder.messages().size(), 1u);
        EXPECT_EQ(recorder.messages()[0].text, "邮箱获取失败，请重新打开重试。");
        EXPECT_EQ(recorder.messages()[0].icon, Toolkit::MessageIcon::None);
        EXPECT_EQ(recorder.messages()[0].title, QString()) << "the application's title is used";
        EXPECT_EQ(addressWhileBoxOpen, "@venmarra.test");
        EXPECT_EQ(recorder.programEnds(), 1);
        EXPECT_TRUE(window.findChild<QPushButton *>("Command1")->isEnabled());
        EXPECT_EQ(window.findChild<QLabel *>("Label4")->text(), "获取最新的邮箱中.");
        EXPECT_EQ(local.requestCount(), 1u) << "nothing is sent after the end";
    }
}

TEST_F(Creation, aFailedExchangeShowsItsReasonThenTheFailureAndEndsTheProgram)
{
    int closedPort = 0;
    {
        ScriptedServer gone;
        closedPort = gone.port();
    }
    const struct {
        std::string url;
        const char *reason;
    } cases[] = {{server.baseUrl(), "Http错误代码:500"},
                 {"http://127.0.0.1:" + std::to_string(closedPort) + "/", "错误原因:无法连接到服务器"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.url);
        RecordingToolkit recorder;
        MainWindowLogic failing(view, recorder, linuxAccess(), settingsFor(c.url));
        server.enqueue(ScriptedReply {500, {}, "<b>server error page</b>"});
        failing.Command1_Click();
        ASSERT_EQ(recorder.messages().size(), 2u);
        EXPECT_TRUE(recorder.messages()[0].text.startsWith(c.reason)) << recorder.messages()[0].text.toStdString();
        EXPECT_EQ(recorder.messages()[0].title, "提示");
        EXPECT_EQ(recorder.messages()[0].icon, Toolkit::MessageIcon::Information);
        EXPECT_EQ(recorder.messages()[1].text, "邮箱获取失败，请重新打开重试。");
        EXPECT_EQ(recorder.programEnds(), 1);
        EXPECT_FALSE(failing.SessionId());
    }
    EXPECT_EQ(server.requestCount(), 1u);
}

TEST_F(Creation, withoutTheCookieEveryGoodAnswerIsReportedAndNoCookieIsSent)
{
    ScriptedReply noCookie;
    noCookie.body = homePage("nocookie");
    server.enqueue(noCookie);
    server.enqueue(jsonReply(refreshAnswer("nocookie", "1", {})));
    logic->Command1_Click();
    const auto texts = messageTexts();
    ASSERT_EQ(texts.size(), 2u) << "one box for the home page, one for the refresh";
    EXPECT_TRUE(texts[0].startsWith("错误原因:"));
    EXPECT_EQ(texts[1], texts[0]);
    EXPECT_EQ(address(), "nocookie@venmarra.test");
    EXPECT_EQ(caption("Label5"), "用户名：nocookie") << "the body still counts";
    EXPECT_FALSE(logic->SessionId());
    EXPECT_FALSE(server.requests().at(1).hasHeader("Cookie"));
    EXPECT_EQ(toolkit.programEnds(), 0);
}

TEST_F(Creation, theAddressStaysWhenTheFollowingRefreshFails)
{
    server.enqueue(allocationReply("keep", "s"));
    server.enqueue(ScriptedReply {503, {}, "down"});
    logic->Command1_Click();
    EXPECT_EQ(address(), "keep@venmarra.test");
    EXPECT_EQ(messageTexts(), (std::vector<QString> {"Http错误代码:503"}));
    EXPECT_EQ(status(), "检测完成.");
}

TEST_F(Creation, closingTheWindowDuringTheRequestEndsTheProgramWithNothingAfter)
{
    ScriptedReply slow = allocationReply("late", "s");
    slow.delay = 400ms;
    server.enqueue(slow);
    whileAnExchangeRuns(server, 1, [&] { form.close(); });
    logic->Command1_Click();
    EXPECT_EQ(toolkit.programEnds(), 1);
    EXPECT_TRUE(toolkit.messages().empty());
    EXPECT_EQ(address(), QString());
    EXPECT_EQ(logic->MailboxName(), u"");
    EXPECT_EQ(server.requestCount(), 1u);
}

}  // namespace
}  // namespace venmarra::test
