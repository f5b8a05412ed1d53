#pragma once

#include "service/charset.h"

namespace venmarra {

// Charsets decoded by the C library's iconv. GBK and GB2312 are decoded as GB18030, their
// superset, which reports every byte that is not valid.
class IconvDecoder final : public CharsetDecoder {
public:
    std::optional<std::string> decode(std::string_view bytes, std::string_view charset) const override;
};

}  // namespace venmarra
