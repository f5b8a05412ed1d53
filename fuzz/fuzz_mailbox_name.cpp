// The home-page cut: whatever the page, the name is a piece of it that holds no closing marker.
#include "service/protocol.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace venmarra;
    const QString page = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString name = cutMailboxName(page);
    const QString opening = QString::fromUtf16(kNameOpeningMarker);
    if (!name.isEmpty()
        && (!page.contains(opening + name) || name.contains(QString::fromUtf16(kNameClosingMarker))))
        __builtin_trap();
    if (!page.contains(opening) && !name.isEmpty())
        __builtin_trap();
    return 0;
}
