// The form bodies: whatever the name and identifier, the body has exactly the fields data, type
// and arg, and form decoding gives back the name and "f=" + identifier unchanged (as UTF-8).
#include "service/protocol.h"
#include "text/utf.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

int hexDigit(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

// A form value as the service decodes it, to bytes; the value must not hold a character that
// form decoding treats specially ("&", "=", "+", space) other than in its "%XX" escapes.
std::string decoded(std::u16string_view value)
{
    std::string bytes;
    for (std::size_t at = 0; at < value.size(); ++at) {
        const char16_t c = value[at];
        if (c == u'&' || c == u'=' || c == u'+' || c == u' ' || c > 0x7e)
            __builtin_trap();
        if (c != u'%') {
            bytes.push_back(char(c));
            continue;
        }
        if (at + 2 >= value.size() || hexDigit(value[at + 1]) < 0 || hexDigit(value[at + 2]) < 0)
            __builtin_trap();  // only upper-case "%XX" escapes are written
        bytes.push_back(char(hexDigit(value[at + 1]) * 16 + hexDigit(value[at + 2])));
        at += 2;
    }
    return bytes;
}

std::vector<std::u16string_view> split(std::u16string_view text, char16_t separator)
{
    std::vector<std::u16string_view> parts;
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end - start));
        if (end == std::u16string_view::npos)
            return parts;
        start = end + 1;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace venmarra;
    const std::u16string input = text::utf16FromUtf8({reinterpret_cast<const char *>(data), size});
    const std::size_t newline = input.find(u'\n');
    const std::u16string name = input.substr(0, newline);
    const std::u16string mid = newline == std::u16string::npos ? std::u16string() : input.substr(newline + 1);
    const std::u16string mailInfo = mailInfoBody(name, mid);
    for (const std::u16string &body : {refreshBody(name), mailInfo}) {
        const std::vector<std::u16string_view> fields = split(body, u'&');
        if (fields.size() != 3 || !fields[0].starts_with(u"data=") || !fields[1].starts_with(u"type=")
            || !fields[2].starts_with(u"arg="))
            __builtin_trap();
        if (decoded(fields[0].substr(5)) != text::utf8FromUtf16(name))
            __builtin_trap();
    }
    const std::u16string_view arg = split(mailInfo, u'&')[2].substr(4);
    if (!arg.starts_with(u"f%3D") || decoded(arg.substr(4)) != text::utf8FromUtf16(mid))
        __builtin_trap();
    return 0;
}
