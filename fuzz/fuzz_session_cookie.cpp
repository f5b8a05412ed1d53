// Cookie learning from hostile header text: the value never carries a separator or a control
// character, and the Cookie header built from it carries exactly the value's bytes.
#include "service/exchange_rules.h"
#include "service/session_cookie.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace venmarra;
    const QString headers = QString::fromLatin1(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::optional<QString> sid = learnSessionCookie(headers);
    if (!sid)
        return 0;
    if (sid->size() > kSessionIdMaxLength)
        __builtin_trap();
    for (const QChar c : *sid)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F || c.unicode() > 0xFF || c == u';')
            __builtin_trap();
    const std::vector<std::string> lines = buildExchangeRequest("POST", "http://127.0.0.1/", "", sid).headers;
    if (lines.back() != "Cookie: sid=" + sid->toLatin1().toStdString())
        __builtin_trap();
    return 0;
}
