#pragma once

#include <QWidget>

namespace venmarra {

// A solid one-pixel straight line across `box` (one pixel wide or high) of its parent, in the
// window-text colour.
class LineShape final : public QWidget {
    Q_OBJECT
public:
    LineShape(const QRect &box, QWidget *parent);

protected:
    void paintEvent(QPaintEvent *event) override;
};

}  // namespace venmarra
