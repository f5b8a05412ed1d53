#include "service/session_cookie.h"

#include "text/utf.h"

namespace venmarra {
namespace {

constexpr std::u16string_view kHeaderPart = u"Set-Cookie: ";
constexpr std::u16string_view kNamePart = u"sid=";

std::size_t findCookieMarker(std::u16string_view headerText)
{
    // Only the header name is matched in any letter case; the cookie's name is matched exactly.
    const std::u16string lower = text::asciiLower(headerText);
    const std::u16string marker = text::asciiLower(kHeaderPart) + std::u16string(kNamePart);
    for (std::size_t at = lower.find(marker); at != std::u16string::npos; at = lower.find(marker, at + 1)) {
        if (headerText.substr(at + kHeaderPart.size(), kNamePart.size()) == kNamePart)
            return at;
    }
    return std::u16string::npos;
}

}  // namespace

std::optional<std::u16string> learnSessionCookie(std::u16string_view headerText)
{
    const std::size_t marker = findCookieMarker(headerText);
    if (marker == std::u16string::npos)
        return std::nullopt;
    const std::size_t start = marker + kHeaderPart.size() + kNamePart.size();
    std::size_t end = start;
    while (end < headerText.size() && end - start < kSessionIdMaxLength) {
        const char16_t c = headerText[end];
        if (c == u';' || c < 0x20 || c == 0x7F)
            break;
        ++end;
    }
    return std::u16string(headerText.substr(start, end - start));
}

}  // namespace venmarra
