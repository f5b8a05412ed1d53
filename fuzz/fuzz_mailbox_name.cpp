// The home-page cut: whatever the page, the name is a piece of it that holds no closing marker.
#include "service/protocol.h"
#include "text/utf.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace venmarra;
    const std::u16string page = text::utf16FromUtf8({reinterpret_cast<const char *>(data), size});
    const std::u16string name = cutMailboxName(page);
    const bool hasOpening = page.find(kNameOpeningMarker) != std::u16string::npos;
    if (!name.empty()
        && (page.find(std::u16string(kNameOpeningMarker) + name) == std::u16string::npos
            || name.find(kNameClosingMarker) != std::u16string::npos))
        __builtin_trap();
    if (!hasOpening && !name.empty())
        __builtin_trap();
    return 0;
}
