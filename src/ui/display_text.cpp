#include "ui/display_text.h"

namespace venmarra {
namespace {

constexpr qsizetype kMaxLineLength = 4096;

bool isBidiFormatting(char16_t c)
{
    return c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

}  // namespace

QString displayText(const QString &text, bool keepLayout)
{
    QString shown = text;
    for (QChar &c : shown) {
        const char16_t code = c.unicode();
        if (keepLayout && (code == u'\t' || code == u'\n' || code == u'\r'))
            continue;
        if (code < 0x20)
            c = QChar(char16_t(0x2400 + code));  // the Control Pictures block: ␀ ␁ ... ␟
        else if ((code >= 0x7F && code <= 0x9F) || isBidiFormatting(code) || code == 0xFDD0 || code == 0xFDD1)
            c = QChar(QChar::ReplacementCharacter);
    }
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
