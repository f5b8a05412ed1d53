#include "ui/display_text.h"

namespace venmarra {
namespace {

constexpr std::size_t kMaxLineLength = 4096;
constexpr char16_t kReplacement = 0xFFFD;

// Embeddings, overrides and isolates, which could reorder text beyond the field they stand in.
// The marks (U+200E, U+200F, U+061C) only give a direction to the text beside them and stay.
bool isBidiFormatting(char16_t c)
{
    return (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

// The visible stand-in for `code`, or the character itself.
char16_t shownAs(char16_t code, bool keepLayout)
{
    if (keepLayout && (code == u'\t' || code == u'\n' || code == u'\r'))
        return code;
    if (code < 0x20)
        return char16_t(0x2400 + code);  // the Control Pictures block: ␀ ␁ ... ␟
    if ((code >= 0x7F && code <= 0x9F) || isBidiFormatting(code) || code == 0xFDD0 || code == 0xFDD1)
        return kReplacement;
    return code;
}

}  // namespace

std::u16string displayText(std::u16string text, bool keepLayout)
{
    for (char16_t &c : text)
        if (c < 0x20 || c >= 0x7F)  // printable ASCII, the common case, is decided by the first test
            c = shownAs(c, keepLayout);
    return text;
}

std::u16string displayLine(const std::u16string &text)
{
    return displayText(text.size() > kMaxLineLength ? text.substr(0, kMaxLineLength) + u'\u2026' : text);
}

}  // namespace venmarra
