#pragma once

#include "devserver/log.h"
#include "devserver/mail.h"
#include "devserver/smtp_session.h"
#include "devserver/store.h"

#include <string>

// How a mail that SMTP takes reaches the store's mailboxes.
namespace venmarra::devserver {

// A new SMTP session that accepts mail for the store's live mailboxes and delivers it there.
SmtpSession deliveringSession(MailStore &store, const LogLine &log, SmtpLimits limits = {});

}  // namespace venmarra::devserver
