#include "mailbox/module1.h"
#include "ui/form1.h"

#include "ui/mail_text_edit.h"
#include <QLabel>
#include <QListWidget>

#include <gtest/gtest.h>

namespace venmarra {
namespace {

QString refresh(const QString &user, const QString &list)
{
    return QStringLiteral(R"({"data":[{"user":%1,"list":%2}]})").arg(user, list);
}

QString mail(const QString &from, const QString &subject, const QString &mid)
{
    return QStringLiteral(R"({"FROM":%1,"SUBJECT":%2,"MID":%3})").arg(from, subject, mid);
}

class Module1Test : public testing::Test {
protected:
    QString label(const char *name) { return form.findChild<QLabel *>(name)->text(); }
    QStringList lines()
    {
        QStringList result;
        auto *list = form.findChild<QListWidget *>("List1");
        for (int i = 0; i < list->count(); ++i)
            result << form.listItemText(i);
        return result;
    }
    QString viewerText()
    {
        Form2 *viewer = form.mailViewer().window();
        return viewer ? viewer->text1()->mailText() : QStringLiteral("<no viewer>");
    }

    Form1 form;
    Module1 module1;
};

TEST_F(Module1Test, refreshAnswerFillsTheMailboxLabels)
{
    module1.ParseRefreshResponse(
        refresh(
            R"({"USER":"box1","STATUS":1,"ADDTIME":"2026-12-06 10:00:00","EXPIRETIME":"2026-12-06 10:10:00"})",
            "[]"),
        form);
    EXPECT_EQ(label("Label5"), "用户名：box1");
    EXPECT_EQ(label("Label6"), "是否可用：可用");
    EXPECT_EQ(label("Label2"), "开始时间：2026-12-06 10:00:00");
    EXPECT_EQ(label("Label3"), "结束时间：2026-12-06 10:10:00");
    EXPECT_TRUE(lines().isEmpty());
}

TEST_F(Module1Test, onlyAStatusWhoseTextIsOneMeansAvailable)
{
    const std::pair<const char *, const char *> cases[] = {{R"({"STATUS":1})", "是否可用：可用"},
                                                           {R"({"STATUS":"1"})", "是否可用：可用"},
                                                           {R"({"STATUS":0})", "是否可用：不可用"},
                                                           {R"({"STATUS":""})", "是否可用：不可用"},
                                                           {R"({})", "是否可用：不可用"},
                                                           {R"({"STATUS":"01"})", "是否可用：不可用"},
                                                           {R"({"STATUS":true})", "是否可用：不可用"},
                                                           {R"({"STATUS":1.5})", "是否可用：不可用"},
                                                           {R"({"STATUS":null})", "是否可用：不可用"}};
    for (const auto &[user, expected] : cases) {
        module1.ParseRefreshResponse(refresh(user, "[]"), form);
        EXPECT_EQ(label("Label6"), QString::fromUtf8(expected)) << user;
    }
}

TEST_F(Module1Test, theNewest100MailsWithASenderAreListedOldestFirst)
{
    QStringList entries;  // newest first, as the service lists them
    for (int mid = 150; mid >= 1; --mid)
        entries << mail(mid % 10 == 0 ? R"("")" : R"("f")", R"("s")", QString::number(mid));
    module1.ParseRefreshResponse(refresh("{}", "[" + entries.join(',') + "]"), form);
    QStringList expected;
    for (int mid = 51; mid <= 150; ++mid)
        if (mid % 10 != 0)
            expected << QStringLiteral("f|s|%1").arg(mid);
    EXPECT_EQ(lines(), expected);
    EXPECT_EQ(module1.LastMailKey(), "f|s|149");
    EXPECT_EQ(form.listItemMailId(0), "51");
}

TEST_F(Module1Test, noSenderMeansNoMailAndMissingFieldsStayEmpty)
{
    const QString user = R"({"USER":"u"})";
    for (const QString &from : {QStringLiteral(R"("")"), QStringLiteral("null")})
        module1.ParseRefreshResponse(refresh(user, "[" + mail(from, R"("s")", R"("m")") + "]"), form);
    module1.ParseRefreshResponse(refresh(user, R"([{"SUBJECT":"s","MID":"m"}])"), form);
    EXPECT_TRUE(lines().isEmpty());
    EXPECT_EQ(module1.LastMailKey(), QString());

    module1.ParseRefreshResponse(refresh(user, R"([{"FROM":"f","MID":123456789012345678}])"), form);
    EXPECT_EQ(lines(), QStringList({"f||123456789012345678"}));
    EXPECT_EQ(form.listItemMailId(0), "123456789012345678");
}

TEST_F(Module1Test, theUserAndListPartsAreReadIndependently)
{
    module1.ParseRefreshResponse(R"({"data":[{"list":[{"FROM":"only","SUBJECT":"list","MID":"1"}]}]})", form);
    EXPECT_EQ(label("Label5"), "用户名：");
    EXPECT_EQ(lines(), QStringList({"only|list|1"}));
    module1.ParseRefreshResponse(R"({"data":[{"user":{"USER":"only user"}}]})", form);
    EXPECT_EQ(label("Label5"), "用户名：only user");
    EXPECT_EQ(lines().size(), 1);
}

TEST_F(Module1Test, anUnreadableAnswerLeavesBarePrefixesAndTheListAlone)
{
    module1.ParseRefreshResponse(refresh(R"({"USER":"u","STATUS":1,"ADDTIME":"a","EXPIRETIME":"e"})",
                                         R"([{"FROM":"f","SUBJECT":"s","MID":"1"}])"),
                                 form);
    for (const QString &answer :
         {QString(), QStringLiteral("<html>502</html>"), QStringLiteral("{\"data\":")}) {
        module1.ParseRefreshResponse(answer, form);
        EXPECT_EQ(label("Label5"), "用户名：");
        EXPECT_EQ(label("Label6"), "是否可用：不可用");
        EXPECT_EQ(label("Label2"), "开始时间：");
        EXPECT_EQ(label("Label3"), "结束时间：");
        EXPECT_EQ(lines(), QStringList({"f|s|1"}));
        EXPECT_EQ(module1.LastMailKey(), "f|s|1");
    }
}

TEST_F(Module1Test, mailContentIsShownInOneViewerAndReplacedByTheNext)
{
    EXPECT_EQ(viewerText(), "<no viewer>") << "the viewer is not opened before a mail is";
    module1.ShowMailContent(R"({"data":[[null,[{"DATA":["第一封\n第二行"]}]]]})", form);
    Form2 *viewer = form.mailViewer().window();
    ASSERT_TRUE(viewer);
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_EQ(viewerText(), "第一封\n第二行");
    module1.ShowMailContent(R"({"data":[{"1":[{"DATA":["second"]}]}]})", form);
    EXPECT_EQ(form.mailViewer().window(), viewer);
    EXPECT_EQ(viewerText(), "second");
    for (const QString &unreadable : {QStringLiteral(R"({"data":[{"1":[{"DATA":null}]}]})"),
                                      QStringLiteral(R"({"data":[{"1":[{"DATA":[null]}]}]})"), QString()}) {
        module1.ShowMailContent("{\"data\":[[0,[{\"DATA\":[\"again\"]}]]]}", form);
        module1.ShowMailContent(unreadable, form);
        EXPECT_EQ(viewerText(), QString()) << "the previous mail never stays";
    }
}

}  // namespace
}  // namespace venmarra
