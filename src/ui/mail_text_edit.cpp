#include "ui/mail_text_edit.h"

#include <QMimeData>
#include <QTextBlock>
#include <QTextDocument>

#include <vector>

namespace venmarra {
namespace {

// Marks a block that continues the line of the block before it.
constexpr int kContinuation = 1;

bool isBlockBreak(QChar c)
{
    return c == u'\n' || c == u'\r' || c == QChar::ParagraphSeparator;
}

// Where to end a display block that starts at `start` in a long line ending at `end`: after a
// space or before a wide (CJK) character near kBlockLength, else exactly there.
qsizetype blockEnd(const QString &text, qsizetype start, qsizetype end)
{
    const qsizetype limit = start + MailTextEdit::kBlockLength;
    if (end - start <= MailTextEdit::kBlockLength + MailTextEdit::kBlockLength / 2)
        return end;  // no short tail block
    for (qsizetype at = limit; at > limit - 256; --at) {
        const char16_t c = text.at(at).unicode();
        if (text.at(at - 1) == u' ' || (c >= 0x2E80 && !QChar::isLowSurrogate(c)))
            return at;
    }
    return QChar::isLowSurrogate(text.at(limit).unicode()) ? limit + 1 : limit;
}

}  // namespace

MailTextEdit::MailTextEdit(QWidget *parent)
    : QPlainTextEdit(parent)
{
}

void MailTextEdit::setMailText(const QString &text)
{
    QString shown;
    shown.reserve(text.size() + text.size() / kBlockLength + 1);
    std::vector<bool> continues;  // per block of `shown`
    continues.push_back(false);
    qsizetype lineStart = 0;
    while (lineStart <= text.size()) {
        qsizetype lineEnd = lineStart;
        while (lineEnd < text.size() && !isBlockBreak(text.at(lineEnd)))
            ++lineEnd;
        for (qsizetype start = lineStart; lineEnd - lineStart > kLongLine && start < lineEnd;) {
            const qsizetype end = blockEnd(text, start, lineEnd);
            shown.append(QStringView(text).mid(start, end - start));
            if (end < lineEnd) {
                shown.append(u'\n');
                continues.push_back(true);
            }
            start = end;
        }
        if (lineEnd - lineStart <= kLongLine)
            shown.append(QStringView(text).mid(lineStart, lineEnd - lineStart));
        if (lineEnd >= text.size())
            break;
        // The mail's own line break, shown as a new block ("\r\n" counts as one).
        const bool crlf = text.at(lineEnd) == u'\r' && lineEnd + 1 < text.size() && text.at(lineEnd + 1) == u'\n';
        const qsizetype breakLength = crlf ? 2 : 1;
        shown.append(u'\n');
        continues.push_back(false);
        lineStart = lineEnd + breakLength;
    }
    setPlainText(shown);
    std::size_t index = 0;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next(), ++index)
        block.setUserState(index < continues.size() && continues[index] ? kContinuation : -1);
}

QString MailTextEdit::textBetween(int start, int end) const
{
    QString text;
    for (QTextBlock block = document()->findBlock(start); block.isValid() && block.position() <= end;
         block = block.next()) {
        if (block.position() > start && block.userState() != kContinuation)
            text.append(u'\n');
        const int from = qMax(start - block.position(), 0);
        const int to = qMin(end - block.position(), block.length() - 1);
        if (to > from)
            text.append(QStringView(block.text()).mid(from, to - from));
    }
    return text;
}

QString MailTextEdit::mailText() const
{
    return textBetween(0, document()->characterCount());
}

QMimeData *MailTextEdit::createMimeDataFromSelection() const
{
    const QTextCursor cursor = textCursor();
    auto *mime = new QMimeData;
    mime->setText(textBetween(cursor.selectionStart(), cursor.selectionEnd()));
    return mime;
}

}  // namespace venmarra
