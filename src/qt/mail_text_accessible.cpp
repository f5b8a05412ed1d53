#include "qt/mail_text_accessible.h"

#include "qt/mail_text_edit.h"

#include <QGuiApplication>
#include <QScrollBar>
#include <QTextCursor>
#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

namespace venmarra {

MailTextAccessible::MailTextAccessible(MailTextEdit *box)
    : QAccessibleWidget(box, QAccessible::EditableText)
{
}

MailTextEdit *MailTextAccessible::box() const
{
    return static_cast<MailTextEdit *>(widget());
}

void *MailTextAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface *>(this);
    return QAccessibleWidget::interface_cast(type);
}

QAccessible::State MailTextAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.editable = true;
    state.multiLine = true;
    state.selectableText = true;
    return state;
}

void MailTextAccessible::selection(int selectionIndex, int *startOffset, int *endOffset) const
{
    *startOffset = *endOffset = 0;
    const QTextCursor cursor = box()->textCursor();
    if (selectionIndex != 0 || !cursor.hasSelection())
        return;
    *startOffset = box()->mailOffset(cursor.selectionStart());
    *endOffset = box()->mailOffset(cursor.selectionEnd());
}

int MailTextAccessible::selectionCount() const
{
    return box()->textCursor().hasSelection() ? 1 : 0;
}

void MailTextAccessible::addSelection(int startOffset, int endOffset)
{
    setSelection(0, startOffset, endOffset);
}

void MailTextAccessible::removeSelection(int selectionIndex)
{
    if (selectionIndex != 0)
        return;
    QTextCursor cursor = box()->textCursor();
    cursor.clearSelection();
    box()->setTextCursor(cursor);
}

void MailTextAccessible::setSelection(int selectionIndex, int startOffset, int endOffset)
{
    if (selectionIndex != 0)
        return;
    QTextCursor cursor = box()->textCursor();
    cursor.setPosition(box()->position(startOffset));
    cursor.setPosition(box()->position(endOffset), QTextCursor::KeepAnchor);
    box()->setTextCursor(cursor);
}

int MailTextAccessible::cursorPosition() const
{
    return box()->mailOffset(box()->textCursor().position());
}

void MailTextAccessible::setCursorPosition(int position)
{
    QTextCursor cursor = box()->textCursor();
    cursor.setPosition(box()->position(position));
    box()->setTextCursor(cursor);
}

QString MailTextAccessible::text(int startOffset, int endOffset) const
{
    return box()->textBetween(box()->position(startOffset), box()->position(endOffset));
}

int MailTextAccessible::characterCount() const
{
    return box()->mailOffset(box()->document()->characterCount() - 1);
}

QRect MailTextAccessible::characterRect(int offset) const
{
    QTextCursor cursor(box()->document());
    cursor.setPosition(box()->position(offset));
    QRect place = box()->cursorRect(cursor);
    const QString character = text(offset, offset + 1);
    place.setWidth(box()->fontMetrics().horizontalAdvance(character));
    return QRect(box()->viewport()->mapToGlobal(place.topLeft()), place.size());
}

int MailTextAccessible::offsetAtPoint(const QPoint &point) const
{
    const QPoint inBox = box()->viewport()->mapFromGlobal(point);
    return box()->mailOffset(box()->cursorForPosition(inBox).position());
}

void MailTextAccessible::scrollToSubstring(int startIndex, int endIndex)
{
    setSelection(0, startIndex, endIndex);
    box()->ensureCursorVisible();
}

QString MailTextAccessible::attributes(int offset, int *startOffset, int *endOffset) const
{
    // Plain text: one run without attributes.
    Q_UNUSED(offset);
    *startOffset = 0;
    *endOffset = characterCount();
    return {};
}

namespace {

void toPlatform(QAccessibleEvent *event)
{
    if (QPlatformAccessibility *platform = QGuiApplicationPrivate::platformIntegration()->accessibility())
        platform->notifyAccessibilityUpdate(event);
}

// `event`, on the box, with its offsets counted in the mail.
void mappedToMail(MailTextEdit *box, QAccessibleEvent *event)
{
    switch (event->type()) {
    case QAccessible::TextCaretMoved: {
        QAccessibleTextCursorEvent mapped(
            box, box->mailOffset(static_cast<QAccessibleTextCursorEvent *>(event)->cursorPosition()));
        return toPlatform(&mapped);
    }
    case QAccessible::TextSelectionChanged: {
        const auto *selection = static_cast<QAccessibleTextSelectionEvent *>(event);
        QAccessibleTextSelectionEvent mapped(box, box->mailOffset(selection->selectionStart()),
                                             box->mailOffset(selection->selectionEnd()));
        mapped.setCursorPosition(box->mailOffset(selection->cursorPosition()));
        return toPlatform(&mapped);
    }
    case QAccessible::TextInserted: {
        const auto *insert = static_cast<QAccessibleTextInsertEvent *>(event);
        const int from = insert->changePosition();
        const auto length = static_cast<int>(insert->textInserted().size());
        QAccessibleTextInsertEvent mapped(box, box->mailOffset(from), box->textBetween(from, from + length));
        return toPlatform(&mapped);
    }
    case QAccessible::TextRemoved: {
        const auto *remove = static_cast<QAccessibleTextRemoveEvent *>(event);
        QAccessibleTextRemoveEvent mapped(box, box->mailOffset(remove->changePosition()),
                                          remove->textRemoved());
        return toPlatform(&mapped);
    }
    case QAccessible::TextUpdated: {
        const auto *update = static_cast<QAccessibleTextUpdateEvent *>(event);
        const int from = update->changePosition();
        const auto length = static_cast<int>(update->textInserted().size());
        QAccessibleTextUpdateEvent mapped(box, box->mailOffset(from), update->textRemoved(),
                                          box->textBetween(from, from + length));
        return toPlatform(&mapped);
    }
    default: return toPlatform(event);
    }
}

void mailTextEvents(QAccessibleEvent *event)
{
    if (!QAccessible::isActive())
        return;
    if (auto *box = qobject_cast<MailTextEdit *>(event->object()))
        mappedToMail(box, event);
    else
        toPlatform(event);
}

}  // namespace

void installMailTextEvents()
{
    QAccessible::installUpdateHandler(&mailTextEvents);
}

}  // namespace venmarra
