// The form bodies: whatever the name and identifier, the body has exactly the fields data, type
// and arg, and form decoding gives back the name and "f=" + identifier unchanged.
#include "service/protocol.h"

#include <QUrl>

#include <cstddef>
#include <cstdint>

namespace {

// A form value as the service decodes it; the value must not hold a character that form
// decoding treats specially ("&", "=", "+", space) other than in its "%XX" escapes.
QString decoded(const QString &value)
{
    for (const QChar c : value)
        if (c == u'&' || c == u'=' || c == u'+' || c == u' ' || c.unicode() > 0x7e)
            __builtin_trap();
    return QUrl::fromPercentEncoding(value.toLatin1());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace venmarra;
    const QString input = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const qsizetype split = input.indexOf(u'\n');
    const QString name = split < 0 ? input : input.left(split);
    const QString mid = split < 0 ? QString() : input.mid(split + 1);
    for (const QString &body : {refreshBody(name), mailInfoBody(name, mid)}) {
        const QStringList fields = body.split(u'&');
        if (fields.size() != 3 || !fields[0].startsWith(u"data=") || !fields[1].startsWith(u"type=")
            || !fields[2].startsWith(u"arg="))
            __builtin_trap();
        if (decoded(fields[0].mid(5)) != name)
            __builtin_trap();
    }
    const QString arg = mailInfoBody(name, mid).section(u'&', 2).mid(4);
    if (!arg.startsWith(u"f%3D") || decoded(arg.mid(4)) != mid)
        __builtin_trap();
    return 0;
}
