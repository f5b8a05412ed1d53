#pragma once

#include <QWidget>

namespace venmarra {

// A solid one-pixel line between two points of its parent, in the window-text colour.
class LineShape final : public QWidget {
    Q_OBJECT
public:
    LineShape(QPoint from, QPoint to, QWidget *parent);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPoint m_from;
    QPoint m_to;
};

}  // namespace venmarra
