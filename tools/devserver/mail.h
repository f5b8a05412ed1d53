#pragma once

#include "build_settings.h"

#include <string>

// A mail as the local service keeps and shows it, and the domain of its mailboxes' addresses.
namespace venmarra::devserver {

// The program's, set when both are built.
using build::kMailDomain;

// Its texts in well-formed UTF-8.
struct ParsedMail {
    std::string from;
    std::string subject;
    std::string content;
};

}  // namespace venmarra::devserver
