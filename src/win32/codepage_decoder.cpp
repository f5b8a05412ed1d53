#include "win32/codepage_decoder.h"

#include "text/charset_name.h"
#include "text/utf.h"
#include "win32/wide_text.h"

#include <windows.h>

#include <climits>
#include <utility>

namespace venmarra::win32 {
namespace {

std::optional<UINT> codePageOf(std::string_view charset)
{
    static constexpr std::pair<std::string_view, UINT> kCodePages[] = {
        {"gb18030", 54936},     {"gbk", 936},           {"big5", 950},          {"shift_jis", 932},
        {"euc-jp", 20932},      {"euc-kr", 949},        {"iso-8859-1", 28591},  {"us-ascii", 20127},
        {"iso-8859-2", 28592},  {"iso-8859-5", 28595},  {"iso-8859-7", 28597},  {"iso-8859-15", 28605},
        {"koi8-r", 20866},      {"windows-1250", 1250}, {"windows-1251", 1251}, {"windows-1252", 1252},
        {"windows-1253", 1253}, {"windows-1254", 1254}, {"windows-1256", 1256}, {"utf-16le", 1200},
    };
    const std::string canonical = text::canonicalCharset(charset);
    for (const auto &[name, codePage] : kCodePages)
        if (name == canonical)
            return codePage;
    return std::nullopt;
}

}  // namespace

std::optional<std::string> CodePageDecoder::decode(std::string_view bytes, std::string_view charset) const
{
    std::optional<UINT> codePage = codePageOf(charset);
    // A system without GB18030's code page (Wine's) reads it as GBK, its two-byte subset.
    if (codePage == 54936U && !IsValidCodePage(54936))
        codePage = 936;
    if (!codePage || bytes.size() > INT_MAX)
        return std::nullopt;
    if (bytes.empty())
        return std::string();
    // The system's code pages give UTF-16, which the rules of text then write as UTF-8.
    if (*codePage == 1200) {  // UTF-16 is not a multibyte code page: its units are copied
        std::u16string units(bytes.size() / 2, u'\0');
        for (std::size_t i = 0; i < units.size(); ++i)
            units[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i])
                                             | static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
        if (bytes.size() % 2)
            units.push_back(static_cast<char16_t>(text::kReplacementCharacter));
        return text::utf8FromUtf16(units);
    }
    const int length
        = MultiByteToWideChar(*codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    if (length <= 0)
        return std::nullopt;
    std::wstring units(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(*codePage, 0, bytes.data(), static_cast<int>(bytes.size()), units.data(), length);
    return text::utf8FromUtf16(fromWide(units));
}

}  // namespace venmarra::win32
