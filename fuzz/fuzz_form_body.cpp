// The form bodies between the program and the local service: whatever the name and identifier,
// the body that the program writes has exactly the fields data, type and arg, and the service's
// form decoding gives back the name and "f=" + identifier, as UTF-8, unchanged.
#include "devserver/http_server.h"
#include "properties.h"
#include "service/protocol.h"

#include <map>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace venmarra;
    using fuzz::require;
    const std::u16string input = text::utf16FromUtf8(fuzz::bytesOf(data, size));
    const std::size_t newline = input.find(u'\n');
    const std::u16string name = input.substr(0, newline);
    const std::u16string mid = newline == std::u16string::npos ? std::u16string() : input.substr(newline + 1);
    const auto fields = [](const std::u16string &body) {
        require(
            body.find_first_not_of(u"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-._~%=&")
            == std::u16string::npos);
        return devserver::decodeForm(text::utf8FromUtf16(body));
    };
    using Fields = std::map<std::string, std::string>;
    require(fields(refreshBody(name))
            == Fields {{"data", text::utf8FromUtf16(name)}, {"type", "refresh"}, {"arg", ""}});
    require(fields(mailInfoBody(name, mid))
            == Fields {{"data", text::utf8FromUtf16(name)},
                       {"type", "mailinfo"},
                       {"arg", "f=" + text::utf8FromUtf16(mid)}});
    return 0;
}
