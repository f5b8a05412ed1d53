#include "text/utf.h"

#include <utf8.h>

#include <algorithm>
#include <iterator>

namespace venmarra::text {
namespace {

// Well-formed UTF-8 as UTF-16, counted first: a large text takes the units it needs, a third of
// its bytes for Chinese.
std::u16string fromValidUtf8(std::string_view bytes)
{
    std::size_t units = 0;
    for (auto at = bytes.begin(); at != bytes.end();)
        units += utf8::unchecked::next(at) < 0x10000 ? 1 : 2;
    std::u16string text(units, u'\0');
    utf8::unchecked::utf8to16(bytes.begin(), bytes.end(), text.begin());
    return text;
}

template <typename Text>
Text lowered(Text text)
{
    std::ranges::transform(text, text.begin(), [](auto c) {
        return c >= 'A' && c <= 'Z' ? static_cast<decltype(c)>(c - 'A' + 'a') : c;
    });
    return text;
}

}  // namespace

bool isValidUtf8(std::string_view bytes)
{
    return utf8::is_valid(bytes.begin(), bytes.end());
}

std::string validUtf8(std::string bytes)
{
    const auto invalid = utf8::find_invalid(bytes.begin(), bytes.end());
    if (invalid == bytes.end())
        return bytes;
    std::string valid(bytes.begin(), invalid);
    valid.reserve(bytes.size() + bytes.size() / 2);
    utf8::replace_invalid(invalid, bytes.end(), std::back_inserter(valid));
    return valid;
}

std::u16string utf16FromUtf8(std::string_view bytes)
{
    if (isValidUtf8(bytes))
        return fromValidUtf8(bytes);
    return fromValidUtf8(validUtf8(std::string(bytes)));
}

void appendUtf8(std::string &bytes, char32_t codePoint)
{
    if (codePoint < 0x80)
        bytes.push_back(static_cast<char>(codePoint));
    else
        utf8::unchecked::append(codePoint, std::back_inserter(bytes));
}

std::size_t utf8PrefixLength(std::string_view bytes, std::size_t units)
{
    auto at = bytes.begin();
    for (std::size_t taken = 0; at != bytes.end();) {
        auto after = at;
        taken += utf8::unchecked::next(after) < 0x10000 ? 1 : 2;
        if (taken > units)
            break;
        at = after;
    }
    return static_cast<std::size_t>(at - bytes.begin());
}

std::string utf8FromUtf16(std::u16string_view text)
{
    std::string bytes;
    bytes.reserve(text.size() + text.size() / 2);
    for (std::size_t at = 0; at < text.size(); ++at) {
        char32_t codePoint = text[at];
        if (isHighSurrogate(codePoint) && at + 1 < text.size() && isLowSurrogate(text[at + 1]))
            codePoint = 0x10000 + ((codePoint - 0xD800) << 10) + (text[++at] - 0xDC00u);
        else if (isSurrogate(codePoint))
            codePoint = kReplacementCharacter;
        appendUtf8(bytes, codePoint);
    }
    return bytes;
}

std::u16string utf16FromLatin1(std::string_view bytes)
{
    std::u16string text(bytes.size(), u'\0');
    std::ranges::transform(bytes, text.begin(),
                           [](char byte) { return static_cast<char16_t>(static_cast<unsigned char>(byte)); });
    return text;
}

std::string latin1FromUtf16(std::u16string_view text)
{
    std::string bytes(text.size(), '\0');
    std::ranges::transform(text, bytes.begin(),
                           [](char16_t unit) { return unit <= 0xFF ? static_cast<char>(unit) : '?'; });
    return bytes;
}

std::string_view trimmedAscii(std::string_view text)
{
    constexpr std::string_view kWhiteSpace = " \t\r\n\v\f";
    const std::size_t first = text.find_first_not_of(kWhiteSpace);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(kWhiteSpace) - first + 1);
}

std::u16string asciiLower(std::u16string_view text)
{
    return lowered(std::u16string(text));
}

std::string asciiLower(std::string_view text)
{
    return lowered(std::string(text));
}

std::string asciiUpper(std::string_view text)
{
    std::string upper(text);
    std::ranges::transform(upper, upper.begin(), [](char c) {
        return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    });
    return upper;
}

}  // namespace venmarra::text
