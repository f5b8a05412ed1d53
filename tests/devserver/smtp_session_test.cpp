#include "devserver/smtp_session.h"

#include <gtest/gtest.h>

namespace venmarra::devserver {
namespace {

struct Delivered {
    std::vector<std::string> recipients;
    std::string message;
};

class SmtpSessionTest : public testing::Test {
protected:
    SmtpSession makeSession(SmtpLimits limits = {})
    {
        return SmtpSession(
            limits,
            [](const std::string &address) {
                return address == "box@venmarra.test" || address == "two@venmarra.test"
                    ? std::string()
                    : std::string("550 5.1.1 No such mailbox");
            },
            [this](const std::string &, const std::vector<std::string> &recipients,
                   const std::string &message) {
                delivered.push_back({recipients, message});
                return SmtpReply {"250 2.0.0 Ok"};
            });
    }
    // The reply codes to a sequence of lines.
    std::vector<std::string> codes(SmtpSession &session, const std::vector<std::string> &lines)
    {
        std::vector<std::string> result;
        for (const std::string &line : lines)
            result.push_back(session.onLine(line).text.substr(0, 3));
        return result;
    }
    std::vector<Delivered> delivered;
};

TEST_F(SmtpSessionTest, aWholeConversationDeliversTheDotUnstuffedMessage)
{
    SmtpSession session = makeSession();
    EXPECT_EQ(SmtpSession::greeting().substr(0, 4), "220 ");
    EXPECT_EQ(codes(session,
                    {"EHLO client", "MAIL FROM:<a@example.test> SIZE=100", "RCPT TO:<box@venmarra.test>",
                     "rcpt to:<two@venmarra.test>", "DATA", "Subject: hi", "", "..leading dot", "line", ".",
                     "QUIT"}),
              (std::vector<std::string> {"250", "250", "250", "250", "354", "", "", "", "", "250", "221"}));
    ASSERT_EQ(delivered.size(), 1u);
    EXPECT_EQ(delivered[0].recipients, (std::vector<std::string> {"box@venmarra.test", "two@venmarra.test"}));
    EXPECT_EQ(delivered[0].message, "Subject: hi\r\n\r\n.leading dot\r\nline\r\n");
    EXPECT_TRUE(session.onLine("QUIT").close);
}

TEST_F(SmtpSessionTest, commandsOutOfOrderOrUnknownAreRefusedAndAResetForgetsTheTransaction)
{
    SmtpSession session = makeSession();
    EXPECT_EQ(codes(session,
                    {"MAIL FROM:<a@b>", "HELO", "HELO c", "RCPT TO:<box@venmarra.test>", "DATA",
                     "MAIL FROM:<a@b>", "MAIL FROM:<a@b>", "MAIL FROM: a@b", "DATA", "FOO", "",
                     "RCPT TO:<nobody@venmarra.test>", "RCPT TO:<box@elsewhere.test>", "NOOP", "VRFY x"}),
              (std::vector<std::string> {"503", "501", "250", "503", "503", "250", "503", "503", "503", "502",
                                         "502", "550", "550", "250", "252"}));
    EXPECT_TRUE(delivered.empty());

    SmtpSession reset = makeSession();  // a reset forgets the transaction
    EXPECT_EQ(codes(reset,
                    {"EHLO c", "MAIL FROM:<a@b>", "RCPT TO:<box@venmarra.test>", "RSET", "DATA",
                     "MAIL FROM:<a@b>", "RCPT TO:<two@venmarra.test>", "DATA", "x", "."}),
              (std::vector<std::string> {"250", "250", "250", "250", "503", "250", "250", "354", "", "250"}));
    ASSERT_EQ(delivered.size(), 1u);
    EXPECT_EQ(delivered[0].recipients, std::vector<std::string> {"two@venmarra.test"});
}

TEST_F(SmtpSessionTest, limitsOnSizeLinesRecipientsAndCommands)
{
    SmtpSession session = makeSession({.maxMessageBytes = 20, .maxCommands = 8, .maxRecipients = 1});
    EXPECT_EQ(codes(session,
                    {"EHLO c", "MAIL FROM:<a@b> SIZE=21", "MAIL FROM:<a@b> SIZE=x", "MAIL FROM:<a@b>",
                     "RCPT TO:<box@venmarra.test>", "RCPT TO:<two@venmarra.test>", "DATA", "0123456789",
                     "0123456789", "."}),
              (std::vector<std::string> {"250", "552", "501", "250", "250", "452", "354", "", "", "552"}));
    EXPECT_TRUE(delivered.empty());
    EXPECT_EQ(session.onOverlongLine().text.substr(0, 3), "500") << "the eighth command";
    const SmtpReply last = session.onLine("NOOP");
    EXPECT_EQ(last.text.substr(0, 3), "421");
    EXPECT_TRUE(last.close);
}

TEST_F(SmtpSessionTest, anOverlongLineInsideDataRefusesTheMessage)
{
    SmtpSession session = makeSession();
    codes(session, {"EHLO c", "MAIL FROM:<a@b>", "RCPT TO:<box@venmarra.test>", "DATA", "ok"});
    EXPECT_EQ(session.onOverlongLine().text, "");
    EXPECT_EQ(session.onLine(".").text.substr(0, 3), "552");
    EXPECT_TRUE(delivered.empty());
}

}  // namespace
}  // namespace venmarra::devserver
