#include "ui/viewer_text.h"

#include "text/utf.h"

#include <algorithm>

namespace venmarra::ui {
namespace {

bool isLineBreak(char16_t c)
{
    return c == u'\n' || c == u'\r' || c == 0x2029;
}

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

}  // namespace

ViewerText::ViewerText(std::u16string content, RowFit rowFit)
    : m_text(std::move(content))
    , m_rowFit(std::move(rowFit))
{
}

std::size_t ViewerText::pieceEnd(std::size_t start, std::size_t lineEnd) const
{
    if (m_rowFit)
        return rowEnd(start, lineEnd);
    return lineEnd - start > kLongLine ? blockEnd(start, lineEnd) : lineEnd;
}

std::size_t ViewerText::rowEnd(std::size_t start, std::size_t lineEnd) const
{
    const std::u16string_view line(m_text);
    const std::size_t measured = std::min(lineEnd - start, kMaxRowUnits);
    const std::size_t limit
        = start + std::clamp<std::size_t>(m_rowFit(line.substr(start, measured)), 1, measured);
    if (limit >= lineEnd)
        return lineEnd;
    if (line[limit] == u' ') {  // the spaces that end a row's last word stay on the row
        const std::size_t word = line.find_first_not_of(u' ', limit);
        return word == std::u16string_view::npos ? lineEnd : std::min(word, lineEnd);
    }
    for (std::size_t at = limit; at > start; --at)
        if (mayBreakBefore(line, at))
            return at;
    return wholeCharacter(line, limit);  // a word longer than a row breaks where the row ends
}

std::size_t ViewerText::blockEnd(std::size_t start, std::size_t lineEnd) const
{
    constexpr std::size_t kSearch = 256;
    const std::size_t limit = start + kBlockLength;
    if (lineEnd - start <= kBlockLength + kBlockLength / 2)
        return lineEnd;  // no short tail block
    for (std::size_t at = limit; at > limit - kSearch; --at)
        if (mayBreakBefore(m_text, at) && !text::isLowSurrogate(m_text[at]))
            return at;
    return wholeCharacter(m_text, limit);
}

ViewerText::Slice ViewerText::next(std::size_t maxUnits, std::u16string_view separator)
{
    m_started = true;
    Slice slice;
    while (m_next < m_text.size() && slice.text.size() < maxUnits) {
        if (!m_lineEndKnown) {  // where this line ends, found once per line
            m_lineEnd
                = std::size_t(std::find_if(m_text.begin() + std::ptrdiff_t(m_next), m_text.end(), isLineBreak)
                              - m_text.begin());
            m_lineEndKnown = true;
        }
        const std::size_t end = pieceEnd(m_next, m_lineEnd);
        slice.text.append(m_text, m_next, end - m_next);
        m_next = end;
        if (end < m_lineEnd) {
            slice.ownBreaks.push_back(slice.text.size());
        } else if (end < m_text.size()) {
            const bool crlf = m_text[end] == u'\r' && end + 1 < m_text.size() && m_text[end + 1] == u'\n';
            m_next = end + (crlf ? 2 : 1);
            m_lineEndKnown = false;
        } else {
            break;
        }
        slice.text.append(separator);
    }
    if (atEnd())
        std::u16string().swap(m_text);  // the megabytes are in the box now
    return slice;
}

std::u16string ViewerText::rest()
{
    std::u16string left = m_text.substr(std::min(m_next, m_text.size()));
    m_next = m_text.size();
    m_started = true;
    std::u16string().swap(m_text);
    return left;
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
