#pragma once

#include "mailbox/toolkit.h"

#include <QElapsedTimer>
#include <QThreadPool>

namespace venmarra {

inline constexpr char kApplicationTitle[] = "Venmarra";

class QtToolkit : public Toolkit {
public:
    QtToolkit();

    void messageBox(const QString &text, MessageIcon icon, const QString &title) override;
    void processPendingEvents() override;
    void processEventsFor(int ms) override;
    void runInBackground(const std::function<void()> &work) override;
    void endProgram() override;
    void sleep(int ms) override;
    qint64 clock() override;

private:
    QElapsedTimer m_clock;
    // Threads for exchanges, kept between calls. Not the global pool: Qt's own tasks may hold it.
    QThreadPool m_workers;
};

}  // namespace venmarra
