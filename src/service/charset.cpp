#include "service/charset.h"

#include "text/charset_name.h"
#include "text/utf.h"

namespace venmarra {

std::string charsetOf(std::string_view contentType)
{
    std::size_t end = contentType.find(';');
    while (end != std::string_view::npos) {
        const std::size_t start = end + 1;
        end = contentType.find(';', start);
        const std::string_view parameter = text::trimmedAscii(contentType.substr(start, end - start));
        const std::size_t equals = parameter.find('=');
        if (equals == std::string_view::npos
            || text::asciiLower(text::trimmedAscii(parameter.substr(0, equals))) != "charset")
            continue;
        std::string_view value = text::trimmedAscii(parameter.substr(equals + 1));
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        return std::string(value);
    }
    return {};
}

std::string decodeAnswerBody(std::string body, std::string_view contentType, const CharsetDecoder &decoder)
{
    // A blank name names no charset: iconv would take it for the locale's.
    const std::string charset = text::canonicalCharset(charsetOf(contentType));
    if (!charset.empty() && charset != "utf-8") {
        // Made well-formed all the same: iconv takes a name it cleans to "UTF-8" for a decoder of
        // its own, which lets encoded surrogates through.
        if (std::optional<std::string> text = decoder.decode(body, charset))
            return text::validUtf8(std::move(*text));
    }
    return text::validUtf8(std::move(body));
}

}  // namespace venmarra
