#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace venmarra {

inline constexpr std::size_t kSessionIdMaxLength = 40;

// What the program knows of the service's `sid` cookie: nothing yet, or the value learned. Each
// character of the value stands for one byte of the header it came from (Latin-1), so that the
// Cookie header sends back exactly the bytes that the service set.
using SessionCookie = std::optional<std::u16string>;

// The service's `sid` cookie as found in an answer's header text (its bytes as Latin-1), or
// nothing when no "Set-Cookie: sid=" stands in it. The header name is matched in any letter
// case; the value ends at the first ";" or control character and is cut to 40 characters, so
// attribute text, a line break or a terminal escape never becomes part of what is sent back.
std::optional<std::u16string> learnSessionCookie(std::u16string_view headerText);

}  // namespace venmarra
