#include "text/charset_name.h"

#include "text/utf.h"

#include <utility>

namespace venmarra::text {

std::string canonicalCharset(std::string_view name)
{
    static constexpr std::pair<std::string_view, std::string_view> kAliases[] = {
        {"utf8", "utf-8"}, {"gb2312", "gbk"}, {"x-gbk", "gbk"}, {"cp936", "gbk"}, {"latin1", "iso-8859-1"},
    };
    const std::string lower = asciiLower(trimmedAscii(name));
    for (const auto &[alias, canonical] : kAliases)
        if (lower == alias)
            return std::string(canonical);
    return lower;
}

}  // namespace venmarra::text
