#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// What another party sent is shown as inert text, by one rule wherever it is shown or logged:
// nothing in it can move, hide or recolour other text, or start a line of its own.
namespace venmarra::text {

enum class Layout {
    OneLine,  // a label, a list line, a log line
    LineBreaksKept,  // a mail's content: tabs and line breaks stay
};

// The character shown for `c`: C0 controls as their Control Pictures (U+2400 to U+241F); DEL, C1,
// bidirectional embeddings, overrides and isolates and the two noncharacters that a text document
// takes for frame marks as U+FFFD; on one line, the line and paragraph separators as U+FFFD too.
// The directional marks (U+200E, U+200F, U+061C) only give a direction to the text beside them
// and stay.
constexpr char32_t inertCharacter(char32_t c, Layout layout)
{
    constexpr char32_t kReplacement = 0xFFFD;
    const bool layoutKept = layout == Layout::LineBreaksKept;
    if (c >= 0x20 && c < 0x7F)
        return c;  // printable ASCII, the common case, decided by the first test
    if (layoutKept && (c == u'\t' || c == u'\n' || c == u'\r'))
        return c;
    if (c < 0x20)
        return 0x2400 + c;
    const bool bidiFormatting = (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
    const bool separator = !layoutKept && (c == 0x2028 || c == 0x2029);
    if (c <= 0x9F || bidiFormatting || separator || c == 0xFDD0 || c == 0xFDD1)
        return kReplacement;
    return c;
}

// UTF-16 text with every unit through the rule; a lone surrogate stays for the toolkit to show.
std::u16string inert(std::u16string text, Layout layout);
// Bytes as well-formed UTF-8 (see validUtf8) with every character through the rule, at most
// `maxCharacters` of them; handed back as they are when the rule changes nothing.
std::string inertUtf8(std::string bytes, Layout layout, std::size_t maxCharacters = std::string::npos);
// What a screen reader is given to say for one line of `text`: every character that the rule
// would replace on one line, U+FFFD and a lone surrogate become a space, so that no control
// picture or replacement character is read out; runs of spaces fold to one, none at either end.
std::u16string spoken(std::u16string_view text);

}  // namespace venmarra::text
