#include "qt/announcer.h"

namespace venmarra {

Announcer::Announcer(QWidget *parent)
    : QWidget(parent)
{
    setFixedSize(0, 0);
    setFocusPolicy(Qt::NoFocus);
    hide();
}

void Announcer::announce(const QString &text)
{
    // A screen reader speaks a notification when it is shown; the same words twice are news twice.
    hide();
    setAccessibleName(text);
    show();
}

}  // namespace venmarra
