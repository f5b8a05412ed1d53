#pragma once

#include <string>

namespace venmarra::ui {

// One mail as List1 lists it. Its text, FROM "|" SUBJECT "|" MID, is also the key that tells a
// new mail from one listed before.
struct MailLine {
    std::u16string from;
    std::u16string subject;
    std::u16string mailId;

    std::u16string text() const { return from + u'|' + subject + u'|' + mailId; }

    // The line as the list shows it: inert text. With `isolateFields`, for a list that shapes
    // text, each field is isolated so that right-to-left text cannot reorder its neighbours; a
    // list that does not shape text would draw the isolates as boxes.
    std::u16string shown(bool isolateFields) const;
};

}  // namespace venmarra::ui
