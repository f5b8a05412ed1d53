#pragma once

#include "mailbox/toolkit.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QThreadPool>
#include <QWindow>

#include <memory>
#include <utility>
#include <vector>

namespace venmarra {

// While an exchange runs, the windows repaint and can be closed, but the user's clicks and keys
// must not start a handler inside it. This holds them back: each input event that reaches a
// window meanwhile is kept, and queued again as the window system queues input, in order, once
// the exchange is over. (Qt's own ExcludeUserInputEvents would hold back the close box as well.)
class UserInputHold final : public QObject {
public:
    UserInputHold();
    ~UserInputHold() override;
    UserInputHold(const UserInputHold &) = delete;
    UserInputHold &operator=(const UserInputHold &) = delete;

    void begin() { ++m_depth; }
    // Queues the held input again when the last hold ends.
    void end();

protected:
    bool eventFilter(QObject *target, QEvent *event) override;

private:
    int m_depth = 0;
    std::vector<std::pair<QPointer<QWindow>, std::unique_ptr<QEvent>>> m_held;
};

class QtToolkit : public Toolkit {
public:
    QtToolkit();

    void messageBox(const std::u16string &text, MessageIcon icon, const std::u16string &title) override;
    void processEventsFor(int ms) override;
    void runInBackground(const std::function<void()> &work) override;
    void endProgram() override;
    std::int64_t clock() override;

private:
    QElapsedTimer m_clock;
    // Threads for exchanges, kept between calls. Not the global pool: Qt's own tasks may hold it.
    QThreadPool m_workers;
    UserInputHold m_inputHold;
};

}  // namespace venmarra
