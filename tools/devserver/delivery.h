#pragma once

#include "smtp_session.h"
#include "store.h"

#include <functional>
#include <string>

namespace venmarra::devserver {

inline constexpr char kMailDomain[] = "venmarra.test";

// The local part of `address` when it is a mailbox under the service's domain, else empty.
std::string localPartFor(const std::string &address);

// A new SMTP session that accepts mail for the store's live mailboxes and delivers it there.
SmtpSession deliveringSession(MailStore &store, const std::function<void(const std::string &)> &log,
                              SmtpLimits limits = {});

}  // namespace venmarra::devserver
