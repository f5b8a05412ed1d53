#include "logic_fixture.h"

namespace venmarra::test {
namespace {

using OpeningAMail = LogicTest;

TEST_F(OpeningAMail, aDoubleClickSendsTheIdentifierReadWithTheLineAndShowsTheContent)
{
    createMailbox({{"a|b@x", "sub|ject", "77"}});
    ASSERT_EQ(view.list, Texts({u"a|b@x|sub|ject|77"}));
    view.selected = 0;
    exchange.enqueue(answer(R"({"data":[[null,[{"DATA":["mail 77"]}]]]})"));
    logic.List1_DblClick();
    ASSERT_EQ(exchange.requests.size(), 3u);
    EXPECT_EQ(exchange.requests[2].body, "data=box&type=mailinfo&arg=f%3D77") << "not the line's third field";
    EXPECT_EQ(view.viewer, u"mail 77");
    EXPECT_EQ(view.caption(Caption::Label4), u"检测完成.") << "opening a mail leaves the status line alone";
}

TEST_F(OpeningAMail, nothingIsSentWithoutASelectedLine)
{
    createMailbox({{"f", "s", "1"}});
    for (const int selected : {-1, 1}) {
        view.selected = selected;
        logic.List1_DblClick();
    }
    EXPECT_EQ(exchange.requests.size(), 2u);
    EXPECT_FALSE(view.viewer);
}

TEST_F(OpeningAMail, aFailedMailRequestStillOpensTheViewerEmpty)
{
    createMailbox({{"f", "s", "9"}});
    view.selected = 0;
    exchange.enqueue(answer(serviceAnswer("mail_info", {{"content", "first"}})));
    logic.List1_DblClick();
    exchange.enqueue(answer("gone", {}, 404));
    logic.List1_DblClick();
    EXPECT_EQ(boxTexts(), Texts({u"Http错误代码:404"}));
    EXPECT_EQ(view.viewer, u"") << "the previous mail never stays";
}

TEST_F(OpeningAMail, aDoubleClickDuringTheLoopsWaitCompletesBeforeTheLoopGoesOn)
{
    createMailbox({{"f", "s", "5"}});
    view.selected = 0;
    exchange.defaultAnswer = answer(serviceAnswer("mail_info", {{"content", "during the loop"}}));
    inTheWaitAfter(3, [&] { logic.List1_DblClick(); });
    inTheWaitAfter(5, [&] { logic.Command3_Click(); });
    logic.Command2_Click();
    ASSERT_EQ(exchange.requests.size(), 5u);
    EXPECT_EQ(exchange.requests[3].body, "data=box&type=mailinfo&arg=f%3D5");
    EXPECT_EQ(toolkit.exchangeTimes[4] - toolkit.exchangeTimes[2], 1200) << "the wait went on after the mail";
    EXPECT_EQ(view.viewer, u"during the loop");
}

}  // namespace
}  // namespace venmarra::test
