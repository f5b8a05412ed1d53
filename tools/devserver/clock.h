#pragma once

#include <chrono>
#include <string>

// The local service's clock, and how it writes a time.
namespace venmarra::devserver {

using Clock = std::chrono::system_clock;

// "YYYY-MM-DD hh:mm:ss" in local time.
std::string formatTime(Clock::time_point time);

}  // namespace venmarra::devserver
