#pragma once

#include <string>
#include <string_view>

// The rules of text that the program and the local service share: UTF-8 and UTF-16, their
// conversions, and Latin-1 and ASCII where a protocol speaks in bytes.
namespace venmarra::text {

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

constexpr bool isHighSurrogate(char32_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}
constexpr bool isLowSurrogate(char32_t unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}
constexpr bool isSurrogate(char32_t unit)
{
    return unit >= 0xD800 && unit <= 0xDFFF;
}

// Bytes that are not well-formed UTF-8 are read by one rule everywhere: each ill-formed sequence
// (a lead byte with the continuation bytes that follow it, or a stray byte) becomes one U+FFFD,
// and a byte that cannot continue the sequence is never taken with it.
bool isValidUtf8(std::string_view bytes);
// `bytes` as well-formed UTF-8: handed back as they are when they are already.
std::string validUtf8(std::string bytes);
std::u16string utf16FromUtf8(std::string_view bytes);
// UTF-16 as UTF-8; a lone surrogate becomes U+FFFD.
std::string utf8FromUtf16(std::u16string_view text);
void appendUtf8(std::string &bytes, char32_t codePoint);
// How many bytes of the well-formed UTF-8 `bytes` the first `units` UTF-16 units take; a
// character of two units that would not fit whole is left out, never cut.
std::size_t utf8PrefixLength(std::string_view bytes, std::size_t units);

// Each byte as the character of the same number.
std::u16string utf16FromLatin1(std::string_view bytes);
// Each character as the byte of the same number; one above U+00FF becomes "?".
std::string latin1FromUtf16(std::u16string_view text);

// `text` without the ASCII white space at its ends: spaces, tabs, line ends, vertical tabs and
// form feeds, as the C locale counts them.
std::string_view trimmedAscii(std::string_view text);

// ASCII letters in one case; every other character as it is.
std::u16string asciiLower(std::u16string_view text);
std::string asciiLower(std::string_view text);
std::string asciiUpper(std::string_view text);

}  // namespace venmarra::text
