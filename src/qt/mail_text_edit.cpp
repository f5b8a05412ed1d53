#include "qt/mail_text_edit.h"

#include <QMimeData>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>

namespace venmarra {
namespace {

// Marks a block that continues the line of the block before it.
constexpr int kContinuation = 1;

}  // namespace

MailTextEdit::MailTextEdit(QWidget *parent)
    : QPlainTextEdit(parent)
{
}

void MailTextEdit::setMailText(std::string text)
{
    m_pending.emplace(std::move(text));
    ++m_generation;
    document()->setUndoRedoEnabled(false);
    setPlainText(QString());
    appendNextSlice();
    moveCursor(QTextCursor::Start);  // a mail is read from its top, a screen reader's too
}

void MailTextEdit::appendNextSlice()
{
    const ui::ViewerText::Slice slice = m_pending->next(kSliceLength, u"\n");
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    const int base = cursor.position();
    cursor.insertText(QString::fromStdU16String(slice.text));
    // The blocks from the insertion on: those after one of the box's own breaks continue a line.
    auto own = slice.ownBreaks.begin();
    for (QTextBlock block = document()->findBlock(base).next(); block.isValid(); block = block.next()) {
        const auto separator = static_cast<std::size_t>(block.position() - 1 - base);
        while (own != slice.ownBreaks.end() && *own < separator)
            ++own;
        block.setUserState(own != slice.ownBreaks.end() && *own == separator ? kContinuation : -1);
    }
    if (!m_pending->atEnd()) {
        QTimer::singleShot(0, this, [this, generation = m_generation] {
            if (generation == m_generation)
                appendNextSlice();
        });
    } else {
        m_pending.reset();
        document()->setUndoRedoEnabled(true);
    }
}

QString MailTextEdit::textBetween(int start, int end) const
{
    std::u16string shown;
    std::vector<std::size_t> ownBreaks;
    for (QTextBlock block = document()->findBlock(start); block.isValid() && block.position() <= end;
         block = block.next()) {
        if (block.position() > start) {
            if (block.userState() == kContinuation)
                ownBreaks.push_back(shown.size());
            shown.push_back(u'\n');
        }
        const int from = qMax(start - block.position(), 0);
        const int to = qMin(end - block.position(), block.length() - 1);
        if (to > from)
            shown += QStringView(block.text()).mid(from, to - from).toString().toStdU16String();
    }
    return QString::fromStdU16String(ui::mailTextOf(shown, u"\n", ownBreaks, u"\n"));
}

int MailTextEdit::mailOffset(int position) const
{
    int ownBefore = 0;
    for (QTextBlock block = document()->begin(); block.isValid() && block.position() <= position;
         block = block.next())
        ownBefore += block.userState() == kContinuation ? 1 : 0;
    return position - ownBefore;
}

int MailTextEdit::position(int mailOffset) const
{
    int ownBefore = 0;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        // The break before a continuation stands where the mail goes on with the block.
        if (block.userState() == kContinuation) {
            if (mailOffset < block.position() - 1 - ownBefore)
                break;
            ++ownBefore;
        }
    }
    return mailOffset + ownBefore;
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
