#include "logic_fixture.h"

namespace venmarra::test {
namespace {

class ReceiveLoop : public LogicTest {
protected:
    void SetUp() override
    {
        LogicTest::SetUp();
        exchange.defaultAnswer = answer(refreshAnswer("box"), "Set-Cookie: sid=loop\r\n");
    }
};

TEST_F(ReceiveLoop, pollsAtOnceThenEvery1200msUntilStoppedDuringAWait)
{
    createMailbox();
    inTheWaitAfter(5, [&] { logic.Command3_Click(); });
    logic.Command2_Click();

    ASSERT_EQ(exchange.requests.size(), 5u) << "a stop during a wait sends nothing more";
    const auto &at = toolkit.exchangeTimes;
    EXPECT_EQ(at[2], at[1]) << "the first poll is not delayed";
    for (std::size_t i = 3; i < at.size(); ++i)
        EXPECT_EQ(at[i] - at[i - 1], 1200) << "request " << i;
    EXPECT_EQ(view.captionsOf(Caption::Command2),
              Texts({u"循环中..", u"循环中..", u"循环中..", u"循环中..", u"循环结束"}));
}

TEST_F(ReceiveLoop, aStopDuringARefreshLetsItFinishWaitsOnceMoreAndEnds)
{
    exchange.enqueue(answer(refreshAnswer("box", {{"a@x", "during", "1"}})), [&] { logic.Command3_Click(); });
    logic.Command2_Click();
    EXPECT_EQ(view.list, Texts({u"a@x|during|1"})) << "the refresh finishes";
    EXPECT_EQ(toolkit.clock(), 1200) << "one whole wait after the refresh";
    EXPECT_EQ(exchange.requests.size(), 1u);
    EXPECT_EQ(view.caption(Caption::Command2), u"循环结束");
}

TEST_F(ReceiveLoop, stopBeforeAnyLoopIsClearedByTheNextLoop)
{
    logic.Command3_Click();
    EXPECT_EQ(view.caption(Caption::Command2), u"") << "no visible effect";
    inTheWaitAfter(2, [&] { logic.Command3_Click(); });
    logic.Command2_Click();
    ASSERT_EQ(exchange.requests.size(), 2u);
    EXPECT_EQ(exchange.requests[0].body, "data=&type=refresh&arg=") << "before any mailbox the name is empty";
    EXPECT_FALSE(hasHeader(exchange.requests[0], "Cookie: sid=loop"));
    EXPECT_TRUE(hasHeader(exchange.requests[1], "Cookie: sid=loop")) << "learned from the first good answer";
}

TEST_F(ReceiveLoop, aLoopStartedInsideAWaitRunsToItsEndBeforeTheFirstResumes)
{
    // Stop and start again inside the first loop's wait; the second loop resets the flag.
    inTheWaitAfter(1, [&] {
        logic.Command3_Click();
        logic.Command2_Click();
    });
    inTheWaitAfter(3, [&] { logic.Command3_Click(); });
    logic.Command2_Click();
    EXPECT_EQ(view.announced, Texts({u"开始循环接收", u"循环结束"})) << "nested loops start and end as one";

    EXPECT_EQ(exchange.requests.size(), 3u) << "one stop ends both loops";
    EXPECT_EQ(
        view.captionsOf(Caption::Command2),
        Texts({u"循环中..", u"循环中..", u"循环中..", u"循环中..", u"循环结束", u"循环中..", u"循环结束"}));
}

TEST_F(ReceiveLoop, thousandsOfClicksDuringAWaitNestEightLoopsAndStopStillEndsThemAll)
{
    int clicksLeft = 3000;
    std::function<void()> nextClick = [&] {
        if (--clicksLeft > 0)
            toolkit.inAWait([] { return true; }, nextClick);
        else
            toolkit.inAWait([] { return true; }, [&] { logic.Command3_Click(); });
        logic.Command2_Click();
    };
    inTheWaitAfter(1, nextClick);
    logic.Command2_Click();
    EXPECT_EQ(clicksLeft, 0);
    EXPECT_EQ(exchange.requests.size(), 8u) << "eight loops, each of which polled once before the stop";
    EXPECT_EQ(view.caption(Caption::Command2), u"循环结束");
}

TEST_F(ReceiveLoop, closingTheWindowEndsTheProgramWithNoFurtherRequestOrBox)
{
    const struct {
        const char *when;
        bool duringTheExchange;
    } cases[] = {{"during a wait", false}, {"during an exchange", true}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.when);
        startAgain();
        exchange.defaultAnswer = answer(refreshAnswer("box"), "Set-Cookie: sid=loop\r\n");
        if (c.duringTheExchange)
            exchange.enqueue(answer("", {}, 500), [&] { logic.Form_Unload(); });
        else
            toolkit.inAWait([] { return true; }, [&] { logic.Form_Unload(); });
        logic.Command2_Click();
        EXPECT_EQ(toolkit.programEnds, 1);
        EXPECT_EQ(exchange.requests.size(), 1u);
        EXPECT_TRUE(toolkit.boxes.empty());
        EXPECT_EQ(view.captionsOf(Caption::Command2), Texts({u"循环中.."}));
    }
}

TEST_F(ReceiveLoop, everyMailIsListedOnceInArrivalOrderAndEachRefreshWithNewMailAsksForAttentionAndIsSpoken)
{
    const Mail m1 {"a@x", "one", "1"}, m2 {"b@x", "two", "2"}, m3 {"c@x", "three", "3"},
        m4 {"d@x", "four", "4"}, m5 {"e@x", "five", "5"};
    createMailbox({m3, m2, m1});  // three before the loop
    exchange.enqueue(answer(refreshAnswer("box", {m5, m4, m3, m2, m1})));  // two within one poll
    for (const auto &alternating : {std::vector {m4, m5}, std::vector {m5, m4}, std::vector {m4, m5}})
        exchange.enqueue(answer(refreshAnswer("box", alternating)));
    inTheWaitAfter(6, [&] { logic.Command3_Click(); });
    logic.Command2_Click();
    EXPECT_EQ(view.list, Texts({u"a@x|one|1", u"b@x|two|2", u"c@x|three|3", u"d@x|four|4", u"e@x|five|5"}));
    EXPECT_EQ(view.attentionAsks, 2) << "once for the first refresh and once for the poll with two";
    EXPECT_EQ(view.announced,
              Texts({u"邮箱获取完成：box@venmarra.test", u"3 封新邮件，第一封：a@x，one", u"开始循环接收",
                     u"2 封新邮件，第一封：d@x，four", u"循环结束"}))
        << "the polls that bring no mail say nothing";
}

}  // namespace
}  // namespace venmarra::test
