// The local service's log writer over any line: exactly one entry, one timestamped line of inert,
// well-formed UTF-8, cut at the log's length.
#include "devserver/log.h"
#include "properties.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace venmarra;
    std::vector<std::string> entries;
    devserver::Log log(false, [&](const std::string &entry) { entries.push_back(entry); });
    log(std::string(fuzz::bytesOf(data, size)));
    fuzz::require(entries.size() == 1 && entries.front().ends_with('\n'));
    const std::string_view line(entries.front().data(), entries.front().size() - 1);
    fuzz::require(fuzz::isLogLine(line, devserver::Log::kMaxLineCharacters));
    return 0;
}
