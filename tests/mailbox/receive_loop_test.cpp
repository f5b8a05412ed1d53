#include "window_fixture.h"
#include "window_system.h"

#include "qt/mail_text_edit.h"
#include <QTest>
#include <QTimer>

namespace venmarra::test {
namespace {

class ReceiveLoop : public WindowFixture {
protected:
    void SetUp() override
    {
        WindowFixture::SetUp();
        ScriptedReply reply = jsonReply(refreshAnswer("box", "1", {}));
        reply.headers = {{"Set-Cookie", "sid=loop"}};
        server.setDefaultReply(reply);
    }
    // Runs `action` in the first wait after `count` requests have reached the server.
    void inTheWaitAfter(std::size_t count, std::function<void()> action)
    {
        toolkit.inAWait([this, count] { return server.requestCount() >= count; }, std::move(action));
    }
    void createMailbox()
    {
        server.enqueue(allocationReply("box", "cookie"));
        logic->Command1_Click();
        ASSERT_EQ(server.requestCount(), 2u);
    }
};

TEST_F(ReceiveLoop, pollsAtOnceThenEvery1200msUntilStoppedDuringAWait)
{
    createMailbox();
    inTheWaitAfter(5, [&] { logic->Command3_Click(); });
    logic->Command2_Click();

    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 5u) << "a stop during a wait sends nothing more";
    for (std::size_t i = 2; i < requests.size(); ++i) {
        EXPECT_EQ(requests[i].body, "data=box&type=refresh&arg=");
        EXPECT_EQ(requests[i].header("Cookie"), "sid=cookie");
    }
    const auto &at = toolkit.exchangeTimes();
    for (std::size_t i = 3; i < at.size(); ++i)
        EXPECT_EQ(at[i] - at[i - 1], 1200) << "request " << i;
    EXPECT_EQ(at[2], at[1]) << "the first poll is not delayed";
    EXPECT_EQ(command2Caption(), "循环结束");
    EXPECT_EQ(view.captionsOf(Caption::Command2),
              (std::vector<QString> {"循环中..", "循环中..", "循环中..", "循环中..", "循环结束"}));
    EXPECT_EQ(logic->StopFlag(), u"1");
}

TEST_F(ReceiveLoop, aStopDuringARefreshLetsItFinishWaitsOnceMoreAndEnds)
{
    ScriptedReply slow = jsonReply(refreshAnswer("box", "1", {}));
    slow.delay = 300ms;
    server.enqueue(slow);
    whileAnExchangeRuns(server, 1, [&] { logic->Command3_Click(); });
    logic->Command2_Click();
    EXPECT_EQ(toolkit.clock(), 1200) << "one whole wait after the refresh";
    EXPECT_EQ(server.requestCount(), 1u);
    EXPECT_EQ(command2Caption(), "循环结束");
}

TEST_F(ReceiveLoop, stopBeforeAnyLoopIsClearedByTheNextLoop)
{
    logic->Command3_Click();
    EXPECT_EQ(logic->StopFlag(), u"1");
    EXPECT_EQ(command2Caption(), "循环接收");
    inTheWaitAfter(2, [&] { logic->Command3_Click(); });
    logic->Command2_Click();
    EXPECT_EQ(server.requestCount(), 2u);
    // Before any mailbox exists the name is empty.
    EXPECT_EQ(server.requests()[0].body, "data=&type=refresh&arg=");
    EXPECT_FALSE(server.requests()[0].hasHeader("Cookie"));
    EXPECT_EQ(server.requests()[1].header("Cookie"), "sid=loop") << "learned from the first good answer";
}

TEST_F(ReceiveLoop, aLoopStartedInsideAWaitRunsToItsEndBeforeTheFirstResumes)
{
    // Stop and start again inside the first loop's wait; the second loop resets the flag.
    inTheWaitAfter(1, [&] {
        logic->Command3_Click();
        logic->Command2_Click();
    });
    inTheWaitAfter(3, [&] { logic->Command3_Click(); });
    logic->Command2_Click();

    EXPECT_EQ(server.requestCount(), 3u) << "one stop ends both loops";
    EXPECT_EQ(view.captionsOf(Caption::Command2),
              (std::vector<QString> {"循环中..", "循环中..", "循环中..", "循环中..", "循环结束", "循环中..",
                                     "循环结束"}));
}

TEST_F(ReceiveLoop, closingTheWindowDuringAWaitEndsTheProgramWithNoFurtherRequest)
{
    inTheWaitAfter(1, [&] { form.close(); });
    logic->Command2_Click();
    EXPECT_EQ(toolkit.programEnds(), 1);
    EXPECT_EQ(server.requestCount(), 1u);
    EXPECT_TRUE(toolkit.messages().empty());
    EXPECT_EQ(command2Caption(), "循环中..");
}

TEST_F(ReceiveLoop, everyMailIsListedOnceInArrivalOrderHoweverManyArriveBetweenPolls)
{
    const Mail m1 {"a@x", "one", "1"}, m2 {"b@x", "two", "2"}, m3 {"c@x", "three", "3"},
        m4 {"d@x", "four", "4"}, m5 {"e@x", "five", "5"};
    server.enqueue(allocationReply("box", "cookie"));
    server.enqueue(jsonReply(refreshAnswer("box", "1", {m3, m2, m1})));  // three before the loop
    server.enqueue(jsonReply(refreshAnswer("box", "1", {m5, m4, m3, m2, m1})));  // two within one poll
    for (const auto &alternating : {std::vector {m4, m5}, std::vector {m5, m4}, std::vector {m4, m5}})
        server.enqueue(jsonReply(refreshAnswer("box", "1", alternating)));
    logic->Command1_Click();
    inTheWaitAfter(6, [&] { logic->Command3_Click(); });
    logic->Command2_Click();
    EXPECT_EQ(listLines(),
              QStringList({"a@x|one|1", "b@x|two|2", "c@x|three|3", "d@x|four|4", "e@x|five|5"}));
}

TEST_F(ReceiveLoop, thousandsOfClicksDuringAWaitNestFewLoopsAndStopStillEndsThemAll)
{
    inTheWaitAfter(1, [&] {
        for (int click = 0; click < 3000; ++click)
            queueUserClick(control<QPushButton>("Command2"));
        queueUserClick(control<QPushButton>("Command3"));
    });
    logic->Command2_Click();
    EXPECT_LE(server.requestCount(), std::size_t(MainWindowLogic::kMaxNestedLoops) * 2);
    EXPECT_EQ(logic->StopFlag(), u"1");
    EXPECT_EQ(command2Caption(), "循环结束");
}

TEST_F(ReceiveLoop, theCloseBoxEndsTheProgramWhileAnExchangeRuns)
{
    ScriptedReply slow = jsonReply(refreshAnswer("box", "1", {}));
    slow.delay = 1500ms;
    server.enqueue(slow);
    std::chrono::steady_clock::time_point endedAt;
    toolkit.onEnd = [&] {
        endedAt = std::chrono::steady_clock::now();
    };
    whileAnExchangeRuns(server, 1, [&] { queueCloseBox(&form); });
    logic->获取最新邮件();
    ASSERT_EQ(toolkit.programEnds(), 1);
    EXPECT_LT(endedAt, server.requests().at(0).at + slow.delay) << "the close waited for the answer";
    EXPECT_TRUE(toolkit.messages().empty());
}

class OpeningAMail : public ReceiveLoop {
protected:
    void doubleClickLine(int row)
    {
        auto *list = control<QListWidget>("List1");
        const QRect rect = list->visualItemRect(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    }
    QString viewerText()
    {
        Form2 *viewer = form.mailViewer().window();
        return viewer ? viewer->text1()->mailText() : QStringLiteral("<no viewer>");
    }
};

TEST_F(OpeningAMail, aDoubleClickFetchesTheMailAndShowsItsContent)
{
    server.enqueue(allocationReply("box", "cookie"));
    server.enqueue(jsonReply(refreshAnswer("box", "1", {{"a|b@x", "sub|ject", "77"}})));
    logic->Command1_Click();
    ASSERT_EQ(listLines(), QStringList({"a|b@x|sub|ject|77"}));

    server.enqueue(jsonReply(R"({"data":[[null,[{"DATA":["mail 77"]}]]]})"));
    doubleClickLine(0);
    ASSERT_EQ(server.requestCount(), 3u);
    const RecordedRequest request = server.requests()[2];
    EXPECT_EQ(request.body, "data=box&type=mailinfo&arg=f%3D77") << "the identifier read with the line";
    EXPECT_EQ(request.header("Cookie"), "sid=cookie");
    EXPECT_EQ(viewerText(), "mail 77");
    EXPECT_EQ(status(), "检测完成.") << "opening a mail leaves the status line alone";

    Form2 *first = form.mailViewer().window();
    first->close();
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    server.enqueue(jsonReply(R"({"data":[{"1":[{"DATA":["again"]}]}]})"));
    doubleClickLine(0);
    EXPECT_EQ(server.requestCount(), 4u);
    EXPECT_EQ(viewerText(), "again");
    EXPECT_TRUE(form.mailViewer().window()->isVisible());
}

TEST_F(OpeningAMail, aViewerClosedDuringTheMailsExchangeOpensAgainWithThatMail)
{
    form.appendListItem({u"f", u"s", u"5"});
    control<QListWidget>("List1")->setCurrentRow(0);
    server.enqueue(jsonReply(R"({"data":[[0,[{"DATA":["first"]}]]]})"));
    logic->List1_DblClick();
    ScriptedReply slow = jsonReply(R"({"data":[[0,[{"DATA":["second"]}]]]})");
    slow.delay = 500ms;
    server.enqueue(slow);
    whileAnExchangeRuns(server, 2, [&] { queueCloseBox(form.mailViewer().window()); });
    logic->List1_DblClick();
    // A close held back until now, and the closed window's deferred deletion, act here.
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(form.mailViewer().window());
    EXPECT_TRUE(form.mailViewer().window()->isVisible());
    EXPECT_EQ(viewerText(), "second");
}

TEST_F(OpeningAMail, nothingIsSentWithoutASelectedLine)
{
    logic->List1_DblClick();
    EXPECT_EQ(server.requestCount(), 0u);
    EXPECT_FALSE(form.mailViewer().window());
}

TEST_F(OpeningAMail, aFailedMailRequestStillOpensAnEmptyViewer)
{
    form.appendListItem({u"f", u"s", u"9"});
    control<QListWidget>("List1")->setCurrentRow(0);
    server.enqueue(ScriptedReply {404, {}, "gone"});
    logic->List1_DblClick();
    EXPECT_EQ(messageTexts(), (std::vector<QString> {"Http错误代码:404"}));
    EXPECT_EQ(viewerText(), QString());
    EXPECT_EQ(server.requests()[0].body, "data=&type=mailinfo&arg=f%3D9");
}

TEST_F(OpeningAMail, aDoubleClickDuringTheLoopsWaitCompletesBeforeTheLoopGoesOn)
{
    form.appendListItem({u"f", u"s", u"5"});
    control<QListWidget>("List1")->setCurrentRow(0);
    server.setDefaultReply(jsonReply(R"({"data":[[0,[{"DATA":["during the loop"]}]]]})"));
    inTheWaitAfter(1, [&] { logic->List1_DblClick(); });
    inTheWaitAfter(3, [&] { logic->Command3_Click(); });
    logic->Command2_Click();
    const auto all = bodies();
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[1], "data=&type=mailinfo&arg=f%3D5");
    EXPECT_EQ(viewerText(), "during the loop");
}

}  // namespace
}  // namespace venmarra::test
