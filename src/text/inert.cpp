#include "text/inert.h"

#include "text/utf.h"

#include <utf8.h>

namespace venmarra::text {

std::u16string inert(std::u16string text, Layout layout)
{
    for (char16_t &unit : text)
        unit = static_cast<char16_t>(inertCharacter(unit, layout));  // no unit of the rule's is a surrogate
    return text;
}

std::string inertUtf8(std::string_view bytes, Layout layout, std::size_t maxCharacters)
{
    const std::string valid = validUtf8(std::string(bytes));
    std::string shown;
    shown.reserve(valid.size());
    auto at = valid.begin();
    for (std::size_t characters = 0; at != valid.end() && characters < maxCharacters; ++characters)
        appendUtf8(shown, inertCharacter(utf8::unchecked::next(at), layout));
    return shown;
}

}  // namespace venmarra::text
