#pragma once

#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>

namespace venmarra::devserver {

// Takes one line for the service's log (Log): how each part of the service hands one on.
using LogLine = std::function<void(const std::string &line)>;

// How much of a value from a client a log line shows.
inline constexpr std::size_t kMaxLoggedCharacters = 200;

// `value` as a log line shows it: inert (a client cannot move the terminal's cursor, retitle it
// or forge a line), at most kMaxLoggedCharacters characters.
std::string logValue(std::string_view value);

// The service's log: one line per event, stamped with the time and written whole, in well-formed
// UTF-8. What a client sent is inert (text::inertUtf8), so that it cannot move the terminal's
// cursor or forge a line; a line is cut at a length, and the log stops at a size.
class Log {
public:
    using Sink = std::function<void(const std::string &entry)>;
    static constexpr std::size_t kMaxLineCharacters = 2000;
    static constexpr std::size_t kMaxBytes = static_cast<std::size_t>(64) * 1024 * 1024;

    // `sink` takes each entry with its line end, one at a time; standard error by default.
    explicit Log(bool quiet, Sink sink = {});

    void operator()(const std::string &line);  // nothing when quiet
    void write(const std::string &line);  // even when quiet

private:
    const bool m_quiet;
    const Sink m_sink;
    std::mutex m_mutex;
    std::size_t m_written = 0;
};

}  // namespace venmarra::devserver
