#pragma once

#include <QPlainTextEdit>
#include <QTextBlock>

#include <vector>

namespace venmarra {

// The viewer's text box. A mail may hold a line of many megabytes (a one-line HTML newsletter);
// laying out such a line at once freezes the window for seconds. Long lines are therefore held
// in blocks of a few thousand characters, broken where a line may break anyway, so that only the
// blocks on screen are laid out. Those breaks are the box's own: copying and mailText() give
// the mail's text without them (its own line breaks as "\n"). A large mail is put into the box a
// slice at a time between events, so that the first screenful shows at once and the window never
// stalls while the rest arrives.
class MailTextEdit final : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit MailTextEdit(QWidget *parent = nullptr);

    void setMailText(const QString &text);
    // The text shown, as the mail has it (with the user's edits, if any).
    QString mailText() const;
    // True while slices of a large mail are still being put into the box.
    bool isLoading() const { return m_next < m_text.size(); }

    // Lines longer than this are held in blocks of about kBlockLength characters.
    static constexpr qsizetype kLongLine = 8192;
    static constexpr qsizetype kBlockLength = 4096;
    // How much is put into the box at once.
    static constexpr qsizetype kSliceLength = 512 * 1024;

protected:
    QMimeData *createMimeDataFromSelection() const override;

private:
    QString textBetween(int start, int end) const;
    void appendNextSlice();
    // The next slice of the mail from m_next on, as blocks joined by "\n"; notes which blocks
    // continue a line and moves m_next past the slice.
    QString nextSlice();
    void markBlocks(QTextBlock from);

    QString m_text;  // the mail being put into the box
    qsizetype m_next = 0;  // where the part not yet in the box begins
    qsizetype m_lineEnd = -1;  // where the line that m_next is in ends, once known
    std::vector<bool> m_continues;  // per block: it continues the line of the block before
    unsigned m_generation = 0;  // which setMailText() the queued slices belong to
};

}  // namespace venmarra
