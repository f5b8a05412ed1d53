#include "logic_fixture.h"
#include "mailbox/module1.h"
#include "text/utf.h"

#include <gtest/gtest.h>

namespace venmarra {
namespace {

using Caption = MainWindowView::Caption;
using Lines = std::vector<std::u16string>;

std::u16string refresh(std::u16string_view user, std::u16string_view list)
{
    return u"{\"data\":[{\"user\":" + std::u16string(user) + u",\"list\":" + std::u16string(list) + u"}]}";
}

std::u16string mail(std::u16string_view from, std::u16string_view subject, std::u16string_view mid)
{
    return u"{\"FROM\":" + std::u16string(from) + u",\"SUBJECT\":" + std::u16string(subject) + u",\"MID\":"
        + std::u16string(mid) + u"}";
}

std::u16string number(int value)
{
    return text::utf16FromUtf8(std::to_string(value));
}

class Module1Test : public testing::Test {
protected:
    test::MemoryView view;
    Module1 module1;
};

TEST_F(Module1Test, refreshAnswerFillsTheMailboxLabelsAndOnlyAStatusWhoseTextIsOneMeansAvailable)
{
    module1.ParseRefreshResponse(text::utf16FromUtf8(test::refreshAnswer("box1")), view);
    EXPECT_EQ(view.caption(Caption::Label5), u"用户名：box1");
    EXPECT_EQ(view.caption(Caption::Label2), u"开始时间：2026-12-06 10:00:00");
    EXPECT_EQ(view.caption(Caption::Label3), u"结束时间：2026-12-06 10:10:00");
    for (const std::u16string_view status :
         {u"1", u"\"1\"", u"0", u"\"\"", u"\"01\"", u"true", u"1.5", u"null"}) {
        module1.ParseRefreshResponse(refresh(u"{\"STATUS\":" + std::u16string(status) + u"}", u"[]"), view);
        EXPECT_EQ(view.caption(Caption::Label6),
                  status == u"1" || status == u"\"1\"" ? u"是否可用：可用" : u"是否可用：不可用")
            << testing::PrintToString(std::u16string(status));
    }
    EXPECT_TRUE(view.list.empty());
}

TEST_F(Module1Test, theNewest100MailsWithASenderAreListedOldestFirst)
{
    std::u16string entries;  // newest first, as the service lists them
    for (int mid = 150; mid >= 1; --mid)
        entries += (entries.empty() ? u"" : u",")
            + mail(mid % 10 == 0 ? uR"("")" : uR"("f")", uR"("s")", number(mid));
    module1.ParseRefreshResponse(refresh(u"{}", u"[" + entries + u"]"), view);
    Lines expected;
    for (int mid = 51; mid <= 150; ++mid)
        if (mid % 10 != 0)
            expected.push_back(u"f|s|" + number(mid));
    EXPECT_EQ(view.list, expected);
    EXPECT_EQ(module1.LastMailKey(), u"f|s|149");
    ASSERT_TRUE(module1.line(0));
    EXPECT_EQ(module1.line(0)->mailId, u"51");
}

TEST_F(Module1Test, noSenderMeansNoMailAndMissingFieldsStayEmpty)
{
    const std::u16string user = uR"({"USER":"u"})";
    for (const std::u16string_view from : {uR"("")", u"null"})
        module1.ParseRefreshResponse(refresh(user, u"[" + mail(from, uR"("s")", uR"("m")") + u"]"), view);
    module1.ParseRefreshResponse(refresh(user, uR"([{"SUBJECT":"s","MID":"m"}])"), view);
    EXPECT_TRUE(view.list.empty());
    EXPECT_EQ(module1.LastMailKey(), u"");

    module1.ParseRefreshResponse(refresh(user, uR"([{"FROM":"f","MID":123456789012345678}])"), view);
    EXPECT_EQ(view.list, Lines({u"f||123456789012345678"}));
    ASSERT_TRUE(module1.line(0));
    EXPECT_EQ(module1.line(0)->mailId, u"123456789012345678");
}

TEST_F(Module1Test, theUserAndListPartsAreReadIndependently)
{
    module1.ParseRefreshResponse(uR"({"data":[{"list":[{"FROM":"only","SUBJECT":"list","MID":"1"}]}]})",
                                 view);
    EXPECT_EQ(view.caption(Caption::Label5), u"用户名：");
    EXPECT_EQ(view.list, Lines({u"only|list|1"}));
    module1.ParseRefreshResponse(uR"({"data":[{"user":{"USER":"only user"}}]})", view);
    EXPECT_EQ(view.caption(Caption::Label5), u"用户名：only user");
    EXPECT_EQ(view.list.size(), 1U);
}

}  // namespace
}  // namespace venmarra
