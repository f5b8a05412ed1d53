#pragma once

#include "devserver/http_server.h"
#include "devserver/log.h"
#include "devserver/mail.h"
#include "devserver/store.h"

#include <string>

namespace venmarra::devserver {

// The service's three exchanges on "/": GET allocates a mailbox and serves the home page;
// a form POST answers "refresh" and "mailinfo" in JSON for the session that owns the mailbox.
class HttpApi {
public:
    HttpApi(MailStore &store, LogLine log);
    // The answer to one request of the service's client; 500 when the store fails.
    WebResponse handle(const WebRequest &request) const;

    static std::string homePage(const std::string &name);
    // The refresh answer for `name` as session `sid` sees it (the newest 100 mails); STATUS 0 and
    // no mail when the session does not own the mailbox.
    std::string refreshAnswer(const std::string &name, const std::string &sid) const;
    // The mail-info answer; an empty data array when the mail is not the session's.
    std::string mailInfoAnswer(const std::string &name, const std::string &sid, const std::string &mid) const;

private:
    WebResponse answer(const WebRequest &request) const;
    WebResponse allocate() const;

    MailStore &m_store;
    const LogLine m_log;
};

}  // namespace venmarra::devserver
