#include "window_fixture.h"
#include "mailbox/module1.h"
#include "service/answer_reader.h"
#include "service/text_encoding.h"

#include "qt/mail_text_edit.h"
#include <QJsonArray>
#include <QJsonDocument>
#include <QStringEncoder>

namespace venmarra::test {
namespace {

std::string answer(const std::string &headers, const std::string &body)
{
    return "HTTP/1.1 200 OK\r\n" + headers + "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n"
        + body;
}

// The header lines of a raw request, without the request line.
std::vector<std::string> headerLines(const std::string &request)
{
    std::vector<std::string> lines;
    std::size_t at = request.find("\r\n") + 2;
    for (std::size_t end; (end = request.find("\r\n", at)) != std::string::npos && end != at; at = end + 2)
        lines.push_back(request.substr(at, end - at));
    return lines;
}

class HostileContent : public WindowFixture {
protected:
    ScriptedServer raw;
};

TEST_F(HostileContent, aCookieGoesBackByteForByteAndNeverCarriesAControlCharacter)
{
    const std::pair<std::string, std::string> cases[] = {
        {"Set-Cookie: sid=0; Path=/\r\n", "0"},
        {"Set-Cookie: sid=caf\xe9\xff; Path=/\r\n", "caf\xe9\xff"},
        {"Set-Cookie: sid=a\x01b\r\n", "a"},
        {"Set-Cookie: sid=a\x1b]0;title\x07\r\n", "a"},
        {"Set-Cookie: sid=a\x7f"
         "b\r\n",
         "a"},
        {"Set-Cookie: sid=abc\rX-Injected: yes\r\n", "abc"},
        {"Set-Cookie: sid=ab;X-Injected: yes\r\n", "ab"},
        {"X-Other: 1\r\nSet-Cookie: sid=\r\n", ""},
    };
    for (const auto &[setCookie, expected] : cases) {
        SCOPED_TRACE(setCookie);
        startAgainst(raw.baseUrl());
        raw.enqueue(rawReply(answer(setCookie, "{}")));
        raw.enqueue(rawReply(answer("", "{}")));
        logic->获取最新邮件();
        logic->获取最新邮件();
        EXPECT_EQ(logic->SessionId(), utf16FromLatin1(expected));
        const std::vector<std::string> lines = headerLines(raw.requests().back().raw);
        std::vector<std::string> cookies;
        for (const std::string &line : lines) {
            EXPECT_EQ(line.find("X-Injected"), std::string::npos) << line;
            EXPECT_EQ(line.find_first_of(std::string("\r\0", 2)), std::string::npos);
            if (line.rfind("Cookie:", 0) == 0)
                cookies.push_back(line);
        }
        EXPECT_EQ(cookies, std::vector<std::string> {"Cookie: sid=" + expected});
    }
    EXPECT_TRUE(toolkit.messages().empty()) << "every case set a cookie";
}

TEST_F(HostileContent, homePagesOfEveryShapeAreCutOrRefusedCleanly)
{
    const std::string open = "<input id=\"converts\" name=\"converts\" type=\"text\" value=\"";
    const std::string close = "\" valid='{\"minlength\":3}'";
    QStringEncoder gbk("GBK");
    const std::string gbkPage
        = QByteArray(gbk.encode(QString::fromStdString(open) + "邮箱名" + QString::fromStdString(close)))
              .toStdString();
    const std::tuple<const char *, std::string, std::string, std::u16string> cases[] = {
        {"no opening marker", "text/html", "<html>changed</html>", u""},
        {"GBK page", "text/html; charset=GBK", gbkPage, u"邮箱名"},
        {"50 MB page, marker at its end", "text/html",
         std::string(50 * 1024 * 1024, 'x') + open + "late" + close, u"late"},
    };
    for (const auto &[what, type, page, name] : cases) {
        SCOPED_TRACE(what);
        RecordingToolkit recorder;
        MainWindowLogic fresh(view, recorder, linuxAccess(), settingsFor(raw.baseUrl()));
        raw.enqueue(rawReply(answer("Content-Type: " + type + "\r\nSet-Cookie: sid=s\r\n", page)));
        if (!name.empty())
            raw.enqueue(rawReply(answer("", "{}")));  // the refresh that follows a creation
        fresh.Command1_Click();
        EXPECT_EQ(fresh.MailboxName(), name);
        EXPECT_EQ(recorder.programEnds(), name.empty() ? 1 : 0);
        if (name.empty())
            EXPECT_EQ(recorder.messages().back().text, "邮箱获取失败，请重新打开重试。");
        else
            EXPECT_EQ(address(), QString::fromStdU16String(name) + "@venmarra.test");
    }
}

TEST_F(HostileContent, directionMarksStayWhileEmbeddingsOverridesAndIsolatesAreNeutralised)
{
    const std::pair<char16_t, bool> cases[] = {
        {0x200E, true},  {0x200F, true},  {0x061C, true},  {0x202A, false}, {0x202B, false}, {0x202C, false},
        {0x202D, false}, {0x202E, false}, {0x2066, false}, {0x2067, false}, {0x2068, false}, {0x2069, false}};
    auto *list = control<QListWidget>("List1");
    for (const auto &[character, kept] : cases) {
        const QString name = QStringLiteral("שלום") + QChar(character) + "x";
        form.appendListItem({name.toStdU16String(), u"s", u"1"});
        const QString shown = list->item(list->count() - 1)->text();
        EXPECT_EQ(shown.section(u'|', 0, 0),
                  QChar(0x2068) + (kept ? name : QString(name).replace(QChar(character), QChar(0xFFFD)))
                      + QChar(0x2069))
            << std::hex << int(character);
    }
}

TEST_F(HostileContent, displayedValuesAreInertTextAndKeysStayExact)
{
    const QString markup = "<img src=\"file:///etc/passwd\"><a href=\"x\">link</a>&lt;b&gt;";
    const QString escape = QStringLiteral("\x1b[31mred\x1b[0m\x07");
    const QString c1 = QStringLiteral("a\u0085b\u009bc");
    const QString bidi = QStringLiteral("abc\u202Edef\u2066ghi\u2069");
    const QString longText(1000000, u'长');
    const auto json = [](const QString &text) {
        return QString::fromUtf8(QJsonDocument(QJsonArray {text}).toJson(QJsonDocument::Compact))
            .mid(1)
            .chopped(1);
    };
    const QString answer
        = QStringLiteral(R"({"data":[{"user":{"USER":%1,"ADDTIME":%2,"EXPIRETIME":%3,"STATUS":1},
        "list":[{"FROM":%4,"SUBJECT":%5,"MID":"m|1"}]}]})")
              .arg(json(markup), json(escape), json(longText), json(bidi), json(c1));
    Module1 module1;
    module1.ParseRefreshResponse(answer.toStdU16String(), form);

    EXPECT_EQ(caption("Label5"), "用户名：" + markup);
    EXPECT_EQ(caption("Label2"), QStringLiteral("开始时间：\u241b[31mred\u241b[0m\u2407"));
    EXPECT_TRUE(caption("Label3").startsWith("结束时间：长长"));
    EXPECT_LT(caption("Label3").size(), 5000) << "a megabyte is not laid out in a clipped label";
    const QString key = bidi + "|" + c1 + "|m|1";
    EXPECT_EQ(module1.LastMailKey(), key.toStdU16String());
    EXPECT_EQ(form.listItemText(0), key.toStdU16String());
    EXPECT_EQ(form.listItemMailId(0), u"m|1");
    const QString shown = control<QListWidget>("List1")->item(0)->text();
    EXPECT_EQ(shown,
              QStringLiteral(
                  "\u2068abc\uFFFDdef\uFFFDghi\uFFFD\u2069|\u2068a\uFFFDb\uFFFDc\u2069|\u2068m|1\u2069"));

    module1.ShowMailContent(QStringLiteral(R"({"data":[{"1":[{"DATA":[%1]}]}]})")
                                .arg(json("line\tone\r\nline two\n" + escape + bidi + markup))
                                .toStdU16String(),
                            form);
    EXPECT_EQ(form.mailViewer().window()->text1()->mailText(),
              QStringLiteral("line\tone\nline two\n\u241b[31mred\u241b[0m\u2407abc\uFFFDdef\uFFFDghi\uFFFD")
                  + markup);
}

}  // namespace
}  // namespace venmarra::test
