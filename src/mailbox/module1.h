#pragma once

#include "mailbox/main_window_view.h"

#include <QString>

namespace venmarra {

// The readers of the service's JSON answers, which write into the main window and the viewer.
// Each step reads on its own: what cannot be read is empty, and the next step goes on.
class Module1 {
public:
    // Fills the mailbox labels and appends the newest mail's line when it differs from the last
    // line appended.
    void ParseRefreshResponse(const QString &answer, MainWindowView &view);
    // Shows the mail viewer with the mail's content.
    void ShowMailContent(const QString &answer, MainWindowView &view);

    // The last line appended to List1.
    const QString &LastMailKey() const { return m_lastMailKey; }

private:
    QString m_lastMailKey;
};

}  // namespace venmarra
