#include "devserver/smtp_session.h"

#include "devserver/mail.h"
#include "text/utf.h"

#include <algorithm>
#include <optional>

namespace venmarra::devserver {
namespace {

// The name the service gives itself in its greeting: its mail domain.
constexpr std::string_view kHost = kMailDomain;

bool startsWithNoCase(std::string_view line, std::string_view prefix)
{
    return line.size() >= prefix.size() && text::asciiUpper(line.substr(0, prefix.size())) == prefix;
}

SmtpReply reply(std::string text, bool close = false)
{
    return {std::move(text), close};
}

}  // namespace

SmtpLineSplitter::Next SmtpLineSplitter::next(std::string &line)
{
    const std::size_t end = m_buffer.find('\n');
    if (end == std::string::npos) {
        if (m_buffer.size() > m_maxLineBytes) {  // keep reading, but drop the rest of this line
            m_buffer.clear();
            m_discarding = true;
        }
        return Next::NeedMore;
    }
    line = m_buffer.substr(0, end);
    m_buffer.erase(0, end + 1);
    if (line.ends_with('\r'))
        line.pop_back();
    const bool overlong = m_discarding || line.size() + 2 > m_maxLineBytes;
    m_discarding = false;
    return overlong ? Next::Overlong : Next::Line;
}

namespace {

// What a MAIL FROM or RCPT TO argument names: the address inside "<...>" and the parameters after.
struct Path {
    std::string address;
    std::string_view parameters;
};

// The path of `argument`, or nothing when it is malformed.
std::optional<Path> pathOf(std::string_view argument)
{
    argument = text::trimmedAscii(argument);
    const std::size_t close = argument.find('>');
    if (!argument.starts_with('<') || close == std::string_view::npos)
        return std::nullopt;
    Path path {std::string(argument.substr(1, close - 1)), text::trimmedAscii(argument.substr(close + 1))};
    if (path.address.find_first_of("<> \t") != std::string::npos)
        return std::nullopt;
    return path;
}

}  // namespace

SmtpSession::SmtpSession(SmtpLimits limits, RecipientCheck checkRecipient, Deliver deliver)
    : m_limits(limits)
    , m_checkRecipient(std::move(checkRecipient))
    , m_deliver(std::move(deliver))
{
}

std::string SmtpSession::greeting()
{
    return "220 " + std::string(kHost) + " ESMTP venmarra-devserver";
}

void SmtpSession::resetTransaction()
{
    m_sender.clear();
    m_recipients.clear();
    m_message.clear();
    m_messageTooLarge = false;
    if (m_state != State::Fresh)
        m_state = State::Greeted;
}

SmtpReply SmtpSession::onLine(std::string_view line)
{
    return m_state == State::Data ? onDataLine(line) : onCommand(line);
}

SmtpReply SmtpSession::onOverlongLine()
{
    if (m_state == State::Data) {
        m_messageTooLarge = true;  // reported when the message ends
        return reply("");
    }
    if (++m_commands > m_limits.maxCommands)
        return reply("421 4.7.0 Too many commands, closing", true);
    return reply("500 5.5.2 Line too long");
}

SmtpReply SmtpSession::onDataLine(std::string_view line)
{
    if (line == ".") {
        const bool tooLarge = m_messageTooLarge;
        const std::string sender = m_sender;
        const std::vector<std::string> recipients = m_recipients;
        const std::string message = std::move(m_message);
        resetTransaction();
        if (tooLarge)
            return reply("552 5.3.4 Message too big or with too long lines");
        return m_deliver(sender, recipients, message);
    }
    if (line.starts_with('.'))
        line.remove_prefix(1);  // dot-unstuffing
    if (m_messageTooLarge || m_message.size() + line.size() + 2 > m_limits.maxMessageBytes) {
        m_messageTooLarge = true;
        m_message.clear();
        return reply("");
    }
    m_message.append(line).append("\r\n");
    return reply("");
}

SmtpReply SmtpSession::onCommand(std::string_view line)
{
    if (++m_commands > m_limits.maxCommands)
        return reply("421 4.7.0 Too many commands, closing", true);
    const std::string verb = text::asciiUpper(line.substr(0, line.find(' ')));
    const std::string_view argument = line.size() > verb.size() ? line.substr(verb.size() + 1) : "";
    if (verb == "EHLO" || verb == "HELO") {
        if (text::trimmedAscii(argument).empty())
            return reply("501 5.5.4 " + verb + " needs a domain");
        m_state = State::Greeted;
        resetTransaction();
        if (verb == "HELO")
            return reply("250 " + std::string(kHost));
        return reply("250-" + std::string(kHost) + "\r\n250-SIZE " + std::to_string(m_limits.maxMessageBytes)
                     + "\r\n250 8BITMIME");
    }
    if (verb == "QUIT")
        return reply("221 2.0.0 Bye", true);
    if (verb == "NOOP")
        return reply("250 2.0.0 Ok");
    if (verb == "RSET") {
        resetTransaction();
        return reply("250 2.0.0 Ok");
    }
    if (verb == "VRFY")
        return reply("252 2.5.2 Cannot verify, but will try delivery");
    if (verb == "MAIL")
        return mailFrom(argument);
    if (verb == "RCPT")
        return rcptTo(argument);
    if (verb == "DATA") {
        if (m_state != State::Recipients)
            return reply("503 5.5.1 Need RCPT first");
        m_state = State::Data;
        return reply("354 End data with <CR><LF>.<CR><LF>");
    }
    return reply("502 5.5.2 Command not recognised");
}

SmtpReply SmtpSession::mailFrom(std::string_view argument)
{
    if (m_state == State::Fresh)
        return reply("503 5.5.1 Say EHLO first");
    if (m_state != State::Greeted)
        return reply("503 5.5.1 Nested MAIL command");
    const std::optional<Path> path
        = startsWithNoCase(argument, "FROM:") ? pathOf(argument.substr(5)) : std::nullopt;
    if (!path)
        return reply("501 5.5.4 Syntax: MAIL FROM:<address>");
    const std::string_view parameters = path->parameters;
    if (startsWithNoCase(parameters, "SIZE=")) {
        const std::string size(parameters.substr(5, parameters.find(' ') - 5));
        if (size.empty() || size.size() > 18 || size.find_first_not_of("0123456789") != std::string::npos)
            return reply("501 5.5.4 Bad SIZE");
        if (std::stoull(size) > m_limits.maxMessageBytes)
            return reply("552 5.3.4 Message size exceeds the limit");
    }
    m_sender = path->address;
    m_state = State::Mail;
    return reply("250 2.1.0 Ok");
}

SmtpReply SmtpSession::rcptTo(std::string_view argument)
{
    if (m_state != State::Mail && m_state != State::Recipients)
        return reply("503 5.5.1 Need MAIL first");
    const std::optional<Path> path
        = startsWithNoCase(argument, "TO:") ? pathOf(argument.substr(3)) : std::nullopt;
    if (!path)
        return reply("501 5.5.4 Syntax: RCPT TO:<address>");
    const std::string &address = path->address;
    if (m_recipients.size() >= m_limits.maxRecipients)
        return reply("452 4.5.3 Too many recipients");
    const std::string refusal = m_checkRecipient(address);
    if (!refusal.empty())
        return reply(refusal);
    const auto sameMailbox = [&](const std::string &named) {
        return text::asciiUpper(named) == text::asciiUpper(address);
    };
    if (std::none_of(m_recipients.begin(), m_recipients.end(), sameMailbox))
        m_recipients.push_back(address);  // a mailbox named twice gets one copy
    m_state = State::Recipients;
    return reply("250 2.1.5 Ok");
}

}  // namespace venmarra::devserver
