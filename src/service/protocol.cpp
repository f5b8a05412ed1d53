#include "service/protocol.h"

#include "build_settings.h"

#include <QUrl>

namespace venmarra {

QString ServiceBaseUrl()
{
    return QStringLiteral("http://") + QString::fromUtf8(build::kServiceHost) + QLatin1Char('/');
}

QString ServiceMailDomain()
{
    return QString::fromUtf8(build::kMailDomain);
}

namespace {

// A value percent-encoded for a form field, so that "&", "=", "%", "+" and spaces in a name or an
// identifier cannot add or break fields. Letters, digits and "-._~" stay as they are.
QString formValue(const QString &value)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(value));
}

}  // namespace

QString refreshBody(const QString &mailboxName)
{
    return QStringLiteral("data=") + formValue(mailboxName) + QStringLiteral("&type=refresh&arg=");
}

QString mailInfoBody(const QString &mailboxName, const QString &mailId)
{
    return QStringLiteral("data=") + formValue(mailboxName) + QStringLiteral("&type=mailinfo&arg=f%3D")
        + formValue(mailId);
}

QString cutMailboxName(const QString &page)
{
    const QString opening = QString::fromUtf16(kNameOpeningMarker);
    const qsizetype first = page.indexOf(opening);
    if (first < 0)
        return {};
    const qsizetype start = first + opening.size();
    const qsizetype second = page.indexOf(opening, start);
    const QStringView piece = QStringView(page).mid(start, second < 0 ? -1 : second - start);
    const qsizetype closing = piece.indexOf(QString::fromUtf16(kNameClosingMarker));
    return (closing < 0 ? piece : piece.left(closing)).toString();
}

}  // namespace venmarra
