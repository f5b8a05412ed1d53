#pragma once

#include <QAccessibleWidget>

namespace venmarra {

class MailTextEdit;

// The viewer's box as a screen reader reads it: its text is the mail's, offsets counted in the
// mail, without the breaks that the box puts into a long line to lay it out a block at a time
// (Qt's own reading of the box would say them as line breaks that the mail does not have).
class MailTextAccessible final : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit MailTextAccessible(MailTextEdit *box);

    void *interface_cast(QAccessible::InterfaceType type) override;
    QAccessible::State state() const override;

    void selection(int selectionIndex, int *startOffset, int *endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int startOffset, int endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint &point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int *startOffset, int *endOffset) const override;
    using QAccessibleWidget::text;

private:
    MailTextEdit *box() const;
};

// Hands the platform the box's text events with their offsets counted in the mail, as the
// reading above counts them, and every other event as it is. Once, before the first window.
void installMailTextEvents();

}  // namespace venmarra
