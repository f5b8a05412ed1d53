#include "ui/display_text.h"

#include "text/inert.h"

namespace venmarra::ui {

std::u16string displayLine(const std::u16string &text)
{
    constexpr std::size_t kMaxLineLength = 4096;
    return text::inert(text.size() > kMaxLineLength ? text.substr(0, kMaxLineLength) + u'\u2026' : text,
                       text::Layout::OneLine);
}

}  // namespace venmarra::ui
