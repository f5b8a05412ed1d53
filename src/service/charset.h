#pragma once

#include <QByteArray>
#include <QString>

namespace venmarra {

// The charset parameter of a Content-Type value ("text/html; charset=GBK" gives "GBK"), or empty.
QByteArray charsetOf(const QByteArray &contentType);

// An answer's body as text: decoded by the charset its Content-Type names, UTF-8 when it names
// none or one that is not known; bytes that are not valid in the charset become U+FFFD.
QString decodeAnswerBody(const QByteArray &body, const QByteArray &contentType);

}  // namespace venmarra
