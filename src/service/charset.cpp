#include "service/charset.h"

#include <QList>
#include <QStringDecoder>

namespace venmarra {

QByteArray charsetOf(const QByteArray &contentType)
{
    const QList<QByteArray> parameters = contentType.split(';');
    for (qsizetype i = 1; i < parameters.size(); ++i) {
        const QByteArray parameter = parameters.at(i).trimmed();
        const qsizetype equals = parameter.indexOf('=');
        if (equals < 0 || parameter.left(equals).trimmed().toLower() != "charset")
            continue;
        QByteArray value = parameter.mid(equals + 1).trimmed();
        if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"'))
            value = value.mid(1, value.size() - 2);
        return value;
    }
    return {};
}

namespace {

// GB18030 is a superset of GB2312 and GBK and reports every invalid byte.
QByteArray canonicalCharset(const QByteArray &charset)
{
    const QByteArray lower = charset.toLower();
    if (lower == "gbk" || lower == "gb2312" || lower == "x-gbk" || lower == "cp936")
        return "GB18030";
    return charset;
}

}  // namespace

QString decodeAnswerBody(const QByteArray &body, const QByteArray &contentType)
{
    const QByteArray charset = charsetOf(contentType);
    if (!charset.isEmpty()) {
        QStringDecoder decoder(canonicalCharset(charset).constData());
        if (decoder.isValid())
            return decoder.decode(body);
    }
    return QString::fromUtf8(body);
}

}  // namespace venmarra
