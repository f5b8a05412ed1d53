#include "qt/status_label.h"

#include <QEvent>
#include <QPainter>

namespace venmarra {

namespace {

// The status texts are few; anything else the line shows is not kept.
constexpr qsizetype kMaxKept = 16;

}  // namespace

StatusLabel::StatusLabel(QWidget *parent)
    : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
}

const StatusLabel::Laid &StatusLabel::laid(const QString &text)
{
    auto found = m_laid.find(text);
    if (found != m_laid.end())
        return *found;
    if (m_laid.size() >= kMaxKept)
        m_laid.clear();
    // The size that the label takes for the text: it shows the text already (showText).
    Laid entry {QStaticText(text), sizeHint()};
    entry.text.setTextFormat(Qt::PlainText);
    entry.text.prepare(QTransform(), font());
    return *m_laid.insert(text, entry);
}

void StatusLabel::showText(const QString &text)
{
    setText(text);
    resize(laid(text).size);
}

void StatusLabel::paintEvent(QPaintEvent *)
{
    const Laid &shown = laid(text());
    QPainter painter(this);
    painter.setFont(font());
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, foregroundRole()));
    const QRect area = contentsRect();
    const QSizeF textSize = shown.text.size();
    painter.drawStaticText(QPointF(area.left(), area.top() + (area.height() - textSize.height()) / 2),
                           shown.text);
}

void StatusLabel::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange)
        m_laid.clear();  // laid out in the old font
    QLabel::changeEvent(event);
}

}  // namespace venmarra
