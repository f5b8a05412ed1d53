#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace venmarra {

// The platform's decoders of the charsets that answers name.
class CharsetDecoder {
public:
    virtual ~CharsetDecoder() = default;
    // `bytes` decoded by the charset named `charset` ("GBK", "gb2312", ...) to UTF-8, each byte
    // that is not valid in it as U+FFFD; nothing when the platform does not know the charset.
    virtual std::optional<std::string> decode(std::string_view bytes, std::string_view charset) const = 0;
};

// The charset parameter of a Content-Type value ("text/html; charset=GBK" gives "GBK"), or empty.
std::string charsetOf(std::string_view contentType);

// An answer's body as text, in well-formed UTF-8: decoded by the charset its Content-Type names,
// read as UTF-8 when it names none or one that the platform does not know (and then taken as it
// is when it is well-formed); bytes that are not valid in the charset become U+FFFD.
std::string decodeAnswerBody(std::string body, std::string_view contentType, const CharsetDecoder &decoder);

}  // namespace venmarra
