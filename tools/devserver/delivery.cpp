#include "devserver/delivery.h"

#include "devserver/log.h"
#include "devserver/mime.h"
#include "text/utf.h"

namespace venmarra::devserver {
namespace {

std::string refusal(Delivery verdict)
{
    switch (verdict) {
    case Delivery::Accepted: return {};
    case Delivery::NoSuchMailbox: return "550 5.1.1 No such mailbox";
    case Delivery::Expired: return "550 5.1.1 Mailbox expired";
    case Delivery::MailboxFull: return "452 4.2.2 Mailbox full";
    case Delivery::StoreFull:
    case Delivery::DiskFull: return "452 4.3.1 Insufficient storage";
    case Delivery::StoreFailed: break;
    }
    return "451 4.3.0 Local error";
}

// The local part of `address` when it is a mailbox under the service's domain, else empty.
std::string localPartFor(const std::string &address)
{
    const std::size_t at = address.rfind('@');
    if (at == std::string::npos || at == 0 || text::asciiLower(address.substr(at + 1)) != kMailDomain)
        return {};
    return text::asciiLower(address.substr(0, at));
}

}  // namespace

SmtpSession deliveringSession(MailStore &store, const LogLine &log, SmtpLimits limits)
{
    auto checkRecipient = [&store](const std::string &address) {
        const std::string local = localPartFor(address);
        return local.empty() ? std::string("550 5.1.1 Not a mailbox of this service")
                             : refusal(store.check(local));
    };
    auto deliver = [&store, log](const std::string &sender, const std::vector<std::string> &recipients,
                                 const std::string &message) {
        if (hasTooManyParts(message)) {
            log("SMTP mail from " + logValue(sender) + " refused: more than " + std::to_string(kMaxMimeParts)
                + " MIME parts");
            return SmtpReply {"552 5.3.4 Too many MIME parts"};
        }
        ParsedMail mail = parseMail(message, sender);
        const std::string summary
            = " (from " + logValue(mail.from) + ", subject " + logValue(mail.subject) + ")";
        std::vector<std::string> mailboxes;
        for (const std::string &recipient : recipients)
            mailboxes.push_back(localPartFor(recipient));
        // Every recipient gets the mail, or none does: a "250" never hides a lost copy.
        const Delivery verdict = store.deliverAll(mailboxes, std::move(mail));
        if (verdict != Delivery::Accepted) {
            log("SMTP mail for " + std::to_string(recipients.size())
                + " mailbox(es) refused: " + refusal(verdict) + summary);
            return SmtpReply {refusal(verdict)};
        }
        for (const std::string &recipient : recipients)
            log("SMTP mail for " + logValue(recipient) + " delivered" + summary);
        return SmtpReply {"250 2.0.0 Ok: delivered to " + std::to_string(recipients.size()) + " mailbox(es)"};
    };
    return SmtpSession(limits, std::move(checkRecipient), std::move(deliver));
}

}  // namespace venmarra::devserver
