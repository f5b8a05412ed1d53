#include "qt/line_shape.h"

#include <QPainter>

namespace venmarra {

LineShape::LineShape(QPoint from, QPoint to, QWidget *parent)
    : QWidget(parent)
    , m_from(from)
    , m_to(to)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    // The bounding box of the line; QRect's corners are inclusive, so a straight line is one
    // pixel wide.
    setGeometry(QRect(from, to).normalized());
}

void LineShape::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(QPen(palette().color(QPalette::WindowText), 1));
    painter.drawLine(m_from - pos(), m_to - pos());
}

}  // namespace venmarra
