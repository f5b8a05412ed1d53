#include "local_service.h"

#include <QJsonArray>

namespace venmarra::devserver::test {
namespace {

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
}  // namespace venmarra::devserver::test
