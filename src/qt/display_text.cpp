#include "qt/display_text.h"

namespace venmarra {
namespace {

constexpr qsizetype kMaxLineLength = 4096;

// Embeddings, overrides and isolates, which could reorder text beyond the field they stand in.
// The marks (U+200E, U+200F, U+061C) only give a direction to the text beside them and stay.
bool isBidiFormatting(char16_t c)
{
    return (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

// The visible stand-in for `code`, or the character itself.
char16_t shownAs(char16_t code, bool keepLayout)
{
    if (keepLayout && (code == u'\t' || code == u'\n' || code == u'\r'))
        return code;
    if (code < 0x20)
        return char16_t(0x2400 + code);  // the Control Pictures block: ␀ ␁ ... ␟
    if ((code >= 0x7F && code <= 0x9F) || isBidiFormatting(code) || code == 0xFDD0 || code == 0xFDD1)
        return QChar::ReplacementCharacter;
    return code;
}

}  // namespace

QString displayText(const QString &text, bool keepLayout)
{
    // Most texts need no change: find the first that does before copying anything.
    const char16_t *begin = reinterpret_cast<const char16_t *>(text.constData());
    qsizetype at = 0;
    while (at < text.size()
           && ((begin[at] >= 0x20 && begin[at] < 0x7F) || shownAs(begin[at], keepLayout) == begin[at]))
        ++at;  // printable ASCII, the common case, is decided by the first test
    if (at == text.size())
        return text;
    QString shown = text;
    for (QChar *c = shown.data() + at, *end = shown.data() + shown.size(); c != end; ++c)
        *c = QChar(shownAs(c->unicode(), keepLayout));
    return shown;
}

QString displayLine(const QString &text)
{
    return displayText(text.size() > kMaxLineLength ? text.left(kMaxLineLength) + QChar(0x2026) : text);
}

QString isolatedField(const QString &text)
{
    // FIRST STRONG ISOLATE ... POP DIRECTIONAL ISOLATE around text that holds no formatting of its own.
    return QChar(0x2068) + displayLine(text) + QChar(0x2069);
}

}  // namespace venmarra
