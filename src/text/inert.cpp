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

std::string inertUtf8(std::string bytes, Layout layout, std::size_t maxCharacters)
{
    std::string valid = validUtf8(std::move(bytes));
    // The part that the rule leaves as it is (most text, all of it): not copied.
    auto at = valid.begin();
    std::size_t characters = 0;
    for (auto next = at; at != valid.end() && characters < maxCharacters; at = next, ++characters)
        if (const char32_t c = utf8::unchecked::next(next); inertCharacter(c, layout) != c)
            break;
    if (at == valid.end() || characters == maxCharacters) {
        valid.erase(at, valid.end());
        return valid;
    }
    std::string shown(valid.begin(), at);
    shown.reserve(valid.size());
    for (; at != valid.end() && characters < maxCharacters; ++characters)
        appendUtf8(shown, inertCharacter(utf8::unchecked::next(at), layout));
    return shown;
}

std::u16string spoken(std::u16string_view text)
{
    std::u16string said;
    said.reserve(text.size());
    bool spaceDue = false;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char16_t unit = text[at];
        const bool pair = isHighSurrogate(unit) && at + 1 < text.size() && isLowSurrogate(text[at + 1]);
        const bool silent = !pair
            && (unit == u' ' || unit == kReplacementCharacter || isSurrogate(unit)
                || inertCharacter(unit, Layout::OneLine) != unit);
        if (silent) {
            spaceDue = !said.empty();
            continue;
        }
        if (spaceDue)
            said.push_back(u' ');
        spaceDue = false;
        said.push_back(unit);
        if (pair)
            said.push_back(text[++at]);
    }
    return said;
}

}  // namespace venmarra::text
