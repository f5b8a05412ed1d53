#pragma once

#include "build_settings.h"
#include "smtp_session.h"
#include "store.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace venmarra::devserver {

// The domain of the service's mailbox addresses: the program's, set when both are built.
using build::kMailDomain;

// How much of a value from a client a log line shows.
inline constexpr std::size_t kMaxLoggedCharacters = 200;

// `value` as a log line shows it: control characters visible (a client cannot move the
// terminal's cursor, retitle it or forge a line), at most kMaxLoggedCharacters characters.
std::string logValue(std::string_view value);

// The local part of `address` when it is a mailbox under the service's domain, else empty.
std::string localPartFor(const std::string &address);

// A new SMTP session that accepts mail for the store's live mailboxes and delivers it there.
SmtpSession deliveringSession(MailStore &store, const std::function<void(const std::string &)> &log,
                              SmtpLimits limits = {});

}  // namespace venmarra::devserver
