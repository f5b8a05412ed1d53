#pragma once

#include "service/http_exchange.h"

#include <string>
#include <string_view>

// What the program puts on the wire for the mail service, and how it reads the home page.
namespace venmarra {

// The one URL of the service: "http://" + host + "/", the host being the environment's
// VENMARRA_SERVICE_HOST when it is set, else the one the program was built with.
std::u16string ServiceBaseUrl();
// The service's URL for `host` ("mail.example", "127.0.0.1:17080"), or for the host and port of a
// URL given in its place ("http://127.0.0.1:17080/").
std::u16string serviceUrlFor(std::string_view host);
// The domain that follows "@" in the service's mailbox addresses.
std::u16string ServiceMailDomain();

// Where the program's requests go and how long an exchange may take. The product always uses
// the service's endpoint and the built-in limits; tests point it at a local server with shorter limits.
struct ServiceSettings {
    std::u16string baseUrl = ServiceBaseUrl();
    std::u16string mailDomain = ServiceMailDomain();
    HttpLimits limits;
};

inline constexpr std::string_view kNameOpeningMarker
    = "<input id=\"converts\" name=\"converts\" type=\"text\" value=\"";
inline constexpr std::string_view kNameClosingMarker = "\" valid='{\"minlength\":3}'";

// A value percent-encoded for a form field (its UTF-8 bytes), so that "&", "=", "%", "+" and
// spaces in a name or an identifier cannot add or break fields. Letters, digits and "-._~" stay
// as they are.
std::u16string formValue(std::u16string_view value);

// The form body of a refresh: "data=" NAME "&type=refresh&arg=".
std::u16string refreshBody(std::u16string_view mailboxName);
// The form body of a mail-info request: "data=" NAME "&type=mailinfo&arg=f%3D" MID.
std::u16string mailInfoBody(std::u16string_view mailboxName, std::u16string_view mailId);

// The mailbox name on the home page (well-formed UTF-8, as is the name): after the first opening
// marker (up to a second one, if any), cut at the first closing marker when there is one. Empty
// when there is no opening marker.
std::string cutMailboxName(std::string_view page);

}  // namespace venmarra
