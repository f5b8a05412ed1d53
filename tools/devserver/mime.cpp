#include "mime.h"

#include <gmime/gmime.h>

#include <algorithm>
#include <memory>
#include <mutex>

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

std::string text(const char *value)
{
    return value ? std::string(value) : std::string();
}

std::string senderOf(GMimeMessage *message)
{
    InternetAddressList *from = g_mime_message_get_from(message);
    if (!from || internet_address_list_length(from) == 0)
        return {};
    InternetAddress *address = internet_address_list_get_address(from, 0);
    const std::string name = text(internet_address_get_name(address));
    std::string mailbox;
    if (INTERNET_ADDRESS_IS_MAILBOX(address))
        mailbox = text(internet_address_mailbox_get_addr(INTERNET_ADDRESS_MAILBOX(address)));
    if (name.empty())
        return mailbox;
    return mailbox.empty() ? name : name + " <" + mailbox + ">";
}

// Whether `value` starts with "type/subtype", each a token of MIME's grammar.
bool isMediaType(std::string_view value)
{
    const auto token = [&value] {
        value.remove_prefix(std::min(value.find_first_not_of(" \t\r\n"), value.size()));
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
        content = text(decoded.get());
    }
    // Mail travels with CRLF line ends; the content is shown with plain line feeds.
    std::string::size_type at = 0;
    while ((at = content.find("\r\n", at)) != std::string::npos)
        content.erase(at, 1);
    return content;
}

// The raw mail with each NUL byte written as "␀" (U+2400 in UTF-8): GMime hands texts back as C
// strings, which would end at a NUL.
std::string withNulsShown(std::string_view raw)
{
    std::string shown;
    shown.reserve(raw.size());
    for (const char c : raw) {
        if (c == '\0')
            shown += "\xE2\x90\x80";
        else
            shown += c;
    }
    return shown;
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

std::string readableField(std::string_view text, std::size_t maxCharacters)
{
    std::string shown;
    std::size_t characters = 0;
    for (std::size_t at = 0; at < text.size() && characters < maxCharacters; ++characters) {
        const auto byte = static_cast<unsigned char>(text[at]);
        const std::size_t length = byte < 0x80 ? 1
            : byte >= 0xF0                     ? 4
            : byte >= 0xE0                     ? 3
            : byte >= 0xC0                     ? 2
                                               : 1;
        const std::string_view character = text.substr(at, length);
        at += character.size();
        if (byte < 0x20)
            shown += {char(0xE2), char(0x90), char(0x80 + byte)};  // the Control Pictures block
        else if (byte == 0x7F
                 || (byte == 0xC2 && character.size() == 2
                     && static_cast<unsigned char>(character[1]) < 0xA0))
            shown += "\xEF\xBF\xBD";  // DEL and C1
        else
            shown += character;
    }
    return shown;
}

ParsedMail parseMail(std::string_view raw, const std::string &envelopeSender)
{
    initialiseGMime();
    const std::string shown = withNulsShown(raw);
    GObjectPtr<GMimeStream> stream(g_mime_stream_mem_new_with_buffer(shown.data(), shown.size()));
    GObjectPtr<GMimeParser> parser(g_mime_parser_new_with_stream(stream.get()));
    GObjectPtr<GMimeMessage> message(g_mime_parser_construct_message(parser.get(), nullptr));
    const std::string from = message ? senderOf(message.get()) : std::string();
    return ParsedMail {
        readableField(from.empty() ? envelopeSender : from),
        readableField(message ? text(g_mime_message_get_subject(message.get())) : std::string()),
        message ? contentOf(message.get()) : std::string()};
}

}  // namespace venmarra::devserver
