#pragma once

#include "devserver/mail.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace venmarra::devserver {

// How many MIME parts a mail may have; a mail with more is refused before it is parsed, as
// parsing a million tiny parts takes gigabytes.
inline constexpr std::size_t kMaxMimeParts = 1000;
// How many characters of a sender or a subject are kept: a line's worth, as mail allows.
inline constexpr std::size_t kMaxFieldCharacters = 998;

// Whether `raw` may hold more than kMaxMimeParts parts (it has more boundary-like lines).
bool hasTooManyParts(std::string_view raw);

// A raw mail as the service lists and shows it, all in well-formed UTF-8: the sender (display name
// and address, decoded; `envelopeSender` when the mail names none), the subject decoded from
// RFC 2047, and the content: the text/plain part, else the HTML part as its source, with transfer
// encodings and charsets decoded. A NUL in the mail is shown as "␀", never cut at. Where the header
// block ends without its blank line, or the mail starts with a line that is no header, the rest is
// the body. The sender and the subject are inert one-line text (text::inertUtf8), at most
// kMaxFieldCharacters characters.
ParsedMail parseMail(std::string_view raw, const std::string &envelopeSender = {});

}  // namespace venmarra::devserver
