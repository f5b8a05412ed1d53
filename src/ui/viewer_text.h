#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace venmarra::ui {

// The viewer's text as a box holds it. A mail may hold a line of many megabytes (a one-line HTML
// newsletter), and laying out such a line at once freezes a window for seconds; so a line longer
// than kLongLine is held in blocks of about kBlockLength, broken where a line may break anyway,
// and only the blocks on screen are laid out. Those breaks are the box's own: mailTextOf() takes
// them out again for copying. A large mail goes into the box a slice at a time between events.
class ViewerText {
public:
    static constexpr std::size_t kLongLine = 8192;
    static constexpr std::size_t kBlockLength = 4096;

    // The mail's content, already inert (text::inert with its line breaks kept).
    explicit ViewerText(std::u16string content);

    // True once every slice has been taken.
    bool atEnd() const { return m_next >= m_text.size() && m_started; }

    struct Slice {
        // Whole blocks, each followed by `separator` but the mail's last; the mail's own line
        // breaks ("\r\n" counts as one) are separators too.
        std::u16string text;
        // Where in `text` the separators stand that are the box's own, in order.
        std::vector<std::size_t> ownBreaks;
    };
    // The next blocks, about `maxUnits` units of them (at least one block).
    Slice next(std::size_t maxUnits, char16_t separator);

private:
    std::u16string m_text;
    std::size_t m_next = 0;  // where the part not yet taken begins
    std::size_t m_lineEnd = 0;  // where the line that m_next is in ends, once known
    bool m_lineEndKnown = false;
    bool m_started = false;
};

// The mail's text from part of a box's text, `shown`, in which every `separator` stands for a
// line break but those at `ownBreaks` (offsets in `shown`, in order), which the box added and
// which go. The others become `lineBreak`.
std::u16string mailTextOf(std::u16string_view shown, char16_t separator,
                          std::span<const std::size_t> ownBreaks, std::u16string_view lineBreak);

}  // namespace venmarra::ui
