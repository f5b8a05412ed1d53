#pragma once

#include <string>
#include <string_view>

// The program's UTF-16 text and the wide strings of the Windows API are the same units.
namespace venmarra::win32 {

inline std::wstring wide(std::u16string_view text)
{
    return std::wstring(text.begin(), text.end());
}

inline std::u16string fromWide(std::wstring_view text)
{
    return std::u16string(text.begin(), text.end());
}

}  // namespace venmarra::win32
