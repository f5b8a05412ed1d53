#pragma once

#include <string>
#include <string_view>

// Conversions between the program's UTF-16 text and the bytes that go over the wire.
namespace venmarra {

// UTF-8 bytes as UTF-16; every ill-formed sequence (each maximal subpart of one) becomes U+FFFD.
std::u16string utf16FromUtf8(std::string_view bytes);
// UTF-16 as UTF-8; a lone surrogate becomes U+FFFD.
std::string utf8FromUtf16(std::u16string_view text);
// Writes `codePoint` at `out` as UTF-8 (one to four bytes); returns the position after it.
char *writeUtf8(char *out, char32_t codePoint);
// Each byte as the character of the same number.
std::u16string utf16FromLatin1(std::string_view bytes);
// Each character as the byte of the same number; one above U+00FF becomes "?".
std::string latin1FromUtf16(std::u16string_view text);
// ASCII letters in lower case; every other character as it is.
std::u16string asciiLower(std::u16string_view text);
std::string asciiLower(std::string_view text);

}  // namespace venmarra
