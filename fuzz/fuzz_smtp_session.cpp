// The local service's SMTP sessions over any bytes, split at any points: what it replies, logs and
// stores is the same however the bytes arrive; every reply is well-formed, every log line one
// inert line, every stored mail well-formed. "{box}" in the input stands for a live mailbox.
#include "devserver/delivery.h"
#include "devserver/log.h"
#include "devserver/mime.h"
#include "properties.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <vector>

namespace {

using namespace venmarra;
using fuzz::require;

// An SMTP reply: lines of a code, "-" (but the last, " ") and printable ASCII, joined by CRLF.
bool isReply(std::string_view reply)
{
    for (std::size_t start = 0;;) {
        const std::size_t end = std::min(reply.find("\r\n", start), reply.size());
        const std::string_view line = reply.substr(start, end - start);
        const bool last = end == reply.size();
        if (line.size() < 4 || line.find_first_not_of("0123456789") != 3 || line[3] != (last ? ' ' : '-')
            || std::ranges::any_of(line, [](unsigned char c) { return c < 0x20 || c > 0x7E; }))
            return false;
        if (last)
            return true;
        start = end + 2;
    }
}

// What one conversation gave: replies and log lines (without their times), with the mailbox's
// name written "{box}".
std::vector<std::string> converse(std::string_view stream, const std::vector<std::size_t> &pieces)
{
    devserver::MailStore store;
    const auto box = store.allocate();
    require(box.has_value());
    std::vector<std::string> said;
    devserver::Log log(false, [&](const std::string &entry) {
        require(entry.ends_with('\n')
                && fuzz::isLogLine(std::string_view(entry).substr(0, entry.size() - 1),
                                   devserver::Log::kMaxLineCharacters));
        said.push_back(entry.substr(20));
    });
    const devserver::SmtpLimits limits {
        .maxMessageBytes = 4096, .maxLineBytes = 200, .maxCommands = 40, .maxRecipients = 3};
    devserver::SmtpSession session = devserver::deliveringSession(store, std::ref(log), limits);
    devserver::SmtpLineSplitter lines(limits.maxLineBytes);
    std::string bytes(stream);
    for (std::size_t at = bytes.find("{box}"); at != std::string::npos; at = bytes.find("{box}", at))
        bytes.replace(at, 5, box->name);
    bool closed = false;
    for (std::size_t at = 0, piece = 0; at < bytes.size() && !closed; ++piece) {
        const std::size_t length = piece < pieces.size() ? pieces[piece] : bytes.size();
        lines.add(std::string_view(bytes).substr(at, length));
        at += length;
        std::string line;
        for (auto next = lines.next(line); next != devserver::SmtpLineSplitter::Next::NeedMore && !closed;
             next = lines.next(line)) {
            const devserver::SmtpReply reply = next == devserver::SmtpLineSplitter::Next::Line
                ? session.onLine(line)
                : session.onOverlongLine();
            require(reply.text.empty() || isReply(reply.text));
            said.push_back(reply.text);
            closed = reply.close;
        }
    }
    const std::optional<devserver::MailboxView> view = store.view(box->name, box->sid);
    for (const devserver::StoredMail &listed : view->newestFirst) {
        require(fuzz::isInert(listed.mail.from, text::Layout::OneLine, devserver::kMaxFieldCharacters));
        require(fuzz::isInert(listed.mail.subject, text::Layout::OneLine, devserver::kMaxFieldCharacters));
        require(text::isValidUtf8(store.mail(box->name, box->sid, listed.mid)->mail.content));
    }
    for (std::string &line : said)
        for (std::size_t at = line.find(box->name); at != std::string::npos; at = line.find(box->name, at))
            line.replace(at, box->name.size(), "{box}");
    return said;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    std::vector<std::size_t> pieces(input.ConsumeIntegralInRange<std::size_t>(0, 64));
    for (std::size_t &piece : pieces)
        piece = input.ConsumeIntegralInRange<std::size_t>(1, 300);
    const std::string stream = input.ConsumeRemainingBytesAsString();
    require(converse(stream, {}) == converse(stream, pieces));
    return 0;
}
