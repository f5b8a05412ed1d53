// The rules of text over any bytes: UTF-8 is read into well-formed UTF-16 and back, an ill-formed
// sequence never takes an ASCII byte with it, and the inert rule gives the same text whether it is
// applied to UTF-8 or to UTF-16, once and for all; what a screen reader is given of any text is
// well-formed, holds nothing that the inert rule would change and no U+FFFD, no run of two spaces
// and none at its ends, and is given again unchanged.
#include "properties.h"

#include <algorithm>

namespace {

using namespace venmarra;
using fuzz::require;

template <typename Text>
std::string asciiOf(const Text &text)
{
    std::string ascii;
    for (const auto c : text)
        if (static_cast<char32_t>(c) < 0x80)
            ascii.push_back(static_cast<char>(c));
    return ascii;
}

std::u16string unitsOf(std::string_view bytes)
{
    std::u16string units(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i)
        units[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) << 8
                                         | static_cast<unsigned char>(bytes[2 * i + 1]));
    return units;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view bytes = fuzz::bytesOf(data, size);
    const std::string valid = text::validUtf8(std::string(bytes));
    require(text::isValidUtf8(valid));
    require(text::isValidUtf8(bytes) == (valid == bytes));
    const std::u16string units = text::utf16FromUtf8(bytes);
    require(fuzz::isValidUtf16(units));
    require(text::utf8FromUtf16(units) == valid);
    require(asciiOf(units) == asciiOf(bytes));  // nothing ill-formed took an ASCII byte with it

    for (const text::Layout layout : {text::Layout::OneLine, text::Layout::LineBreaksKept}) {
        const std::string shown = text::inertUtf8(std::string(bytes), layout);
        require(fuzz::isInert(shown, layout));
        require(text::utf16FromUtf8(shown) == text::inert(units, layout));
        require(text::inertUtf8(shown, layout) == shown);
    }
    const std::string cut = text::inertUtf8(std::string(bytes), text::Layout::OneLine, 7);
    require(fuzz::isInert(cut, text::Layout::OneLine, 7)
            && text::inertUtf8(std::string(bytes), text::Layout::OneLine).starts_with(cut));

    // The same bytes as UTF-16 units: lone surrogates become U+FFFD, and nothing else changes.
    const std::u16string anyUnits = unitsOf(bytes);
    const std::u16string said = text::spoken(anyUnits);
    require(fuzz::isValidUtf16(said) && text::inert(said, text::Layout::OneLine) == said);
    require(said.find(u'\uFFFD') == std::u16string::npos && said.find(u"  ") == std::u16string::npos);
    require(said.empty() || (said.front() != u' ' && said.back() != u' '));
    require(text::spoken(said) == said);
    const std::u16string roundTrip = text::utf16FromUtf8(text::utf8FromUtf16(anyUnits));
    require(fuzz::isValidUtf16(roundTrip) && roundTrip.size() == anyUnits.size());
    for (std::size_t i = 0; i < anyUnits.size(); ++i)
        require(roundTrip[i] == anyUnits[i] || (text::isSurrogate(anyUnits[i]) && roundTrip[i] == 0xFFFD));
    return 0;
}
