#pragma once

namespace venmarra {

// Tells screen readers what the windows are: both windows frames, the status line a status bar
// (it is a label to Qt), the announcer a notification, the viewer's box the mail's text. Once,
// before the first window.
void installAccessibleRoles();

}  // namespace venmarra
