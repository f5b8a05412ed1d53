// Cookie learning from hostile header text: the value never carries a separator or a control
// character, and the Cookie header built from it carries exactly the value's bytes.
#include "service/exchange_rules.h"
#include "service/session_cookie.h"
#include "text/utf.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace venmarra;
    const std::u16string headers = text::utf16FromLatin1({reinterpret_cast<const char *>(data), size});
    const std::optional<std::u16string> sid = learnSessionCookie(headers);
    if (!sid)
        return 0;
    if (sid->size() > kSessionIdMaxLength)
        __builtin_trap();
    for (const char16_t c : *sid)
        if (c < 0x20 || c == 0x7F || c > 0xFF || c == u';')
            __builtin_trap();
    const std::vector<std::string> lines
        = buildExchangeRequest(u"POST", u"http://127.0.0.1/", u"", sid).headers;
    if (lines.back() != "Cookie: sid=" + text::latin1FromUtf16(*sid))
        __builtin_trap();
    return 0;
}
