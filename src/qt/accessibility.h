#pragma once

namespace venmarra {

// Tells screen readers what the windows are: both windows frames, the status line a status bar
// (it is a label to Qt). Once, before the first window.
void installAccessibleRoles();

}  // namespace venmarra
