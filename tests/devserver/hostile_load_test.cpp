// The local service under hostile load, through real sockets on ports the system picks.
#include "devserver/mime.h"
#include "local_service.h"

#include <algorithm>
#include <cctype>
#include <map>

#include <poll.h>

namespace venmarra::devserver::test {
namespace {

using namespace std::chrono_literals;

// A header of about `bytes` bytes: `name`, then folded lines of control characters.
std::string foldedHeader(const std::string &name, std::size_t bytes)
{
    std::string header = name + ": start";
    while (header.size() < bytes)
        header += "\r\n " + std::string(990, '\x01');
    return header;
}

TEST_F(LocalService, twoPoisonMailsLeaveTheOwnersRefreshSmallAndItsOtherMailsShown)
{
    const Mailbox box = allocate();
    // Made before connecting: the service hangs up on a client that is silent for too long.
    std::vector<std::string> poison = envelope({box.name});
    poison.insert(poison.end(),
                  {foldedHeader("From", 1'000'000), foldedHeader("Subject", 1'000'000), "", "poison", "."});
    for (int copy = 0; copy < 2; ++copy) {
        SmtpClient client(smtpPort);
        client.sendLines(poison);
        EXPECT_NE(client.readUntil("250 2.0.0", 30s).find("250 2.0.0"), std::string::npos);
    }
    converse(mailTo(box.name, "wanted"));
    const std::string refresh = post("data=" + box.name + "&type=refresh&arg=", box.sid).body;
    EXPECT_LT(refresh.size(), 1'000'000u) << "the owner's every poll would carry the poison";
    EXPECT_EQ(valueAt(refresh, "data.data[0].list[0].SUBJECT"), "wanted");
    const std::u16string poisonSubject
        = text::utf16FromUtf8(valueAt(refresh, "data.data[0].list[1].SUBJECT"));
    EXPECT_EQ(poisonSubject.size(), kMaxFieldCharacters);
    EXPECT_NE(valueAt(refresh, "data.data[0].list[2].FROM"), "");
}

TEST_F(LocalService, aMimeBombIsRefusedAndTheServiceStaysSmall)
{
    const Mailbox box = allocate();
    std::string bomb = "Content-Type: multipart/mixed; boundary=b\r\n\r\n";
    for (int part = 0; part < 1'400'000; ++part)
        bomb += "--b\r\n\r\n";
    bomb += "--b--\r\n.\r\n";
    SmtpClient client(smtpPort);
    client.sendLines(envelope({box.name}));
    client.send(bomb);
    const std::string reply = client.readUntil("552", 30s);
    EXPECT_NE(reply.find("552 5.3.4 Too many MIME parts"), std::string::npos) << reply.substr(0, 500);
    const long peak = peakResidentBytes();  // this process's, the service's included
    EXPECT_LT(peak, 200L * 1024 * 1024);
}

TEST(SmtpServerEnd, peersThatNeverReadOrNeverSpeakDoNotHoldUpTheEnd)
{
    MailStore store;
    const auto log = [](const std::string &) {
    };
    const SmtpServerLimits limits;
    auto smtp = std::make_unique<SmtpServer>(
        limits, [&] { return deliveringSession(store, log); }, log);
    const int port = startListening(*smtp, "127.0.0.1", 0);
    SmtpClient silent(port);
    EXPECT_NE(silent.readUntil("220").find("220"), std::string::npos);
    SmtpClient peer(port, 1024);
    std::string flood;
    for (int line = 0; line < 2000; ++line)
        flood += std::string(1200, 'x') + "\r\n";  // overlong lines, each answered with a "500"
    for (int round = 0; round < 20 && peer.send(flood); ++round) { }
    const auto start = std::chrono::steady_clock::now();
    smtp->stop();
    smtp.reset();
    // Waiting for either peer would take their idle time, a minute.
    EXPECT_LT(std::chrono::steady_clock::now() - start, limits.idleTimeout / 4)
        << "the end waited for a peer";
}

TEST_F(LocalService, slowClientsDoNotDelayAGoodRefreshOrAGoodDelivery)
{
    std::vector<Socket> slow;
    for (int i = 0; i < 16; ++i) {  // each has sent part of its request line, and waits
        slow.push_back(connectedSocket(httpPort));
        ::send(slow.back().get(), "POST / HTTP/1.1\r\nHo", 19, MSG_NOSIGNAL);
    }
    for (int i = 0; i < 64; ++i)  // each was greeted and says nothing
        slow.push_back(connectedSocket(smtpPort));

    // Served after the slow clients, the good ones would wait out their idle time: 10 s for HTTP,
    // a minute for SMTP. Half and a third of those leave a busy machine room enough.
    const auto httpBound = HttpServerLimits {}.idleTimeout / 2;
    const auto smtpBound
        = std::chrono::duration_cast<std::chrono::milliseconds>(SmtpServerLimits {}.idleTimeout / 3);
    httplib::Client client("127.0.0.1", httpPort);
    client.set_connection_timeout(httpBound);
    client.set_read_timeout(httpBound);
    const auto page = client.Get("/");
    ASSERT_TRUE(page) << "the home page waited for the slow clients";
    const Mailbox box = allocate();
    EXPECT_EQ(post("data=" + box.name + "&type=refresh&arg=", box.sid).status, 200);

    SmtpClient sender(smtpPort);
    EXPECT_NE(sender.readUntil("220", smtpBound).find("220 "), std::string::npos) << "the greeting waited";
    sender.sendLines(mailTo(box.name, "in time"));
    EXPECT_NE(sender.readUntil("250 2.0.0", smtpBound).find("250 2.0.0"), std::string::npos)
        << "the delivery waited";
}

TEST(HttpServerLimitsTest, aConnectionThatTricklesIsClosedAtItsDeadline)
{
    HttpServerLimits limits;
    limits.connectionDeadline = 300ms;  // the product's is 10 s
    HttpServer server(limits, [](const WebRequest &) { return WebResponse {}; });
    const int port = startListening(server, "127.0.0.1", 0);
    ASSERT_GT(port, 0);
    const Socket socket = connectedSocket(port);
    const std::string request = "POST / HTTP/1.1\r\nHost: 127.0.0.1\r\nX-Slow: ";
    const auto start = std::chrono::steady_clock::now();
    bool closed = false;
    // A byte every 50 ms, never idle, for at most half the idle limit: only the deadline cuts it.
    for (std::size_t sent = 0; !closed && std::chrono::steady_clock::now() - start < limits.idleTimeout / 2;
         ++sent) {
        const char byte = sent < request.size() ? request[sent] : 'x';
        closed = ::send(socket.get(), &byte, 1, MSG_NOSIGNAL) != 1;
        pollfd entry {socket.get(), POLLIN, 0};
        if (!closed && ::poll(&entry, 1, 50) > 0) {
            char answer[256];
            closed = ::recv(socket.get(), answer, sizeof answer, 0) <= 0;
        }
    }
    EXPECT_TRUE(closed) << "a client trickling its request held the connection past its deadline";
}

class SmallMailboxes : public LocalService {
protected:
    SmallMailboxes()
        : LocalService(StoreLimits {.maxMailsPerMailbox = 2})
    {
    }
    std::size_t mailsOf(const Mailbox &box) { return store.view(box.name, box.sid)->newestFirst.size(); }
};

TEST_F(SmallMailboxes, aTransactionReachesEveryRecipientOrNoneAndARecipientNamedTwiceGetsOneCopy)
{
    const Mailbox a = allocate(), b = allocate();
    store.deliverAll({b.name}, {"f", "s", "c"});
    SmtpClient client(smtpPort);
    client.sendLines(envelope({a.name, b.name}));
    ASSERT_NE(client.readUntil("354").find("354"), std::string::npos);
    store.deliverAll({b.name}, {"f", "s", "c"});  // b fills up between RCPT and the end of DATA
    client.sendLines({"Subject: both or none", "", "body", "."});
    EXPECT_NE(client.readUntil("452").find("452 4.2.2 Mailbox full"), std::string::npos);
    EXPECT_EQ(mailsOf(a), 0u) << "a got the mail while the sender was told it failed";

    std::string upper = a.name + "@" + kMailDomain;  // the same mailbox in other letters
    std::ranges::transform(upper, upper.begin(),
                           [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    std::vector<std::string> twice = envelope({a.name, upper, a.name});
    twice.insert(twice.end(), {"Subject: once", "", "body", ".", "QUIT"});
    EXPECT_NE(converse(twice).find("delivered to 1 mailbox(es)"), std::string::npos);
    EXPECT_EQ(mailsOf(a), 1u);
}

// Each byte of `value` as `mark` and two hex digits: percent-encoding, or MIME's Q encoding.
std::string hexEscaped(const std::string &value, char mark)
{
    std::string escaped;
    for (const unsigned char c : value)
        escaped += {mark, "0123456789ABCDEF"[c >> 4], "0123456789ABCDEF"[c & 15]};
    return escaped;
}

// What a client sent reaches the log as readable text on one line of its own, whether it came in a
// form value, an SMTP envelope or a mail's header, or straight to the log writer.
TEST_F(LocalService, theLogWritesWhatAClientSentAsOneReadableLine)
{
    const Mailbox box = allocate();
    const std::string hostile[] = {
        "\x1b]0;owned\x07\x1b[2J",
        "\r\n2026-12-07 00:00:00 SMTP forged",
        std::string("\302\23331m\177\0", 7),
        std::string(5000, 'y'),
        "\xc3\n2026-12-07 00:00:00 HTTP forged\xe2\x1b[2J",  // lead bytes before a line end and an escape
        "\xc0\x8a\xe0\x80\x8a\xed\xa0\x80",  // overlong line ends, an encoded surrogate
        "\x80\x9b[31m cut \xf0\x9f\x98",  // stray continuation bytes, a sequence cut by the end
    };
    for (const std::string &value : hostile) {
        std::string oneLine = value;  // an SMTP command cannot hold a line end
        std::erase_if(oneLine, [](char c) { return c == '\r' || c == '\n'; });
        post("type=refresh&data=" + hexEscaped(value, '%'), box.sid);
        converse({"EHLO x", "MAIL FROM:<" + oneLine + "@example.test>",
                  "RCPT TO:<" + box.name + "@" + kMailDomain + ">", "DATA",
                  "Subject: =?UTF-8?Q?" + hexEscaped(value, '=') + "?=", "", "body", ".", "QUIT"});
        serviceLog("written " + value);
    }
    const std::vector<std::string> lines = logged();
    std::map<std::string, std::size_t> events;
    for (const std::string &line : lines) {
        // "2026-12-07 18:00:00 " and an event, nothing that a terminal would act on
        EXPECT_TRUE(line.size() > 20 && line[4] == '-' && line[13] == ':' && line[19] == ' ') << line;
        const std::string event = line.substr(20, line.find(' ', 20) - 20);
        EXPECT_TRUE(event == "HTTP" || event == "SMTP" || event == "written") << line;
        ++events[event];
        EXPECT_TRUE(std::ranges::none_of(line, [](unsigned char c) { return c < 0x20 || c == 0x7F; }))
            << line;
        EXPECT_TRUE(text::isValidUtf8(line)) << line;
        EXPECT_EQ(line.find("\xc2\x9b"), std::string::npos) << line;
        EXPECT_LE(line.size(), 20 + Log::kMaxLineCharacters * 4);
    }
    // Each event on one line: a refresh and a written line for each value (and the first GET), and
    // the mails that SMTP took.
    EXPECT_EQ(events["written"], std::size(hostile));
    EXPECT_EQ(events["HTTP"], std::size(hostile) + 1);
    EXPECT_GE(events["SMTP"], 2u);
}

}  // namespace
}  // namespace venmarra::devserver::test
