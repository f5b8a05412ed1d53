#pragma once

#include <string>
#include <string_view>

namespace venmarra::text {

// The name by which the program knows the charset that `name` ("GB2312", " utf8 ") stands for:
// lower case, the aliases of one charset under one name ("gbk" for GB2312, X-GBK and CP936,
// "utf-8" for UTF8, "iso-8859-1" for Latin1); any other name as it is, in lower case.
std::string canonicalCharset(std::string_view name);

}  // namespace venmarra::text
