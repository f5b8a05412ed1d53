#pragma once

#include "ui/viewer_text.h"

#include <QPlainTextEdit>

#include <optional>

namespace venmarra {

// The viewer's text box: the mail's text in the blocks of ui::ViewerText, a slice at a time
// between events, so that the first screenful shows at once and the window never stalls while
// the rest arrives. Copying and mailText() give the mail's text without the box's own breaks.
class MailTextEdit final : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit MailTextEdit(QWidget *parent = nullptr);

    // `text`: well-formed UTF-8, inert.
    void setMailText(std::string text);
    // The text shown, as the mail has it (with the user's edits, if any), lines ending in "\n".
    QString mailText() const;
    // True while slices of a large mail are still being put into the box.
    bool isLoading() const { return m_pending.has_value(); }

    // The text between two positions of the box, as the mail has it.
    QString textBetween(int start, int end) const;
    // Where a position of the box lies in the mail's text, and the inverse: the box's own breaks
    // take no place in the mail.
    int mailOffset(int position) const;
    int position(int mailOffset) const;

    // How much is put into the box at once.
    static constexpr std::size_t kSliceLength = 512 * 1024;

protected:
    QMimeData *createMimeDataFromSelection() const override;

private:
    void appendNextSlice();

    std::optional<ui::ViewerText> m_pending;  // the mail being put into the box
    unsigned m_generation = 0;  // which setMailText() the queued slices belong to
};

}  // namespace venmarra
