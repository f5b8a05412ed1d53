#include "text/charset_name.h"

#include "text/utf.h"

#include <utility>

namespace venmarra::text {

std::string canonicalCharset(std::string_view name)
{
    static constexpr std::pair<std::string_view, std::string_view> kAliases[] = {
        {"utf8", "utf-8"}, {"gb2312", "gbk"}, {"x-gbk", "gbk"}, {"cp936", "gbk"}, {"latin1", "iso-8859-1"},
    };
    const auto isSpace = [](char c) {
        return c == ' ' || c == '\t' || c == '\r' || c == '\n';
    };
    while (!name.empty() && isSpace(name.front()))
        name.remove_prefix(1);
    while (!name.empty() && isSpace(name.back()))
        name.remove_suffix(1);
    const std::string lower = asciiLower(name);
    for (const auto &[alias, canonical] : kAliases)
        if (lower == alias)
            return std::string(canonical);
    return lower;
}

}  // namespace venmarra::text
