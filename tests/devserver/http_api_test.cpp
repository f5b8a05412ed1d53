#include "local_service.h"

#include <ctime>
#include <iomanip>
#include <sstream>

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
    EXPECT_GE(a.name.size(), 3u);
    EXPECT_EQ(a.name.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789"), std::string::npos);
    EXPECT_EQ(store.mailboxCount(), 3u);
}

TEST_F(LocalService, refreshShowsTheOwnersMailboxNewestFirstAndNothingToOthers)
{
    const Mailbox box = allocate(), other = allocate();
    std::vector<std::string> lines = envelope({box.name});
    lines.insert(lines.end(),
                 {"From: One <one@example.test>", "Subject: first", "", "body one", ".",
                  "MAIL FROM:<s@example.test>", "RCPT TO:<" + box.name + "@VENMARRA.TEST>", "DATA",
                  "From: two@example.test", "Subject: second", "", "body two", ".", "QUIT"});
    const std::string said = converse(lines);
    EXPECT_NE(said.find("221"), std::string::npos) << said;

    const std::string mine = post("data=" + box.name + "&type=refresh&arg=", box.sid).body;
    EXPECT_EQ(valueAt(mine, "data.data[0].user.USER"), box.name);
    EXPECT_EQ(valueAt(mine, "data.data[0].user.STATUS"), "1");
    // "YYYY-MM-DD hh:mm:ss", the end ten minutes after the start
    const auto time = [&](std::string_view field) {
        std::tm parts {};
        const std::string text = valueAt(mine, field);
        EXPECT_EQ(text.size(), 19u) << text;
        std::istringstream(text) >> std::get_time(&parts, "%Y-%m-%d %H:%M:%S");
        parts.tm_isdst = -1;
        return std::mktime(&parts);
    };
    EXPECT_EQ(time("data.data[0].user.EXPIRETIME") - time("data.data[0].user.ADDTIME"), 600);
    EXPECT_EQ(valueAt(mine, "data.data[0].list[0].SUBJECT"), "second");
    EXPECT_EQ(valueAt(mine, "data.data[0].list[1].FROM"), "One <one@example.test>");
    EXPECT_EQ(valueAt(mine, "data.data[0].list[2].FROM"), "");

    const std::string mid = valueAt(mine, "data.data[0].list[1].MID");
    const std::string info = post("data=" + box.name + "&type=mailinfo&arg=f%3D" + mid, box.sid).body;
    EXPECT_EQ(valueAt(info, "data.data[0][1][0].DATA[0]"), "body one\n");

    for (const std::string &sid : {other.sid, std::string()}) {  // one session never reads another's mailbox
        const std::string theirs = post("data=" + box.name + "&type=refresh&arg=", sid).body;
        EXPECT_EQ(valueAt(theirs, "data.data[0].user.STATUS"), "0");
        EXPECT_EQ(valueAt(theirs, "data.data[0].list[0].FROM"), "");
        const std::string noInfo = post("data=" + box.name + "&type=mailinfo&arg=f%3D" + mid, sid).body;
        EXPECT_EQ(valueAt(noInfo, "data.data[0][1][0].DATA[0]"), "");
    }
}

TEST_F(LocalService, malformedRequestsGetA400)
{
    const Mailbox box = allocate();
    for (const std::string &body :
         {std::string("type=refresh"), std::string("data=x&type=other&arg="),
          std::string("data=x&type=mailinfo&arg=1000"), std::string("%%%"), std::string()}) {
        EXPECT_EQ(post(body, box.sid).status, 400) << body;
    }
    httplib::Client client("127.0.0.1", httpPort);
    EXPECT_EQ(client.Get("/other")->status, 404);
}

// The service with a short SMTP idle time (the product's is a minute).
class QuicklyIdleService : public LocalService {
protected:
    QuicklyIdleService()
        : LocalService({}, SmtpServerLimits {.idleTimeout = std::chrono::milliseconds(300)})
    {
    }
};

TEST_F(QuicklyIdleService, smtpRefusesUnknownMailboxesIdleConnectionsAndOverlongLines)
{
    const std::string said
        = converse({"HELO t", "MAIL FROM:<a@b>", "RCPT TO:<nobody@" + std::string(kMailDomain) + ">",
                    "RCPT TO:<x@other.test>", "QUIT"});
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
