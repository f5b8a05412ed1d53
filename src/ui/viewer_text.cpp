#include "ui/viewer_text.h"

#include "text/utf.h"

#include <algorithm>

namespace venmarra::ui {
namespace {

bool isWide(char16_t c)
{
    return c >= 0x2E80 && !text::isSurrogate(c);
}

// Whether a line may break before `at`: after a space, or beside a wide (CJK) character; never
// inside a surrogate pair.
bool mayBreakBefore(std::u16string_view line, std::size_t at)
{
    return line[at - 1] == u' ' || isWide(line[at]) || isWide(line[at - 1]);
}

// `at`, or one further where it would split a surrogate pair.
std::size_t wholeCharacter(std::u16string_view line, std::size_t at)
{
    return at < line.size() && text::isLowSurrogate(line[at]) ? at + 1 : at;
}

// Where in the UTF-8 `text` the line that starts at `from` ends: at "\n", "\r" or U+2029.
std::size_t lineEndFrom(std::string_view text, std::size_t from)
{
    for (std::size_t at = from; at < text.size(); ++at) {
        const auto byte = static_cast<unsigned char>(text[at]);
        if (byte > '\r' && byte != 0xE2)
            continue;  // most bytes, at one comparison each: a mail's line may be megabytes long
        if (byte == '\n' || byte == '\r' || text.substr(at, 3) == "\xE2\x80\xA9")
            return at;
    }
    return text.size();
}

// The bytes that the line break at `at` of `text` takes ("\r\n" is one).
std::size_t lineBreakLength(std::string_view text, std::size_t at)
{
    if (text.substr(at, 2) == "\r\n")
        return 2;
    return text[at] == '\r' || text[at] == '\n' ? 1 : 3;
}

// A block's end in `line`, the start of a line longer than kLongLine, near kBlockLength: after a
// space or beside a wide character, else exactly there.
std::size_t blockEnd(std::u16string_view line)
{
    constexpr std::size_t kLength = ViewerText::kBlockLength, kSearch = 256;
    for (std::size_t at = kLength; at > kLength - kSearch; --at)
        if (mayBreakBefore(line, at) && !text::isLowSurrogate(line[at]))
            return at;
    return wholeCharacter(line, kLength);
}

}  // namespace

ViewerText::ViewerText(std::string content, RowFit rowFit)
    : m_text(std::move(content))
    , m_rowFit(std::move(rowFit))
{
}

std::size_t ViewerText::rowEnd(std::u16string_view line) const
{
    const std::size_t limit = std::clamp<std::size_t>(m_rowFit(line), 1, line.size());
    if (limit == line.size())
        return limit;  // the rest of the line, or more than a row could ever hold
    if (line[limit] == u' ')  // the spaces that end a row's last word stay on it
        return std::min(line.find_first_not_of(u' ', limit), line.size());
    for (std::size_t at = limit; at > 0; --at)
        if (mayBreakBefore(line, at))
            return at;
    return wholeCharacter(line, limit);  // a word longer than a row breaks where the row ends
}

void ViewerText::fillWindow()
{
    if (m_windowStart != m_next) {  // a new line
        m_window.clear();
        m_windowStart = m_windowEnd = m_next;
    }
    // What is measured of the line: a row's worth, or enough to tell a long line from a short one.
    const std::size_t wanted = m_rowFit ? kMaxRowUnits : kLongLine + 1;
    if (m_window.size() >= wanted || m_windowEnd >= m_lineEnd)
        return;
    const std::string_view more = std::string_view(m_text).substr(m_windowEnd, m_lineEnd - m_windowEnd);
    const std::size_t bytes = text::utf8PrefixLength(more, wanted - m_window.size());
    m_window += text::utf16FromUtf8(more.substr(0, bytes));
    m_windowEnd += bytes;
}

std::u16string ViewerText::takePiece()
{
    fillWindow();
    const bool longLine = m_windowEnd < m_lineEnd || m_window.size() > kLongLine;
    const std::size_t end = m_window.empty() ? 0
        : m_rowFit                           ? rowEnd(m_window)
        : longLine                           ? blockEnd(m_window)
                                             : m_window.size();
    std::u16string piece = m_window.substr(0, end);
    m_window.erase(0, end);
    m_next += text::utf8PrefixLength(std::string_view(m_text).substr(m_next, m_windowEnd - m_next), end);
    m_windowStart = m_next;
    return piece;
}

ViewerText::Slice ViewerText::next(std::size_t maxUnits, std::u16string_view separator)
{
    m_started = true;
    Slice slice;
    while (m_next < m_text.size() && slice.text.size() < maxUnits) {
        if (!m_lineEndKnown) {  // where this line ends, found once per line
            m_lineEnd = lineEndFrom(m_text, m_next);
            m_lineEndKnown = true;
        }
        slice.text += takePiece();
        if (m_next < m_lineEnd) {
            slice.ownBreaks.push_back(slice.text.size());
        } else if (m_next < m_text.size()) {
            m_next += lineBreakLength(m_text, m_next);
            m_lineEndKnown = false;
        } else {
            break;
        }
        slice.text.append(separator);
    }
    if (atEnd())
        std::string().swap(m_text);  // the megabytes are in the box now
    return slice;
}

std::string ViewerText::rest()
{
    std::string left = m_text.substr(std::min(m_next, m_text.size()));
    m_next = m_text.size();
    m_started = true;
    std::string().swap(m_text);
    return left;
}

std::string_view ViewerText::remaining() const
{
    return std::string_view(m_text).substr(std::min(m_next, m_text.size()));
}

std::u16string mailTextOf(std::string_view part, std::u16string_view lineBreak)
{
    std::u16string text;
    text.reserve(part.size());
    for (std::size_t at = 0; at < part.size();) {
        const std::size_t end = lineEndFrom(part, at);
        text += text::utf16FromUtf8(part.substr(at, end - at));
        if (end == part.size())
            break;
        text.append(lineBreak);
        at = end + lineBreakLength(part, end);
    }
    return text;
}

void OwnBreaks::replace(std::size_t start, std::size_t end, std::size_t inserted)
{
    // Those that the part touches go; those after it move by what the part grew or shrank by.
    const auto first = std::ranges::find_if(m_at, [&](std::size_t at) { return at + m_length > start; });
    const auto after = std::find_if(first, m_at.end(), [&](std::size_t at) { return at >= end; });
    const auto kept = m_at.erase(first, after);
    for (auto at = kept; at != m_at.end(); ++at)
        *at = *at + inserted - (end - start);
}

std::vector<std::size_t> OwnBreaks::within(std::size_t start, std::size_t end) const
{
    std::vector<std::size_t> part;
    for (auto at = std::ranges::lower_bound(m_at, start); at != m_at.end() && *at < end; ++at)
        part.push_back(*at - start);
    return part;
}

std::u16string mailTextOf(std::u16string_view shown, std::u16string_view separator,
                          std::span<const std::size_t> ownBreaks, std::u16string_view lineBreak)
{
    std::u16string text;
    text.reserve(shown.size());
    auto own = ownBreaks.begin();
    for (std::size_t at = 0; at < shown.size();) {
        if (shown.substr(at, separator.size()) != separator) {
            text.push_back(shown[at++]);
            continue;
        }
        while (own != ownBreaks.end() && *own < at)
            ++own;
        if (own == ownBreaks.end() || *own != at)
            text.append(lineBreak);  // else a break of the box's own, not of the mail
        at += separator.size();
    }
    return text;
}

}  // namespace venmarra::ui
