#include "devserver/log.h"

#include "devserver/clock.h"
#include "text/inert.h"

#include <iostream>

namespace venmarra::devserver {

std::string logValue(std::string_view value)
{
    return text::inertUtf8(std::string(value), text::Layout::OneLine, kMaxLoggedCharacters);
}

Log::Log(bool quiet, Sink sink)
    : m_quiet(quiet)
    , m_sink(sink ? std::move(sink) : [](const std::string &entry) { std::cerr << entry << std::flush; })
{
}

void Log::operator()(const std::string &line)
{
    if (!m_quiet)
        write(line);
}

void Log::write(const std::string &line)
{
    const std::lock_guard lock(m_mutex);
    if (m_written >= kMaxBytes)
        return;
    std::string entry = formatTime(Clock::now()) + ' '
        + text::inertUtf8(line, text::Layout::OneLine, kMaxLineCharacters) + '\n';
    m_written += entry.size();
    if (m_written >= kMaxBytes)
        entry += "log limit reached: no further lines\n";
    m_sink(entry);
}

}  // namespace venmarra::devserver
