#include "delivery.h"
#include "http_api.h"
#include "smtp_server.h"

#include <httplib.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <thread>

namespace venmarra::devserver {
namespace {

QJsonObject json(const std::string &body)
{
    return QJsonDocument::fromJson(QByteArray::fromStdString(body)).object();
}

// The service's HTTP side and SMTP side on ports the system picks.
class LocalService : public testing::Test {
protected:
    void SetUp() override
    {
        api.install(http);
        httpPort = http.bind_to_any_port("127.0.0.1");
        httpThread = std::thread([this] { http.listen_after_bind(); });
        smtpPort = smtp.bind("127.0.0.1", 0);
        ASSERT_GT(smtpPort, 0);
        smtpThread = std::thread([this] { smtp.serve(); });
        while (!http.is_running())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    void TearDown() override
    {
        http.stop();
        smtp.stop();
        httpThread.join();
        smtpThread.join();
    }
    struct Mailbox {
        std::string name, sid;
    };
    Mailbox allocate()
    {
        httplib::Client client("127.0.0.1", httpPort);
        const auto res = client.Get("/");
        const std::string body = res->body;
        const std::string marker = "<input id=\"converts\" name=\"converts\" type=\"text\" value=\"";
        const std::size_t start = body.find(marker) + marker.size();
        const std::string name = body.substr(start, body.find("\" valid='{\"minlength\":3}'", start) - start);
        const std::string cookie = res->get_header_value("Set-Cookie");
        return {name, cookie.substr(4, 40)};
    }
    httplib::Result post(const std::string &body, const std::string &sid)
    {
        httplib::Client client("127.0.0.1", httpPort);
        httplib::Headers headers;
        if (!sid.empty())
            headers.emplace("Cookie", "sid=" + sid);
        return client.Post("/", headers, body, "application/x-www-form-urlencoded");
    }
    // A whole SMTP conversation over a real socket; returns everything the server said.
    std::string converse(const std::vector<std::string> &lines)
    {
        const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in where {};
        where.sin_family = AF_INET;
        where.sin_port = htons(uint16_t(smtpPort));
        where.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        EXPECT_EQ(::connect(socket, reinterpret_cast<sockaddr *>(&where), sizeof where), 0);
        std::string sent;
        for (const std::string &line : lines)
            sent += line + "\r\n";
        ::send(socket, sent.data(), sent.size(), MSG_NOSIGNAL);
        std::string heard;
        char buffer[4096];
        for (ssize_t n; (n = ::recv(socket, buffer, sizeof buffer, 0)) > 0;)
            heard.append(buffer, std::size_t(n));
        ::close(socket);
        return heard;
    }

    MailStore store;
    std::vector<std::string> logLines;
    std::mutex logMutex;
    std::function<void(const std::string &)> log = [this](const std::string &line) {
        const std::lock_guard lock(logMutex);
        logLines.push_back(line);
    };
    HttpApi api {store, log};
    httplib::Server http;
    SmtpServerLimits smtpLimits {{}, std::chrono::milliseconds(300), 4};
    SmtpServer smtp {smtpLimits, [this] { return deliveringSession(store, log); }, log};
    int httpPort = 0, smtpPort = 0;
    std::thread httpThread, smtpThread;
};

TEST_F(LocalService, homePageHoldsANewNameBetweenTheMarkersAndSetsTheCookie)
{
    httplib::Client client("127.0.0.1", httpPort);
    const auto res = client.Get("/");
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 200);
    const std::string cookie = res->get_header_value("Set-Cookie");
    EXPECT_EQ(cookie.substr(0, 4), "sid=");
    EXPECT_EQ(cookie.substr(44), "; Path=/; HttpOnly");
    const Mailbox a = allocate(), b = allocate();
    EXPECT_NE(a.name, b.name);
    EXPECT_GE(a.name.size(), 3u);
    EXPECT_EQ(store.mailboxCount(), 3u);
}

TEST_F(LocalService, refreshShowsTheOwnersMailboxNewestFirstAndNothingToOthers)
{
    const Mailbox box = allocate(), other = allocate();
    const std::string said
        = converse({"EHLO test", "MAIL FROM:<s@example.test>", "RCPT TO:<" + box.name + "@venmarra.test>",
                    "DATA", "From: One <one@example.test>", "Subject: first", "", "body one", ".",
                    "MAIL FROM:<s@example.test>", "RCPT TO:<" + box.name + "@VENMARRA.TEST>", "DATA",
                    "From: two@example.test", "Subject: second", "", "body two", ".", "QUIT"});
    EXPECT_NE(said.find("221"), std::string::npos) << said;

    const QJsonObject mine = json(post("data=" + box.name + "&type=refresh&arg=", box.sid)->body);
    const QJsonObject entry = mine["data"].toArray()[0].toObject();
    EXPECT_EQ(entry["user"].toObject()["USER"].toString().toStdString(), box.name);
    EXPECT_EQ(entry["user"].toObject()["STATUS"].toInt(), 1);
    EXPECT_EQ(entry["user"].toObject()["ADDTIME"].toString().size(), 19);
    const QJsonArray list = entry["list"].toArray();
    ASSERT_EQ(list.size(), 2);
    EXPECT_EQ(list[0].toObject()["SUBJECT"].toString(), "second");
    EXPECT_EQ(list[1].toObject()["FROM"].toString(), "One <one@example.test>");

    const std::string mid = list[1].toObject()["MID"].toString().toStdString();
    const QJsonObject info = json(post("data=" + box.name + "&type=mailinfo&arg=f%3D" + mid, box.sid)->body);
    EXPECT_EQ(
        info["data"].toArray()[0].toObject()["1"].toArray()[0].toObject()["DATA"].toArray()[0].toString(),
        "body one\n");

    for (const std::string &sid : {other.sid, std::string()}) {
        const QJsonObject theirs = json(post("data=" + box.name + "&type=refresh&arg=", sid)->body);
        const QJsonObject seen = theirs["data"].toArray()[0].toObject();
        EXPECT_EQ(seen["user"].toObject()["STATUS"].toInt(), 0);
        EXPECT_TRUE(seen["list"].toArray().isEmpty());
        const QJsonObject noInfo
            = json(post("data=" + box.name + "&type=mailinfo&arg=f%3D" + mid, sid)->body);
        EXPECT_TRUE(noInfo["data"].toArray().isEmpty());
    }
}

TEST_F(LocalService, malformedRequestsGetA400)
{
    const Mailbox box = allocate();
    for (const std::string &body :
         {std::string("type=refresh"), std::string("data=x&type=other&arg="),
          std::string("data=x&type=mailinfo&arg=1000"), std::string("%%%"), std::string()}) {
        const auto res = post(body, box.sid);
        ASSERT_TRUE(res);
        EXPECT_EQ(res->status, 400) << body;
    }
    httplib::Client client("127.0.0.1", httpPort);
    EXPECT_EQ(client.Get("/other")->status, 404);
}

TEST_F(LocalService, smtpRefusesUnknownMailboxesIdleConnectionsAndOverlongLines)
{
    const std::string said = converse(
        {"HELO t", "MAIL FROM:<a@b>", "RCPT TO:<nobody@venmarra.test>", "RCPT TO:<x@other.test>", "QUIT"});
    EXPECT_NE(said.find("550 5.1.1 No such mailbox"), std::string::npos) << said;
    EXPECT_NE(said.find("550 5.1.1 Not a mailbox of this service"), std::string::npos);
    const std::string idle = converse({});
    EXPECT_NE(idle.find("421 4.4.2 Idle"), std::string::npos) << idle;
    const std::string longLine = converse({"HELO " + std::string(5000, 'x'), "QUIT"});
    EXPECT_NE(longLine.find("500 5.5.2 Line too long"), std::string::npos) << longLine;
    EXPECT_NE(longLine.find("221"), std::string::npos);
}

}  // namespace
}  // namespace venmarra::devserver
