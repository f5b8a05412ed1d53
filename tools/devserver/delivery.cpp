#include "delivery.h"

#include "mime.h"

#include <algorithm>
#include <cctype>

namespace venmarra::devserver {
namespace {

std::string lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

std::string refusal(Delivery verdict)
{
    switch (verdict) {
    case Delivery::Accepted: return {};
    case Delivery::NoSuchMailbox: return "550 5.1.1 No such mailbox";
    case Delivery::Expired: return "550 5.1.1 Mailbox expired";
    case Delivery::MailboxFull: return "452 4.2.2 Mailbox full";
    case Delivery::StoreFull: return "452 4.3.1 Insufficient storage";
    }
    return "451 4.3.0 Local error";
}

}  // namespace

std::string localPartFor(const std::string &address)
{
    const std::size_t at = address.rfind('@');
    if (at == std::string::npos || at == 0 || lower(address.substr(at + 1)) != kMailDomain)
        return {};
    return lower(address.substr(0, at));
}

SmtpSession deliveringSession(MailStore &store, const std::function<void(const std::string &)> &log,
                              SmtpLimits limits)
{
    auto checkRecipient = [&store](const std::string &address) {
        const std::string local = localPartFor(address);
        return local.empty() ? std::string("550 5.1.1 Not a mailbox of this service")
                             : refusal(store.check(local));
    };
    auto deliver = [&store, log](const std::vector<std::string> &recipients, const std::string &message) {
        const ParsedMail mail = parseMail(message);
        std::size_t delivered = 0;
        for (const std::string &recipient : recipients) {
            const Delivery verdict = store.deliver(localPartFor(recipient), mail, message.size());
            delivered += verdict == Delivery::Accepted ? 1 : 0;
            log("SMTP mail for " + recipient
                + (verdict == Delivery::Accepted ? " delivered" : " refused: " + refusal(verdict)) + " (from "
                + mail.from + ", subject " + mail.subject + ")");
        }
        if (delivered == 0)
            return SmtpReply {"554 5.3.0 Delivered to no mailbox"};
        return SmtpReply {"250 2.0.0 Ok: delivered to " + std::to_string(delivered) + " mailbox(es)"};
    };
    return SmtpSession(limits, std::move(checkRecipient), std::move(deliver));
}

}  // namespace venmarra::devserver
