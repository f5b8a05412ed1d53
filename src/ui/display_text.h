#pragma once

#include <string>

namespace venmarra::ui {

// What the service sent, for a one-line control: inert (text::inert), and cut to a length that no
// such control can show anyway, so that laying out a hostile megabyte of text cannot stall the
// window.
std::u16string displayLine(const std::u16string &text);
// What a screen reader is given for the same text: cut alike, and only what is said aloud
// (text::spoken).
std::u16string spokenLine(const std::u16string &text);

}  // namespace venmarra::ui
