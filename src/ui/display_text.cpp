#include "ui/display_text.h"

#include "text/inert.h"

namespace venmarra::ui {

namespace {

std::u16string cut(const std::u16string &text)
{
    constexpr std::size_t kMaxLineLength = 4096;
    return text.size() > kMaxLineLength ? text.substr(0, kMaxLineLength) + u'\u2026' : text;
}

}  // namespace

std::u16string displayLine(const std::u16string &text)
{
    return text::inert(cut(text), text::Layout::OneLine);
}

std::u16string spokenLine(const std::u16string &text)
{
    return text::spoken(cut(text));
}

}  // namespace venmarra::ui
