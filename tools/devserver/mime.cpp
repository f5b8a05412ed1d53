#include "mime.h"

#include <gmime/gmime.h>

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

struct TextParts {
    GMimeTextPart *plain = nullptr;
    GMimeTextPart *html = nullptr;
};

void collectTextPart(GMimeObject *, GMimeObject *part, gpointer data)
{
    auto *found = static_cast<TextParts *>(data);
    if (!GMIME_IS_TEXT_PART(part) || g_mime_part_is_attachment(GMIME_PART(part)))
        return;
    GMimeContentType *type = g_mime_object_get_content_type(part);
    if (!found->plain && g_mime_content_type_is_type(type, "text", "plain"))
        found->plain = GMIME_TEXT_PART(part);
    else if (!found->html && g_mime_content_type_is_type(type, "text", "html"))
        found->html = GMIME_TEXT_PART(part);
}

std::string contentOf(GMimeMessage *message)
{
    TextParts parts;
    GMimeObject *body = g_mime_message_get_mime_part(message);
    if (!body)
        return {};
    if (GMIME_IS_TEXT_PART(body))
        collectTextPart(nullptr, body, &parts);
    else
        g_mime_message_foreach(message, collectTextPart, &parts);
    GMimeTextPart *chosen = parts.plain ? parts.plain : parts.html;
    if (!chosen)
        return {};
    const GCharPtr decoded(g_mime_text_part_get_text(chosen));
    std::string content = text(decoded.get());
    // Mail travels with CRLF line ends; the content is shown with plain line feeds.
    std::string::size_type at = 0;
    while ((at = content.find("\r\n", at)) != std::string::npos)
        content.erase(at, 1);
    return content;
}

}  // namespace

ParsedMail parseMail(std::string_view raw)
{
    initialiseGMime();
    GObjectPtr<GMimeStream> stream(g_mime_stream_mem_new_with_buffer(raw.data(), raw.size()));
    GObjectPtr<GMimeParser> parser(g_mime_parser_new_with_stream(stream.get()));
    GObjectPtr<GMimeMessage> message(g_mime_parser_construct_message(parser.get(), nullptr));
    if (!message)
        return {};
    return ParsedMail {senderOf(message.get()), text(g_mime_message_get_subject(message.get())),
                       contentOf(message.get())};
}

}  // namespace venmarra::devserver
