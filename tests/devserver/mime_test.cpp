#include "devserver/mime.h"

#include <gtest/gtest.h>

namespace venmarra::devserver {
namespace {

TEST(Mime, gb18030SubjectAndQuotedPrintableBodyBecomeReadableUtf8)
{
    // "张三", "国标主题" and "正文：你好" in GB18030, the first two in base64.
    const std::string raw = "From: =?GB18030?B?1cXI/Q==?= <zhang@example.test>\r\n"
                            "Subject: =?GB18030?B?ufqx6tb3zOI=?=\r\n"
                            "MIME-Version: 1.0\r\nContent-Type: text/plain; charset=GB18030\r\n"
                            "Content-Transfer-Encoding: quoted-printable\r\n\r\n"
                            "=D5=FD=CE=C4=A3=BA=C4=E3=BA=C3\r\nline two\r\n";
    const ParsedMail mail = parseMail(raw);
    EXPECT_EQ(mail.from, "张三 <zhang@example.test>");
    EXPECT_EQ(mail.subject, "国标主题");
    EXPECT_EQ(mail.content, "正文：你好\nline two\n");
}

TEST(Mime, thePlainPartIsPreferredElseTheHtmlSource)
{
    const std::string alternative
        = "From: plain@example.test\r\nSubject: =?UTF-8?Q?caf=C3=A9?=\r\nMIME-Version: 1.0\r\n"
          "Content-Type: multipart/alternative; boundary=XX\r\n\r\n"
          "--XX\r\nContent-Type: text/html; charset=UTF-8\r\n\r\n<p>html</p>\r\n"
          "--XX\r\nContent-Type: text/plain; charset=UTF-8\r\nContent-Transfer-Encoding: base64\r\n\r\n"
          "57qv5paH5pys\r\n--XX--\r\n";  // "纯文本"
    const ParsedMail mixed = parseMail(alternative);
    EXPECT_EQ(mixed.from, "plain@example.test");
    EXPECT_EQ(mixed.subject, "café");
    EXPECT_EQ(mixed.content, "纯文本");

    const ParsedMail html
        = parseMail("From: h@example.test\r\nSubject: h\r\nContent-Type: text/html; charset=UTF-8\r\n"
                    "\r\n<b>bold</b> &amp;\r\n");
    EXPECT_EQ(html.content, "<b>bold</b> &amp;\n");
}

TEST(Mime, anUnreadableContentTypeIsPlainTextAttachmentsAreNotContentAndGarbageGivesEmptyFields)
{
    for (const char *type : {"text; charset=us-ascii", "/plain", "garbage", "text/"}) {
        const std::string raw = std::string("From: a@example.test\r\nContent-Type: ") + type
            + "\r\nContent-Transfer-Encoding: quoted-printable\r\n\r\nthe body=3D\r\n";
        EXPECT_EQ(parseMail(raw).content, "the body=\n") << type;
    }
    const std::string withAttachment = "From: a@example.test\r\nSubject: s\r\nMIME-Version: "
                                       "1.0\r\nContent-Type: multipart/mixed; boundary=B\r\n\r\n"
                                       "--B\r\nContent-Type: text/plain\r\nContent-Disposition: attachment; "
                                       "filename=a.txt\r\n\r\nattached\r\n"
                                       "--B--\r\n";
    EXPECT_EQ(parseMail(withAttachment).content, "");
    const ParsedMail garbage = parseMail(std::string("\0\1\2 not a mail", 14));
    EXPECT_EQ(garbage.from, "");
    EXPECT_EQ(parseMail("").subject, "");
}

TEST(Mime, whereTheHeaderBlockEndsWithoutItsBlankLineTheRestIsTheBodyAndAnEnvelopeLineIsSkipped)
{
    const struct {
        std::string raw, subject, content;
    } cases[] = {
        {"Subject: s\r\nno colon here\r\nsecond\r\n", "s", "no colon here\nsecond\n"},
        {"Subject: s\r\n folded\r\nX-Spaced : yes\r\nthe body: a space in a name\r\n", "s folded",
         "the body: a space in a name\n"},
        {"Hello,\r\nSubject: not a header now\r\n", "", "Hello,\nSubject: not a header now\n"},
        // A mail saved from a mailbox file starts with its envelope line, which is no header.
        {"From MAILER-DAEMON Fri Apr 06 10:00:00 2026\r\nSubject: saved\r\n\r\nbody\r\n", "saved", "body\n"},
        {"From here on, text\r\nmore text\r\n", "", "From here on, text\nmore text\n"},
    };
    for (const auto &c : cases) {
        const ParsedMail mail = parseMail(c.raw);
        EXPECT_EQ(mail.subject, c.subject) << c.raw;
        EXPECT_EQ(mail.content, c.content) << c.raw;
    }
}

TEST(Mime, aNulIsShownTheEnvelopeStandsInForAMissingSenderAndFieldsStayALineLong)
{
    const ParsedMail mail
        = parseMail(std::string("Subject: a\0b\r\n\r\nx\0y\r\n", 21), "envelope@example.test");
    EXPECT_EQ(mail.from, "envelope@example.test");
    EXPECT_EQ(mail.subject, "a\u2400b");
    EXPECT_EQ(mail.content, "x\u2400y\n");
    const ParsedMail named = parseMail(
        "From: me@example.test\r\nSubject: " + std::string(5000, 's') + "\r\n\r\nx", "envelope@example.test");
    EXPECT_EQ(named.from, "me@example.test");
    EXPECT_EQ(named.subject, std::string(kMaxFieldCharacters, 's'));
}

}  // namespace
}  // namespace venmarra::devserver
