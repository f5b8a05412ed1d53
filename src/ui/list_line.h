#pragma once

#include <string>
#include <string_view>

namespace venmarra::ui {

// A mail's line as List1 shows it: its fields made inert (displayLine), so that nothing the service
// sends can move, hide or recolour text, and cut to what a list can show.
struct ListLine {
    std::u16string from, subject, mailId;

    // FROM "|" SUBJECT "|" MID. With `isolateFields`, for a list that shapes text, each field is
    // isolated so that right-to-left text cannot reorder its neighbours; a list that does not
    // shape text would draw the isolates as boxes.
    std::u16string joined(bool isolateFields) const;
};

// The line for a mail with these fields, as the service sent them.
ListLine listLine(std::u16string_view from, std::u16string_view subject, std::u16string_view mailId);

}  // namespace venmarra::ui
