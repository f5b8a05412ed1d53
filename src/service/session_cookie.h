#pragma once

#include <QString>

#include <optional>

namespace venmarra {

inline constexpr int kSessionIdMaxLength = 40;

// The service's `sid` cookie as found in an answer's header text, or nothing when no
// "Set-Cookie: sid=" stands in it. The header name is matched in any letter case; the value
// ends at the first ";", CR, LF or NUL and is cut to 40 characters, so attribute text or a
// line break never becomes part of what is sent back.
std::optional<QString> learnSessionCookie(const QString &headerText);

}  // namespace venmarra
