#pragma once

#include "build_settings.h"

#include <chrono>
#include <functional>
#include <string>

// What every part of the local service shares: its mail domain, its clock and how it writes a
// time, the mail as it shows it, and how a part hands a line to the log.
namespace venmarra::devserver {

// The domain of the service's mailbox addresses: the program's, set when both are built.
using build::kMailDomain;

using Clock = std::chrono::system_clock;

// "YYYY-MM-DD hh:mm:ss" in local time.
std::string formatTime(Clock::time_point time);

// A mail as the service shows it, in well-formed UTF-8.
struct ParsedMail {
    std::string from;
    std::string subject;
    std::string content;
};

// Takes one line for the service's log (Log).
using LogLine = std::function<void(const std::string &line)>;

}  // namespace venmarra::devserver
