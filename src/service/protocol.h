#pragma once

#include "service/http_exchange.h"

#include <QString>

// What the program puts on the wire for the mail service, and how it reads the home page.
namespace venmarra {

// The one URL of the service: "http://" + host + "/".
QString ServiceBaseUrl();
// The domain that follows "@" in the service's mailbox addresses.
QString ServiceMailDomain();

// Where the program's requests go and how long an exchange may take. The product always uses
// the built-in endpoint and limits; tests point it at a local server with shorter limits.
struct ServiceSettings {
    QString baseUrl = ServiceBaseUrl();
    QString mailDomain = ServiceMailDomain();
    HttpLimits limits;
};

inline constexpr char16_t kNameOpeningMarker[]
    = u"<input id=\"converts\" name=\"converts\" type=\"text\" value=\"";
inline constexpr char16_t kNameClosingMarker[] = u"\" valid='{\"minlength\":3}'";

// The form body of a refresh: "data=" NAME "&type=refresh&arg=".
QString refreshBody(const QString &mailboxName);
// The form body of a mail-info request: "data=" NAME "&type=mailinfo&arg=f%3D" MID.
QString mailInfoBody(const QString &mailboxName, const QString &mailId);

// The mailbox name on the home page: after the first opening marker (up to a second one, if
// any), cut at the first closing marker when there is one. Empty when there is no opening marker.
QString cutMailboxName(const QString &page);

}  // namespace venmarra
