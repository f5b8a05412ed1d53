#pragma once

// What the fuzz targets assert of what they see: a property that fails stops the run with the
// input that broke it.
#include "text/inert.h"
#include "text/utf.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace venmarra::fuzz {

inline void require(bool property)
{
    if (!property)
        __builtin_trap();
}

inline std::string_view bytesOf(const std::uint8_t *data, std::size_t size)
{
    return {reinterpret_cast<const char *>(data), size};
}

// Well-formed UTF-16: every surrogate in a pair.
inline bool isValidUtf16(std::u16string_view text)
{
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text::isHighSurrogate(text[at]) && at + 1 < text.size() && text::isLowSurrogate(text[at + 1]))
            ++at;
        else if (text::isSurrogate(text[at]))
            return false;
    }
    return true;
}

// Well-formed UTF-8 that the inert rule leaves as it is, of at most `maxCharacters` characters.
inline bool isInert(std::string_view bytes, text::Layout layout,
                    std::size_t maxCharacters = std::string::npos)
{
    if (!text::isValidUtf8(bytes))
        return false;
    const std::u16string units = text::utf16FromUtf8(bytes);
    std::size_t characters = 0;
    for (std::size_t at = 0; at < units.size(); ++at, ++characters) {
        if (text::isHighSurrogate(units[at]))
            ++at;
        else if (text::inertCharacter(units[at], layout) != units[at])
            return false;
    }
    return characters <= maxCharacters;
}

// A line of the service's log, without its line end: "YYYY-MM-DD hh:mm:ss " and inert text.
inline bool isLogLine(std::string_view line, std::size_t maxCharacters)
{
    const auto digits = [&](std::size_t from, std::size_t count) {
        return line.substr(from, count).find_first_not_of("0123456789") == std::string_view::npos;
    };
    return line.size() >= 20 && digits(0, 4) && line[4] == '-' && digits(5, 2) && line[7] == '-'
        && digits(8, 2) && line[10] == ' ' && digits(11, 2) && line[13] == ':' && digits(14, 2)
        && line[16] == ':' && digits(17, 2) && line[19] == ' '
        && isInert(line.substr(20), text::Layout::OneLine, maxCharacters);
}

}  // namespace venmarra::fuzz
