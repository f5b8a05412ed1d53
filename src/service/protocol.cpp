#include "service/protocol.h"

#include "build_settings.h"
#include "text/utf.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace venmarra {

std::u16string serviceUrlFor(std::string_view host)
{
    // A URL pasted where a host is expected names its host and port all the same.
    constexpr std::string_view kScheme = "http://";
    if (host.size() >= kScheme.size()
        && std::equal(kScheme.begin(), kScheme.end(), host.begin(),
                      [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); }))
        host.remove_prefix(kScheme.size());
    return u"http://" + text::utf16FromUtf8(host.substr(0, host.find('/'))) + u'/';
}

std::u16string ServiceBaseUrl()
{
    // A run against a local service on a port the system picked names it in the environment.
    const char *host = std::getenv("VENMARRA_SERVICE_HOST");
    return serviceUrlFor(host && *host ? host : build::kServiceHost);
}

std::u16string ServiceMailDomain()
{
    return text::utf16FromUtf8(build::kMailDomain);
}

std::u16string formValue(std::u16string_view value)
{
    constexpr char kHexDigits[] = "0123456789ABCDEF";
    std::u16string encoded;
    for (const char byte : text::utf8FromUtf16(value)) {
        const auto c = static_cast<unsigned char>(byte);
        const bool unreserved = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')
            || c == '-' || c == '.' || c == '_' || c == '~';
        if (unreserved) {
            encoded.push_back(c);
        } else {
            encoded.push_back(u'%');
            encoded.push_back(static_cast<char16_t>(kHexDigits[c >> 4]));
            encoded.push_back(static_cast<char16_t>(kHexDigits[c & 0xF]));
        }
    }
    return encoded;
}

std::u16string refreshBody(std::u16string_view mailboxName)
{
    return u"data=" + formValue(mailboxName) + u"&type=refresh&arg=";
}

std::u16string mailInfoBody(std::u16string_view mailboxName, std::u16string_view mailId)
{
    return u"data=" + formValue(mailboxName) + u"&type=mailinfo&arg=f%3D" + formValue(mailId);
}

std::string cutMailboxName(std::string_view page)
{
    const std::size_t first = page.find(kNameOpeningMarker);
    if (first == std::string_view::npos)
        return {};
    const std::size_t start = first + kNameOpeningMarker.size();
    const std::size_t second = page.find(kNameOpeningMarker, start);
    const std::string_view piece
        = page.substr(start, second == std::string_view::npos ? std::string_view::npos : second - start);
    return std::string(piece.substr(0, piece.find(kNameClosingMarker)));
}

}  // namespace venmarra
