// The home-page cut: whatever the page, the name is a piece of it after the opening marker that
// holds no closing marker, and there is none without an opening marker.
#include "properties.h"
#include "service/protocol.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace venmarra;
    const std::string page = text::validUtf8(std::string(fuzz::bytesOf(data, size)));
    const std::string name = cutMailboxName(page);
    if (name.empty())
        return 0;
    fuzz::require(page.find(std::string(kNameOpeningMarker) + name) != std::string::npos);
    fuzz::require(name.find(kNameClosingMarker) == std::string::npos && text::isValidUtf8(name));
    return 0;
}
