#pragma once

#include <string>

namespace venmarra::ui {

// One mail of List1: as the service sent it, which the logic keeps (its text, FROM "|" SUBJECT
// "|" MID, tells a new mail from one listed before), or as List1 shows it (shown()).
struct MailLine {
    std::u16string from, subject, mailId;

    // FROM "|" SUBJECT "|" MID. With `isolateFields`, for a list that shapes text, each field is
    // isolated so that right-to-left text cannot reorder its neighbours; a list that does not
    // shape text would draw the isolates as boxes.
    std::u16string joined(bool isolateFields = false) const;
    // The line as List1 shows it: its fields inert (text::inert), so that nothing the service
    // sends can move, hide or recolour text, and cut to what a list can show.
    MailLine shown() const;
    // What a screen reader says for the mail: its sender and its subject as words, without the
    // separators, the identifier or any character that would be read out as a symbol.
    std::u16string spoken() const;
};

}  // namespace venmarra::ui
