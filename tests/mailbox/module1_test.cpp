#include "logic_fixture.h"
#include "mailbox/module1.h"
#include "text/utf.h"

#include <gtest/gtest.h>

namespace venmarra {
namespace {

using Caption = MainWindowView::Caption;
using Lines = std::vector<std::u16string>;

std::string refresh(std::string_view user, std::string_view list)
{
    return "{\"data\":[{\"user\":" + std::string(user) + ",\"list\":" + std::string(list) + "}]}";
}

std::string mail(std::string_view from, std::string_view subject, std::string_view mid)
{
    return "{\"FROM\":" + std::string(from) + ",\"SUBJECT\":" + std::string(subject)
        + ",\"MID\":" + std::string(mid) + "}";
}

class Module1Test : public testing::Test {
protected:
    test::MemoryView view;
    Module1 module1;
};

TEST_F(Module1Test, refreshAnswerFillsTheMailboxLabelsAndOnlyAStatusWhoseTextIsOneMeansAvailable)
{
    module1.ParseRefreshResponse(test::refreshAnswer("box1"), view);
    EXPECT_EQ(view.caption(Caption::Label5), u"用户名：box1");
    EXPECT_EQ(view.caption(Caption::Label2), u"开始时间：2026-12-06 10:00:00");
    EXPECT_EQ(view.caption(Caption::Label3), u"结束时间：2026-12-06 10:10:00");
    for (const std::string_view status : {"1", "\"1\"", "0", "\"\"", "\"01\"", "true", "1.5", "null"}) {
        module1.ParseRefreshResponse(refresh("{\"STATUS\":" + std::string(status) + "}", "[]"), view);
        EXPECT_EQ(view.caption(Caption::Label6),
                  status == "1" || status == "\"1\"" ? u"是否可用：可用" : u"是否可用：不可用")
            << status;
    }
    EXPECT_TRUE(view.list.empty());
}

TEST_F(Module1Test, theNewest100MailsWithASenderAreListedOldestFirst)
{
    std::string entries;  // newest first, as the service lists them
    for (int mid = 150; mid >= 1; --mid)
        entries += (entries.empty() ? "" : ",")
            + mail(mid % 10 == 0 ? R"("")" : R"("f")", R"("s")", std::to_string(mid));
    module1.ParseRefreshResponse(refresh("{}", "[" + entries + "]"), view);
    Lines expected;
    for (int mid = 51; mid <= 150; ++mid)
        if (mid % 10 != 0)
            expected.push_back(u"f|s|" + text::utf16FromUtf8(std::to_string(mid)));
    EXPECT_EQ(view.list, expected);
    EXPECT_EQ(module1.LastMailKey(), u"f|s|149");
    ASSERT_TRUE(module1.line(0));
    EXPECT_EQ(module1.line(0)->mailId, u"51");
}

TEST_F(Module1Test, noSenderMeansNoMailAndMissingFieldsStayEmpty)
{
    const std::string user = R"({"USER":"u"})";
    for (const std::string_view from : {R"("")", "null"})
        module1.ParseRefreshResponse(refresh(user, "[" + mail(from, R"("s")", R"("m")") + "]"), view);
    module1.ParseRefreshResponse(refresh(user, R"([{"SUBJECT":"s","MID":"m"}])"), view);
    EXPECT_TRUE(view.list.empty());
    EXPECT_EQ(module1.LastMailKey(), u"");

    module1.ParseRefreshResponse(refresh(user, R"([{"FROM":"f","MID":123456789012345678}])"), view);
    EXPECT_EQ(view.list, Lines({u"f||123456789012345678"}));
    ASSERT_TRUE(module1.line(0));
    EXPECT_EQ(module1.line(0)->mailId, u"123456789012345678");
}

TEST_F(Module1Test, theUserAndListPartsAreReadIndependently)
{
    module1.ParseRefreshResponse(R"({"data":[{"list":[{"FROM":"only","SUBJECT":"list","MID":"1"}]}]})", view);
    EXPECT_EQ(view.caption(Caption::Label5), u"用户名：");
    EXPECT_EQ(view.list, Lines({u"only|list|1"}));
    module1.ParseRefreshResponse(R"({"data":[{"user":{"USER":"only user"}}]})", view);
    EXPECT_EQ(view.caption(Caption::Label5), u"用户名：only user");
    EXPECT_EQ(view.list.size(), 1U);
}

}  // namespace
}  // namespace venmarra
