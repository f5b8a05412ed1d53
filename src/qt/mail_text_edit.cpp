#include "qt/mail_text_edit.h"

#include <QMimeData>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>

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
    m_text = text;  // shared, not copied
    m_next = 0;
    m_lineEnd = -1;
    m_continues.assign(1, false);
    ++m_generation;
    document()->setUndoRedoEnabled(false);
    appendNextSlice();
}

QString MailTextEdit::nextSlice()
{
    QString slice;
    while (m_next < m_text.size() && slice.size() < kSliceLength) {
        if (m_lineEnd < m_next) {  // find where this line ends, once per line
            m_lineEnd = m_next;
            while (m_lineEnd < m_text.size() && !isBlockBreak(m_text.at(m_lineEnd)))
                ++m_lineEnd;
        }
        const qsizetype lineEnd = m_lineEnd;
        // A long line goes into blocks of about kBlockLength; the slice ends with whole blocks.
        const qsizetype end = lineEnd - m_next > kLongLine ? blockEnd(m_text, m_next, lineEnd) : lineEnd;
        slice.append(QStringView(m_text).mid(m_next, end - m_next));
        m_next = end;
        if (end < lineEnd) {
            m_continues.push_back(true);
        } else if (end < m_text.size()) {
            // The mail's own line break ("\r\n" counts as one).
            const bool crlf
                = m_text.at(end) == u'\r' && end + 1 < m_text.size() && m_text.at(end + 1) == u'\n';
            m_next = end + (crlf ? 2 : 1);
            m_continues.push_back(false);
        } else {
            break;
        }
        slice.append(u'\n');
    }
    return slice;
}

void MailTextEdit::appendNextSlice()
{
    const bool first = m_next == 0;
    const QString slice = nextSlice();
    if (first) {
        setPlainText(slice);
        markBlocks(document()->begin());
    } else {
        QTextCursor cursor(document());
        cursor.movePosition(QTextCursor::End);
        const QTextBlock last = cursor.block();
        cursor.insertText(slice);
        markBlocks(last);
    }
    if (m_next < m_text.size()) {
        QTimer::singleShot(0, this, [this, generation = m_generation] {
            if (generation == m_generation)
                appendNextSlice();
        });
    } else {
        m_text.clear();
        m_next = 0;
        document()->setUndoRedoEnabled(true);
    }
}

void MailTextEdit::markBlocks(QTextBlock from)
{
    for (QTextBlock block = from; block.isValid(); block = block.next()) {
        const auto index = std::size_t(block.blockNumber());
        block.setUserState(index < m_continues.size() && m_continues[index] ? kContinuation : -1);
    }
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
