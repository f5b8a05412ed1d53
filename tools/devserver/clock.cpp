#include "devserver/clock.h"

#include <ctime>

namespace venmarra::devserver {

std::string formatTime(Clock::time_point time)
{
    const std::time_t seconds = Clock::to_time_t(time);
    std::tm local {};
    localtime_r(&seconds, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

}  // namespace venmarra::devserver
