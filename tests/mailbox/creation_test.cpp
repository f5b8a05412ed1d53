#include "recording_toolkit.h"
#include "scripted_server.h"
#include "ui/application.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace venmarra {
namespace {

using namespace std::chrono_literals;
using test::RecordingToolkit;
using test::ScriptedReply;
using test::ScriptedServer;

ServiceSettings settingsFor(const std::string &baseUrl)
{
    ServiceSettings settings;
    settings.baseUrl = QString::fromStdString(baseUrl);
    settings.mailDomain = QStringLiteral("venmarra.test");
    settings.limits.stallTimeout = 2s;
    return settings;
}

// The real main window and its logic, against a local server.
class Creation : public testing::Test {
protected:
    void start(const std::string &baseUrl)
    {
        app = std::make_unique<Application>(toolkit, settingsFor(baseUrl));
        app->start();
    }
    template <typename T>
    T *control(const char *name)
    {
        return app->form1().findChild<T *>(QString::fromLatin1(name));
    }
    QString status() { return control<QLabel>("Label4")->text(); }
    QString address() { return control<QLineEdit>("Text1")->text(); }
    bool command1Enabled() { return control<QPushButton>("Command1")->isEnabled(); }
    std::vector<QString> messageTexts() const
    {
        std::vector<QString> texts;
        for (const auto &message : toolkit.messages())
            texts.push_back(message.text);
        return texts;
    }

    ScriptedServer server;
    RecordingToolkit toolkit;
    std::unique_ptr<Application> app;
};

TEST_F(Creation, startsWithTheWindowStateSetAndNoRequest)
{
    start(server.baseUrl());
    EXPECT_EQ(app->logic().SessionId(), "0");
    EXPECT_EQ(app->logic().StopFlag(), "0");
    EXPECT_EQ(app->logic().MailboxName(), QString());
    EXPECT_EQ(status(), QString());
    EXPECT_EQ(server.requestCount(), 0u);
}

TEST_F(Creation, aGoodPageShowsTheAddressLearnsTheCookieAndDisablesTheButton)
{
    server.enqueue(test::allocationReply("abc123", std::string(40, 'k')));
    start(server.baseUrl());
    app->logic().Command1_Click();

    EXPECT_EQ(app->logic().MailboxName(), "abc123");
    EXPECT_EQ(address(), "abc123@venmarra.test");
    EXPECT_FALSE(command1Enabled());
    EXPECT_EQ(status(), "邮箱获取完成");
    EXPECT_EQ(app->logic().SessionId(), QString(40, QLatin1Char('k')));
    EXPECT_TRUE(toolkit.messages().empty());
    EXPECT_EQ(toolkit.programEnds(), 0);

    const auto requests = server.requests();
    ASSERT_GE(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, "GET");
    EXPECT_FALSE(requests[0].hasHeader("Cookie"));
    EXPECT_FALSE(requests[0].hasHeader("Content-Type"));
}

TEST_F(Creation, theStatusLineSaysSoWhileTheHomePageIsFetched)
{
    ScriptedReply slow = test::allocationReply("abc", "s");
    slow.delay = 300ms;
    server.enqueue(slow);
    start(server.baseUrl());
    QString seen;
    QTimer::singleShot(100, [&] { seen = status(); });
    app->logic().Command1_Click();
    EXPECT_EQ(seen, "获取最新的邮箱中.") << "the window repaints and runs timers while it waits";
}

TEST_F(Creation, aPageWithoutANameShowsTheDomainSaysSoAndEndsTheProgram)
{
    for (const std::string &page : {std::string("<html>changed</html>"), test::homePage("")}) {
        ScriptedServer local;
        ScriptedReply reply = test::allocationReply("x", "s");
        reply.body = page;
        local.enqueue(reply);
        RecordingToolkit recorder;
        Application application(recorder, settingsFor(local.baseUrl()));
        application.start();
        QString addressWhileBoxOpen;
        recorder.onMessage = [&](const test::ShownMessage &) {
            addressWhileBoxOpen = application.form1().findChild<QLineEdit *>("Text1")->text();
        };
        application.logic().Command1_Click();

        ASSERT_EQ(recorder.messages().size(), 1u);
        EXPECT_EQ(recorder.messages()[0].text, "邮箱获取失败，请重新打开重试。");
        EXPECT_EQ(recorder.messages()[0].icon, Toolkit::MessageIcon::None);
        EXPECT_EQ(recorder.messages()[0].title, QString()) << "the application's title is used";
        EXPECT_EQ(addressWhileBoxOpen, "@venmarra.test");
        EXPECT_EQ(recorder.programEnds(), 1);
        EXPECT_TRUE(application.form1().findChild<QPushButton *>("Command1")->isEnabled());
        EXPECT_NE(application.form1().findChild<QLabel *>("Label4")->text(), "邮箱获取完成");
        EXPECT_EQ(local.requestCount(), 1u) << "nothing is sent after the end";
    }
}

TEST_F(Creation, aFailedExchangeShowsTwoBoxesAndEndsTheProgram)
{
    ScriptedReply error;
    error.status = 500;
    error.body = "<b>server error page</b>";
    server.enqueue(error);
    start(server.baseUrl());
    app->logic().Command1_Click();

    ASSERT_EQ(messageTexts(), (std::vector<QString>{"Http错误代码:500", "邮箱获取失败，请重新打开重试。"}));
    EXPECT_EQ(toolkit.messages()[0].title, "提示");
    EXPECT_EQ(toolkit.messages()[0].icon, Toolkit::MessageIcon::Information);
    EXPECT_EQ(toolkit.programEnds(), 1);
    EXPECT_EQ(app->logic().SessionId(), "0");
}

TEST_F(Creation, anUnreachableServiceIsReportedWithItsReason)
{
    int closedPort = 0;
    {
        ScriptedServer gone;
        closedPort = gone.port();
    }
    start("http://127.0.0.1:" + std::to_string(closedPort) + "/");
    app->logic().Command1_Click();
    const auto texts = messageTexts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_TRUE(texts[0].startsWith("错误原因:无法连接到服务器")) << texts[0].toStdString();
    EXPECT_EQ(texts[1], "邮箱获取失败，请重新打开重试。");
    EXPECT_EQ(toolkit.programEnds(), 1);
}

TEST_F(Creation, aPageWithoutTheCookieIsReportedButTheMailboxIsStillUsed)
{
    ScriptedReply noCookie;
    noCookie.body = test::homePage("nocookie");
    server.enqueue(noCookie);
    start(server.baseUrl());
    app->logic().Command1_Click();
    ASSERT_EQ(toolkit.messages().size(), 1u);
    EXPECT_TRUE(toolkit.messages()[0].text.startsWith("错误原因:"));
    EXPECT_EQ(address(), "nocookie@venmarra.test");
    EXPECT_EQ(app->logic().SessionId(), "0");
    EXPECT_FALSE(command1Enabled());
    EXPECT_EQ(toolkit.programEnds(), 0);
}

TEST_F(Creation, closingTheWindowDuringTheRequestEndsTheProgramWithNothingAfter)
{
    ScriptedReply slow = test::allocationReply("late", "s");
    slow.delay = 400ms;
    server.enqueue(slow);
    start(server.baseUrl());
    QTimer::singleShot(100, [&] { app->form1().close(); });
    app->logic().Command1_Click();
    EXPECT_EQ(toolkit.programEnds(), 1);
    EXPECT_TRUE(toolkit.messages().empty());
    EXPECT_EQ(address(), QString());
    EXPECT_EQ(app->logic().MailboxName(), QString());
}

TEST_F(Creation, unloadingTheWindowEndsTheProgram)
{
    start(server.baseUrl());
    app->form1().close();
    EXPECT_EQ(toolkit.programEnds(), 1);
}

}  // namespace
}  // namespace venmarra
