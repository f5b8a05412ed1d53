#pragma once

#include <QPlainTextEdit>

namespace venmarra {

// The viewer's text box. A mail may hold a line of many megabytes (a one-line HTML newsletter);
// laying out such a line at once freezes the window for seconds. Long lines are therefore held
// in blocks of a few thousand characters, broken where a line may break anyway, so that only the
// blocks on screen are laid out. Those breaks are the box's own: copying and mailText() give
// the mail's text without them (its own line breaks as "\n").
class MailTextEdit final : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit MailTextEdit(QWidget *parent = nullptr);

    void setMailText(const QString &text);
    // The text shown, as the mail has it (with the user's edits, if any).
    QString mailText() const;

    // Lines longer than this are held in blocks of about kBlockLength characters.
    static constexpr qsizetype kLongLine = 8192;
    static constexpr qsizetype kBlockLength = 4096;

protected:
    QMimeData *createMimeDataFromSelection() const override;

private:
    QString textBetween(int start, int end) const;
};

}  // namespace venmarra
