#pragma once

#include "service/charset.h"

namespace venmarra::win32 {

// Charsets decoded by MultiByteToWideChar, by their code pages (GB18030 as 54936, GBK and GB2312
// as 936, ...).
class CodePageDecoder final : public CharsetDecoder {
public:
    std::optional<std::string> decode(std::string_view bytes, std::string_view charset) const override;
};

}  // namespace venmarra::win32
