#include "qt/line_shape.h"

#include <QPainter>

namespace venmarra {

LineShape::LineShape(const QRect &box, QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(box);
}

void LineShape::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(QPen(palette().color(QPalette::WindowText), 1));
    painter.drawLine(QPoint(0, 0), QPoint(width() - 1, height() - 1));
}

}  // namespace venmarra
