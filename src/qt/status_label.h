#pragma once

#include <QHash>
#include <QLabel>
#include <QStaticText>

namespace venmarra {

// The status line: an auto-sizing label whose text changes twice in every poll, always among the
// same few texts. Each text is laid out once and its layout and size are kept, so that a poll
// costs two repaints and no text shaping.
class StatusLabel final : public QLabel {
    Q_OBJECT
public:
    explicit StatusLabel(QWidget *parent);

    // Shows `text` and takes its size, keeping the label's place.
    void showText(const QString &text);

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    struct Laid {
        QStaticText text;
        QSize size;
    };
    const Laid &laid(const QString &text);

    QHash<QString, Laid> m_laid;
};

}  // namespace venmarra
