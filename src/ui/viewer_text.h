#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace venmarra::ui {

// The viewer's text as a box holds it. A mail may hold a line of many megabytes (a one-line HTML
// newsletter), and laying out such a line at once freezes a window for seconds; so a line is held
// in pieces, broken where a line may break anyway (after a space, beside a wide character), each
// ended by a break of the box's own: mailTextOf() takes them out again for copying. A box that
// wraps its lines itself (Qt's) takes a line longer than kLongLine in blocks of about
// kBlockLength, and lays out only those on screen; a box that does not (a plain EDIT left to
// wrap would re-wrap all it holds each time it is given more) takes every line in rows of what
// its measure says fits. A large mail goes into the box a slice at a time between events; it is
// kept in UTF-8, and each piece made the box's UTF-16 once, as it goes in.
class ViewerText {
public:
    static constexpr std::size_t kLongLine = 8192;
    static constexpr std::size_t kBlockLength = 4096;
    // The most of a line that a row's measure is given: more than any row can show.
    static constexpr std::size_t kMaxRowUnits = 1024;

    // How many units at the start of `text` one row of the box shows (at least one).
    using RowFit = std::function<std::size_t(std::u16string_view text)>;

    // The mail's content, well-formed UTF-8 already inert (text::inertUtf8 with its line breaks
    // kept); with `rowFit`, held in rows.
    explicit ViewerText(std::string content, RowFit rowFit = {});

    // True once every slice has been taken.
    bool atEnd() const { return m_next >= m_text.size() && m_started; }

    struct Slice {
        // Whole pieces, each followed by `separator` but the mail's last; the mail's own line
        // breaks ("\r\n" counts as one) are separators too.
        std::u16string text;
        // Where in `text` the separators begin that are the box's own, in order.
        std::vector<std::size_t> ownBreaks;
    };
    // The next pieces, about `maxUnits` units of them (at least one piece).
    Slice next(std::size_t maxUnits, std::u16string_view separator);
    // What is left to take, as the mail has it (UTF-8); nothing is left after.
    std::string rest();
    // What is left to take, left in place.
    std::string_view remaining() const;

private:
    // The next piece of the line that m_next is in, taken, in UTF-16.
    std::u16string takePiece();
    // Makes as much of the line from m_next UTF-16 as a piece is chosen in.
    void fillWindow();
    // Where a row of `line`, the part of a line that is measured, ends.
    std::size_t rowEnd(std::u16string_view line) const;

    std::string m_text;
    RowFit m_rowFit;
    std::size_t m_next = 0;  // the byte where the part not yet taken begins
    std::size_t m_lineEnd = 0;  // the byte where the line that m_next is in ends, once known
    bool m_lineEndKnown = false;
    std::u16string m_window;  // the line from m_windowStart, made UTF-16, up to m_windowEnd
    std::size_t m_windowStart = std::string::npos, m_windowEnd = 0;
    bool m_started = false;
};

// The mail's text from part of a box's text, `shown`, in which every `separator` stands for a
// line break but those at `ownBreaks` (offsets in `shown`, in order), which the box added and
// which go. The others become `lineBreak`.
std::u16string mailTextOf(std::u16string_view shown, std::u16string_view separator,
                          std::span<const std::size_t> ownBreaks, std::u16string_view lineBreak);
// A part of a mail (well-formed UTF-8) as text whose line breaks are each `lineBreak`.
std::u16string mailTextOf(std::string_view part, std::u16string_view lineBreak);

// Where a box's own breaks stand in its text, kept in step as the user edits it. An edit replaces
// a part of the text, never splitting a line break (a box moves over one as one character); an
// own break that the part takes in goes with it, and those after it move.
class OwnBreaks {
public:
    explicit OwnBreaks(std::size_t separatorLength)
        : m_length(separatorLength)
    {
    }
    // One more, after all the others.
    void add(std::size_t at) { m_at.push_back(at); }
    void clear() { m_at.clear(); }
    // The text from `start` to `end` was replaced by `inserted` units.
    void replace(std::size_t start, std::size_t end, std::size_t inserted);
    // Those that begin from `start` to before `end`, counted from `start`.
    std::vector<std::size_t> within(std::size_t start, std::size_t end) const;

private:
    std::size_t m_length;
    std::vector<std::size_t> m_at;  // in order
};

}  // namespace venmarra::ui
