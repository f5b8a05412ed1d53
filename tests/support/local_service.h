#pragma once

#include "devserver/delivery.h"
#include "devserver/http_api.h"
#include "devserver/http_server.h"
#include "devserver/log.h"
#include "devserver/smtp_server.h"
#include "devserver/socket.h"

#include "service/answer_reader.h"
#include "service/protocol.h"
#include "text/utf.h"

#include <httplib.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace venmarra::devserver::test {

using venmarra::AnswerReader;
using venmarra::cutMailboxName;

// The value at `expression` ("data.data[0].user.USER") of a JSON answer, as the program reads it.
inline std::string valueAt(const std::string &answer, std::string_view expression)
{
    return textForm(AnswerReader(answer).read(expression));
}

// A connection to 127.0.0.1:`port`, with a receive buffer of `receiveBuffer` bytes if given.
Socket connectedSocket(int port, int receiveBuffer = 0);

// A client's side of an SMTP connection, a line at a time.
class SmtpClient {
public:
    explicit SmtpClient(int port, int receiveBuffer = 0)
        : m_socket(connectedSocket(port, receiveBuffer))
    {
    }

    bool send(const std::string &text);  // as it stands, no line end added
    bool sendLines(const std::vector<std::string> &lines);  // each with CRLF
    // Reads until `code` begins a reply line, the server closes, or `timeout` passes.
    std::string readUntil(const std::string &code,
                          std::chrono::milliseconds timeout = std::chrono::seconds(5));
    // Everything until the server closes, or `timeout` passes.
    std::string readAll(std::chrono::milliseconds timeout = std::chrono::seconds(10));

private:
    // Adds what arrives by `deadline` to what was heard; false once the server closed or the
    // deadline passed.
    bool receiveBy(std::chrono::steady_clock::time_point deadline);

    Socket m_socket;
    std::string m_heard;
};

// The local service's HTTP and SMTP sides in this process, on ports the system picks.
class LocalService : public testing::Test {
protected:
    LocalService(StoreLimits storeLimits = {}, SmtpServerLimits smtpLimits = {});
    void SetUp() override;
    void TearDown() override;

    struct Mailbox {
        std::string name, sid;
    };
    Mailbox allocate();
    struct Answer {
        int status = 0;  // 0: no answer, which has failed the test already
        std::string body;
    };
    Answer post(const std::string &body, const std::string &sid);
    // A whole SMTP conversation; returns everything the server said.
    std::string converse(const std::vector<std::string> &lines);
    // The commands of a transaction up to DATA, for the mailboxes named.
    static std::vector<std::string> envelope(const std::vector<std::string> &names);
    // A plain mail to the mailbox, as the lines of a whole conversation.
    static std::vector<std::string> mailTo(const std::string &name, const std::string &subject);
    // The lines that the service's log has written so far.
    std::vector<std::string> logged();

    MailStore store;
    std::mutex logMutex;
    std::string logText;
    Log serviceLog {false, [this](const std::string &entry) {
                        const std::lock_guard lock(logMutex);
                        logText += entry;
                    }};
    std::function<void(const std::string &)> log = std::ref(serviceLog);
    HttpApi api {store, log};
    HttpServer http;
    SmtpServer smtp;
    int httpPort = 0, smtpPort = 0;
};

// The largest resident set this process has had, in bytes (VmHWM).
long peakResidentBytes();

}  // namespace venmarra::devserver::test
