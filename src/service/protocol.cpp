#include "service/protocol.h"

#include "endpoint.h"

namespace venmarra {

QString ServiceBaseUrl()
{
    return QStringLiteral("http://") + QString::fromUtf8(endpoint::kServiceHost) + QLatin1Char('/');
}

QString ServiceMailDomain()
{
    return QString::fromUtf8(endpoint::kMailDomain);
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
