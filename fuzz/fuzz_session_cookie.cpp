// Cookie learning from hostile header text: the value never carries a separator or a line break,
// and the Cookie header built from it is one line.
#include "service/http_request.h"
#include "service/session_cookie.h"

#include <cstddef>
#include <cstdint>

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
        if (c == u'\r' || c == u'\n' || c == QChar::Null || c == u';')
            __builtin_trap();
    for (const std::string &line : buildExchangeRequest("POST", "http://127.0.0.1/", "", *sid).headers)
        if (line.find_first_of(std::string("\r\n\0", 3)) != std::string::npos)
            __builtin_trap();
    return 0;
}
