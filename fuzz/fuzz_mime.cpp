// The local service's reading of any delivered mail: the sender and the subject are inert
// one-line text of at most a line's length, the content is well-formed UTF-8, and a mail without
// a header block is shown as its text.
#include "devserver/mime.h"
#include "properties.h"

#include <fuzzer/FuzzedDataProvider.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace venmarra;
    using fuzz::require;
    FuzzedDataProvider input(data, size);
    const std::string envelope = input.ConsumeRandomLengthString(100);
    const std::string raw = input.ConsumeRemainingBytesAsString();
    if (devserver::hasTooManyParts(raw))
        return 0;  // refused before it is read
    const devserver::ParsedMail mail = devserver::parseMail(raw, envelope);
    require(fuzz::isInert(mail.from, text::Layout::OneLine, devserver::kMaxFieldCharacters));
    require(fuzz::isInert(mail.subject, text::Layout::OneLine, devserver::kMaxFieldCharacters));
    require(text::isValidUtf8(mail.content));
    // Lines of letters and spaces, the first one no header: the text is the content as it stands.
    const bool plainText = !raw.empty()
        && raw.find_first_not_of("abcdefghijklmnopqrstuvwxyz \n") == std::string::npos
        && raw.find(' ') < raw.find('\n') && raw.find(' ') > 0;
    if (plainText)
        require(mail.content == raw);
    return 0;
}
