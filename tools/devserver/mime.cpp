#include "devserver/mime.h"

#include "text/inert.h"
#include "text/utf.h"

#include <gmime/gmime.h>

#include <algorithm>
#include <memory>
#include <mutex>
#include <optional>

namespace venmarra::devserver {
namespace {

struct ObjectUnref {
    void operator()(gpointer object) const { g_object_unref(object); }
};
template <typename T>
using GObjectPtr = std::unique_ptr<T, ObjectUnref>;

struct GFree {
    void operator()(gpointer memory) const { g_free(memory); }
};
using GCharPtr = std::unique_ptr<char, GFree>;

void initialiseGMime()
{
    static std::once_flag once;
    std::call_once(once, [] { g_mime_init(); });
}

std::string orEmpty(const char *value)
{
    return value ? std::string(value) : std::string();
}

std::string senderOf(GMimeMessage *message)
{
    InternetAddressList *from = g_mime_message_get_from(message);
    if (!from || internet_address_list_length(from) == 0)
        return {};
    InternetAddress *address = internet_address_list_get_address(from, 0);
    const std::string name = orEmpty(internet_address_get_name(address));
    std::string mailbox;
    if (INTERNET_ADDRESS_IS_MAILBOX(address))
        mailbox = orEmpty(internet_address_mailbox_get_addr(INTERNET_ADDRESS_MAILBOX(address)));
    if (name.empty())
        return mailbox;
    return mailbox.empty() ? name : name + " <" + mailbox + ">";
}

// Whether `value` starts with "type/subtype", each a token of MIME's grammar.
bool isMediaType(std::string_view value)
{
    const auto token = [&value] {
        value = text::trimmedAscii(value);
        const std::size_t length = std::min(value.find_first_of(" \t\r\n()<>@,;:\\\"/[]?="), value.size());
        value.remove_prefix(length);
        return length > 0;
    };
    return token() && value.starts_with('/') && (value.remove_prefix(1), token());
}

struct TextParts {
    GMimePart *plain = nullptr;
    bool plainUntyped = false;  // its Content-Type could not be read
    GMimePart *html = nullptr;
};

void collectTextPart(GMimeObject *, GMimeObject *part, gpointer data)
{
    auto *found = static_cast<TextParts *>(data);
    if (!GMIME_IS_PART(part) || g_mime_part_is_attachment(GMIME_PART(part)))
        return;
    // A Content-Type that cannot be read stands for text/plain in US-ASCII, as MIME says; GMime
    // would read it as application/octet-stream.
    const char *declared = g_mime_object_get_header(part, "Content-Type");
    GMimeContentType *type = g_mime_object_get_content_type(part);
    if (!found->plain && declared && !isMediaType(declared)) {
        found->plain = GMIME_PART(part);
        found->plainUntyped = true;
    } else if (!GMIME_IS_TEXT_PART(part)) {
        return;
    } else if (!found->plain && g_mime_content_type_is_type(type, "text", "plain")) {
        found->plain = GMIME_PART(part);
    } else if (!found->html && g_mime_content_type_is_type(type, "text", "html")) {
        found->html = GMIME_PART(part);
    }
}

// The part's content with its transfer encoding undone, its bytes as they are.
std::string decodedBytes(GMimePart *part)
{
    GMimeDataWrapper *content = g_mime_part_get_content(part);
    if (!content)
        return {};
    GObjectPtr<GMimeStream> decoded(g_mime_stream_mem_new());
    g_mime_data_wrapper_write_to_stream(content, decoded.get());
    const GByteArray *bytes = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(decoded.get()));
    return std::string(reinterpret_cast<const char *>(bytes->data), bytes->len);
}

std::string contentOf(GMimeMessage *message)
{
    TextParts parts;
    GMimeObject *body = g_mime_message_get_mime_part(message);
    if (!body)
        return {};
    if (GMIME_IS_PART(body))
        collectTextPart(nullptr, body, &parts);
    else
        g_mime_message_foreach(message, collectTextPart, &parts);
    GMimePart *chosen = parts.plain ? parts.plain : parts.html;
    if (!chosen)
        return {};
    std::string content;
    if (chosen == parts.plain && parts.plainUntyped) {
        content = decodedBytes(chosen);
    } else {
        const GCharPtr decoded(g_mime_text_part_get_text(GMIME_TEXT_PART(chosen)));
        content = orEmpty(decoded.get());
    }
    // Mail travels with CRLF line ends; the content is shown with plain line feeds.
    std::string::size_type at = 0;
    while ((at = content.find("\r\n", at)) != std::string::npos)
        content.erase(at, 1);
    return content;
}

// Whether `line` can stand in a header block: a field ("Name: value", the name printable ASCII,
// maybe followed by white space), or, after a field, one of its folded lines.
bool isHeaderLine(std::string_view line, bool afterField)
{
    if (line.starts_with(' ') || line.starts_with('\t'))
        return afterField;
    const std::size_t name = line.find_first_of(": \t");
    const std::size_t colon = line.find(':');
    if (name == 0 || colon == std::string_view::npos || line.find_first_not_of(" \t", name) != colon)
        return false;
    return std::all_of(line.begin(), line.begin() + static_cast<std::ptrdiff_t>(name),
                       [](unsigned char c) { return c > 0x20 && c < 0x7F; });
}

// Where the body begins when the header block ends without its blank line: at the first line that
// is no header (the start of the mail when its first line is none); nothing when the block ends
// as it should.
std::optional<std::size_t> bodyWithoutBlankLine(std::string_view raw)
{
    for (std::size_t at = 0; at < raw.size();) {
        const std::size_t end = std::min(raw.find('\n', at), raw.size());
        std::string_view line = raw.substr(at, end - at);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        if (line.empty())
            return std::nullopt;
        if (!isHeaderLine(line, at > 0))
            return at;
        at = end + 1;
    }
    return std::nullopt;
}

// A mail saved from a mailbox file may begin with its envelope line ("From sender date"), which
// is no header: mail readers skip it when header lines follow it.
std::string_view withoutEnvelopeLine(std::string_view raw)
{
    const std::size_t end = raw.find('\n');
    if (!raw.starts_with("From ") || end == std::string_view::npos)
        return raw;
    std::string_view next = raw.substr(end + 1, raw.find('\n', end + 1) - end - 1);
    if (next.ends_with('\r'))
        next.remove_suffix(1);
    return isHeaderLine(next, false) ? raw.substr(end + 1) : raw;
}

// The raw mail as GMime is to read it: the header block ended by a blank line, and each NUL byte
// written as "␀", since GMime hands texts back as C strings, which would end at a NUL.
std::string prepared(std::string_view raw)
{
    const std::optional<std::size_t> body = bodyWithoutBlankLine(raw);
    std::string shown;
    shown.reserve(raw.size() + 2);
    for (std::size_t at = 0; at < raw.size(); ++at) {
        if (body == at)
            shown += "\r\n";
        if (raw[at] == '\0')
            text::appendUtf8(shown, text::inertCharacter(U'\0', text::Layout::OneLine));
        else
            shown += raw[at];
    }
    return shown;
}

// A sender or a subject as the service keeps it.
std::string shownField(std::string_view value)
{
    return text::inertUtf8(std::string(value), text::Layout::OneLine, kMaxFieldCharacters);
}

}  // namespace

bool hasTooManyParts(std::string_view raw)
{
    // Every part of a multipart body starts after a boundary line, which begins with "--".
    std::size_t boundaries = raw.starts_with("--") ? 1 : 0;
    for (std::size_t at = raw.find("\n--"); at != std::string_view::npos; at = raw.find("\n--", at + 3))
        if (++boundaries > kMaxMimeParts)
            return true;
    return false;
}

ParsedMail parseMail(std::string_view raw, const std::string &envelopeSender)
{
    initialiseGMime();
    const std::string shown = prepared(withoutEnvelopeLine(raw));
    GObjectPtr<GMimeStream> stream(g_mime_stream_mem_new_with_buffer(shown.data(), shown.size()));
    GObjectPtr<GMimeParser> parser(g_mime_parser_new_with_stream(stream.get()));
    GObjectPtr<GMimeMessage> message(g_mime_parser_construct_message(parser.get(), nullptr));
    const std::string from = message ? senderOf(message.get()) : std::string();
    return ParsedMail {
        shownField(from.empty() ? envelopeSender : from),
        shownField(message ? orEmpty(g_mime_message_get_subject(message.get())) : std::string()),
        text::validUtf8(message ? contentOf(message.get()) : std::string())};
}

}  // namespace venmarra::devserver
