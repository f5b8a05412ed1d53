// The local service's store over any mail: the fields as a mail's parsing hands them over (the
// input cut at its first two NUL bytes into sender, subject and content) go into the store and
// come out the same, as well-formed UTF-8 (the text that was well-formed, byte for byte), in the
// mailbox's list and in the mail itself; the mail's bytes count against the store's cap.
#include "properties.h"

#include "devserver/store.h"
#include "text/utf.h"

namespace {

using namespace venmarra;
using fuzz::require;

std::string_view field(std::string_view &rest)
{
    const std::size_t end = rest.find('\0');
    const std::string_view taken = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    return taken;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    std::string_view rest = fuzz::bytesOf(data, size);
    const std::string from(field(rest)), subject(field(rest)), content(rest);
    devserver::MailStore store;
    const auto box = store.allocate();
    require(box.has_value());
    require(store.deliverAll({box->name}, {from, subject, content}) == devserver::Delivery::Accepted);
    const std::optional<devserver::MailboxView> view = store.view(box->name, box->sid);
    require(view && view->newestFirst.size() == 1);
    const devserver::StoredMail &listed = view->newestFirst.front();
    require(listed.mail.from == text::validUtf8(from) && listed.mail.subject == text::validUtf8(subject));
    const std::optional<devserver::StoredMail> stored = store.mail(box->name, box->sid, listed.mid);
    require(stored && stored->mail.content == text::validUtf8(content));
    require(text::isValidUtf8(stored->mail.content));
    require(store.storedBytes() == devserver::storedSize(stored->mail));
    return 0;
}
