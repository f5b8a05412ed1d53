#pragma once

#include <QWidget>

namespace venmarra {

// Tells a screen reader a text without moving the focus: a notification object, drawn as nothing,
// shown anew with the text as its name, which is how Orca and its kind take news from a window.
class Announcer final : public QWidget {
    Q_OBJECT
public:
    explicit Announcer(QWidget *parent);

    void announce(const QString &text);
};

}  // namespace venmarra
