#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace venmarra::devserver {

struct SmtpLimits {
    std::size_t maxMessageBytes = static_cast<std::size_t>(10) * 1024 * 1024;
    std::size_t maxLineBytes = 1000;  // a line with its CRLF, as mail allows
    std::size_t maxCommands = 200;
    std::size_t maxRecipients = 50;
};

struct SmtpReply {
    std::string text;  // without the final CRLF; several lines are joined by CRLF
    bool close = false;  // the server closes the connection after sending it
};

// One SMTP conversation as a state machine of lines: it knows nothing of sockets.
class SmtpSession {
public:
    // Whether mail to `address` can be accepted now: empty for yes, else the whole reply.
    using RecipientCheck = std::function<std::string(const std::string &address)>;
    // Delivers a whole message (dot-unstuffed, CRLF line ends) from the envelope sender to its
    // recipients (each named once); returns the reply.
    using Deliver = std::function<SmtpReply(
        const std::string &sender, const std::vector<std::string> &recipients, const std::string &message)>;

    SmtpSession(SmtpLimits limits, RecipientCheck checkRecipient, Deliver deliver);

    static std::string greeting();
    // One line from the client, without its line end. An empty reply text means no reply.
    SmtpReply onLine(std::string_view line);
    // A line longer than the limit arrived (and was dropped); outside a message it counts as a command.
    SmtpReply onOverlongLine();

private:
    enum class State { Fresh, Greeted, Mail, Recipients, Data };

    SmtpReply onCommand(std::string_view line);
    SmtpReply onDataLine(std::string_view line);
    SmtpReply mailFrom(std::string_view argument);
    SmtpReply rcptTo(std::string_view argument);
    void resetTransaction();

    const SmtpLimits m_limits;
    const RecipientCheck m_checkRecipient;
    const Deliver m_deliver;
    State m_state = State::Fresh;
    std::size_t m_commands = 0;
    std::string m_sender;
    std::vector<std::string> m_recipients;
    std::string m_message;
    bool m_messageTooLarge = false;
};

// The lines of an SMTP connection, whatever pieces its bytes arrive in: each line without its line
// end; a line longer than the limit (with its CRLF) is dropped as it comes and said to be overlong.
class SmtpLineSplitter {
public:
    explicit SmtpLineSplitter(std::size_t maxLineBytes)
        : m_maxLineBytes(maxLineBytes)
    {
    }

    void add(std::string_view bytes) { m_buffer.append(bytes); }
    enum class Next { Line, Overlong, NeedMore };
    // The next whole line, into `line`.
    Next next(std::string &line);

private:
    const std::size_t m_maxLineBytes;
    std::string m_buffer;
    bool m_discarding = false;  // the rest of an overlong line
};

}  // namespace venmarra::devserver
