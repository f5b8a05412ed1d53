#include "service/session_cookie.h"

namespace venmarra {
namespace {

const QString kHeaderPart = QStringLiteral("Set-Cookie: ");
const QString kNamePart = QStringLiteral("sid=");

qsizetype findCookieMarker(const QString &headerText)
{
    const QString marker = kHeaderPart + kNamePart;
    for (qsizetype at = headerText.indexOf(marker, 0, Qt::CaseInsensitive); at >= 0;
         at = headerText.indexOf(marker, at + 1, Qt::CaseInsensitive)) {
        // Only the header name is case-insensitive; the cookie's name is matched exactly.
        if (QStringView(headerText).mid(at + kHeaderPart.size(), kNamePart.size()) == kNamePart)
            return at;
    }
    return -1;
}

}  // namespace

std::optional<QString> learnSessionCookie(const QString &headerText)
{
    const qsizetype marker = findCookieMarker(headerText);
    if (marker < 0)
        return std::nullopt;
    const qsizetype start = marker + kHeaderPart.size() + kNamePart.size();
    qsizetype end = start;
    while (end < headerText.size() && end - start < kSessionIdMaxLength) {
        const char16_t c = headerText.at(end).unicode();
        if (c == u';' || c < 0x20 || c == 0x7F)
            break;
        ++end;
    }
    return headerText.mid(start, end - start);
}

}  // namespace venmarra
