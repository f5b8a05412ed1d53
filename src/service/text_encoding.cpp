#include "service/text_encoding.h"

#include <algorithm>
#include <cstdint>

namespace venmarra {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

bool isContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

// The bounds that the second byte of a sequence must keep, by its lead byte, so that overlong
// forms, surrogates and values past U+10FFFF are refused at the first byte that shows them.
struct LeadByte {
    int length = 0;  // 0: not a lead byte
    unsigned char secondLow = 0x80;
    unsigned char secondHigh = 0xBF;
};

LeadByte leadByte(unsigned char byte)
{
    if (byte >= 0xC2 && byte <= 0xDF)
        return {2};
    if (byte == 0xE0)
        return {3, 0xA0, 0xBF};
    if (byte == 0xED)
        return {3, 0x80, 0x9F};
    if (byte >= 0xE1 && byte <= 0xEF)
        return {3};
    if (byte == 0xF0)
        return {4, 0x90, 0xBF};
    if (byte == 0xF4)
        return {4, 0x80, 0x8F};
    if (byte >= 0xF1 && byte <= 0xF3)
        return {4};
    return {};
}

// Writes `codePoint` at `out` as one or two UTF-16 units; returns the position after them.
char16_t *writeUtf16(char16_t *out, char32_t codePoint)
{
    if (codePoint < 0x10000) {
        *out++ = char16_t(codePoint);
        return out;
    }
    codePoint -= 0x10000;
    *out++ = char16_t(0xD800 + (codePoint >> 10));
    *out++ = char16_t(0xDC00 + (codePoint & 0x3FF));
    return out;
}

}  // namespace

char *writeUtf8(char *out, char32_t codePoint)
{
    if (codePoint < 0x80) {
        *out++ = char(codePoint);
    } else if (codePoint < 0x800) {
        *out++ = char(0xC0 | (codePoint >> 6));
        *out++ = char(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        *out++ = char(0xE0 | (codePoint >> 12));
        *out++ = char(0x80 | ((codePoint >> 6) & 0x3F));
        *out++ = char(0x80 | (codePoint & 0x3F));
    } else {
        *out++ = char(0xF0 | (codePoint >> 18));
        *out++ = char(0x80 | ((codePoint >> 12) & 0x3F));
        *out++ = char(0x80 | ((codePoint >> 6) & 0x3F));
        *out++ = char(0x80 | (codePoint & 0x3F));
    }
    return out;
}

// Decodes `bytes` to `out` when it is given; returns the number of units that the text takes.
std::size_t decodeUtf8(std::string_view bytes, char16_t *out)
{
    std::size_t units = 0;
    const auto put = [&](char32_t codePoint) {
        units += codePoint < 0x10000 ? 1 : 2;
        if (out)
            out = writeUtf16(out, codePoint);
    };
    std::size_t at = 0;
    while (at < bytes.size()) {
        const auto byte = static_cast<unsigned char>(bytes[at]);
        if (byte < 0x80) {
            put(byte);
            ++at;
            continue;
        }
        const LeadByte lead = leadByte(byte);
        char32_t codePoint = byte & (0x7F >> lead.length);
        std::size_t taken = 1;
        for (; lead.length > 0 && int(taken) < lead.length && at + taken < bytes.size(); ++taken) {
            const auto next = static_cast<unsigned char>(bytes[at + taken]);
            const bool fits
                = taken == 1 ? next >= lead.secondLow && next <= lead.secondHigh : isContinuation(next);
            if (!fits)
                break;
            codePoint = (codePoint << 6) | (next & 0x3F);
        }
        // An ill-formed sequence's maximal subpart becomes U+FFFD.
        put(lead.length > 0 && int(taken) == lead.length ? codePoint : kReplacement);
        at += taken;
    }
    return units;
}

std::u16string utf16FromUtf8(std::string_view bytes)
{
    // Counted first: a large answer takes the units it needs, a third of its bytes for Chinese.
    std::u16string text(decodeUtf8(bytes, nullptr), u'\0');
    decodeUtf8(bytes, text.data());
    return text;
}

std::string utf8FromUtf16(std::u16string_view text)
{
    std::string bytes;
    bytes.reserve(text.size() + text.size() / 2);
    std::size_t at = 0;
    while (at < text.size()) {
        // A run of ASCII, the common case, in one append.
        std::size_t end = at;
        while (end < text.size() && text[end] < 0x80)
            ++end;
        const std::size_t first = bytes.size();
        bytes.resize(first + (end - at));
        std::transform(text.begin() + std::ptrdiff_t(at), text.begin() + std::ptrdiff_t(end),
                       bytes.begin() + std::ptrdiff_t(first), [](char16_t unit) { return char(unit); });
        at = end;
        if (at == text.size())
            break;
        char32_t codePoint = text[at];
        if (codePoint >= 0xD800 && codePoint <= 0xDBFF && at + 1 < text.size() && text[at + 1] >= 0xDC00
            && text[at + 1] <= 0xDFFF) {
            codePoint = 0x10000 + ((codePoint - 0xD800) << 10) + (char32_t(text[at + 1]) - 0xDC00);
            ++at;
        } else if (codePoint >= 0xD800 && codePoint <= 0xDFFF) {
            codePoint = kReplacement;
        }
        ++at;
        char encoded[4];
        bytes.append(encoded, std::size_t(writeUtf8(encoded, codePoint) - encoded));
    }
    return bytes;
}

std::u16string utf16FromLatin1(std::string_view bytes)
{
    std::u16string text(bytes.size(), u'\0');
    std::transform(bytes.begin(), bytes.end(), text.begin(),
                   [](char byte) { return char16_t(static_cast<unsigned char>(byte)); });
    return text;
}

std::string latin1FromUtf16(std::u16string_view text)
{
    std::string bytes(text.size(), '\0');
    std::transform(text.begin(), text.end(), bytes.begin(),
                   [](char16_t unit) { return unit <= 0xFF ? char(unit) : '?'; });
    return bytes;
}

std::u16string asciiLower(std::u16string_view text)
{
    std::u16string lower(text);
    for (char16_t &unit : lower)
        if (unit >= u'A' && unit <= u'Z')
            unit = char16_t(unit - u'A' + u'a');
    return lower;
}

std::string asciiLower(std::string_view text)
{
    std::string lower(text);
    for (char &byte : lower)
        if (byte >= 'A' && byte <= 'Z')
            byte = char(byte - 'A' + 'a');
    return lower;
}

}  // namespace venmarra
