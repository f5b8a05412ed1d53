#include "window_fixture.h"

namespace venmarra::test {
namespace {

std::string answer(const std::string &statusLine, const std::string &headers, const std::string &body)
{
    return "HTTP/1.1 " + statusLine + "\r\n" + headers + "Content-Length: " + std::to_string(body.size())
        + "\r\nConnection: close\r\n\r\n" + body;
}

std::string refreshJson(const std::vector<Mail> &mails)
{
    return refreshAnswer("box", "1", mails);
}

struct Fault {
    const char *what;
    ScriptedReply reply;
    const char *expectedMessage;  // the start of the one box it brings up, or "" for none
};

class ExchangeFaults : public WindowFixture {
protected:
    ScriptedServer raw;
    ScriptedServer elsewhere;
};

TEST_F(ExchangeFaults, theProgramSurvivesEveryFaultInARowAndTheNextGoodExchangeWorks)
{
    HttpLimits limits;
    limits.stallTimeout = 500ms;
    limits.totalTimeout = 1500ms;
    startAgainst(raw.baseUrl(), limits);
    raw.enqueue(rawReply(answer("200 OK", "Set-Cookie: sid=good\r\n", refreshJson({{"a@x", "first", "1"}}))));
    logic->获取最新邮件();
    ASSERT_EQ(listLines(), QStringList({"a@x|first|1"}));
    ASSERT_TRUE(toolkit.messages().empty());

    const std::string html = "<html><body><img src=\"file:///etc/passwd\">denied</body></html>";
    std::string manyHeaders;
    for (int i = 0; i < 10000; ++i)
        manyHeaders += "X-H" + std::to_string(i) + ": v\r\n";
    const Fault faults[] = {
        {"accepted, never answered", {.raw = "", .hold = true}, "错误原因:操作超时"},
        {"trickled a byte at a time", {.raw = answer("200 OK", "", std::string(1000, ' ')), .byteDelay = 40ms},
         "错误原因:操作超时"},
        {"body cut short", rawReply("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nshort"), "错误原因:网络传输失败"},
        {"reset mid-body", {.raw = "HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\npart", .reset = true}, "错误原因:"},
        {"garbage status line", rawReply("SMTP READY\r\n\r\n"), "错误原因:"},
        {"500 with an HTML body", rawReply(answer("500 Internal Server Error", "", html)), "Http错误代码:500"},
        {"403 with an HTML body", rawReply(answer("403 Forbidden", "Content-Type: text/html\r\n", html)),
         "Http错误代码:403"},
        {"302 to another port", rawReply(answer("302 Found", "Location: " + elsewhere.baseUrl() + "\r\n", "")),
         "Http错误代码:302"},
        {"Content-Length of 10 GB", {.raw = "HTTP/1.1 200 OK\r\nContent-Length: 10000000000\r\n\r\nxx", .hold = true},
         "错误原因:服务器的应答过大"},
        {"endless chunked body", {.raw = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n", .endlessChunks = true},
         "错误原因:服务器的应答过大"},
        {"compressed body never asked for",
         rawReply(answer("200 OK", "Content-Encoding: gzip\r\n", std::string("\x1f\x8b\x08\x00\x00\x00\x00\x00\x00\x03", 10))), ""},
        {"200 KB header line", rawReply(answer("200 OK", "X-Big: " + std::string(200 * 1024, 'h') + "\r\n", "{}")),
         "错误原因:"},
        {"ten thousand headers", rawReply(answer("200 OK", manyHeaders, "{}")), ""},
    };
    for (const Fault &fault : faults) {
        SCOPED_TRACE(fault.what);
        const std::size_t messagesBefore = toolkit.messages().size();
        raw.enqueue(fault.reply);
        logic->获取最新邮件();
        const auto texts = messageTexts();
        if (*fault.expectedMessage) {
            ASSERT_EQ(texts.size(), messagesBefore + 1);
            EXPECT_TRUE(texts.back().startsWith(QString::fromUtf8(fault.expectedMessage)))
                << texts.back().toStdString();
            EXPECT_FALSE(texts.back().contains("passwd")) << "an answer's body is never shown";
        } else {
            EXPECT_EQ(texts.size(), messagesBefore);
        }
        EXPECT_EQ(status(), "检测完成.");
        EXPECT_EQ(caption("Label5"), "用户名：");
        EXPECT_EQ(listLines(), QStringList({"a@x|first|1"}));
        EXPECT_EQ(toolkit.programEnds(), 0);
    }
    EXPECT_EQ(elsewhere.requestCount(), 0u) << "a redirect is never followed";

    raw.enqueue(rawReply(answer("200 OK", "", refreshJson({{"b@x", "second", "2"}, {"a@x", "first", "1"}}))));
    logic->获取最新邮件();
    EXPECT_EQ(listLines(), QStringList({"a@x|first|1", "b@x|second|2"}));
    EXPECT_EQ(caption("Label5"), "用户名：box");
    for (const RecordedRequest &request : raw.requests())
        EXPECT_FALSE(request.hasHeader("Accept-Encoding")) << "no compression is asked for";
}

}  // namespace
}  // namespace venmarra::test
