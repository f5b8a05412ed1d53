#pragma once

#include "store.h"

#include <string_view>

namespace venmarra::devserver {

// A raw mail as the service lists and shows it, all in UTF-8: the sender (display name and
// address, decoded), the subject decoded from RFC 2047, and the content: the text/plain part,
// else the HTML part as its source, with transfer encodings and charsets decoded.
ParsedMail parseMail(std::string_view raw);

}  // namespace venmarra::devserver
