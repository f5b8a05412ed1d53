#include "ui/viewer_text.h"

#include "text/utf.h"

#include <algorithm>

namespace venmarra::ui {
namespace {

bool isLineBreak(char16_t c)
{
    return c == u'\n' || c == u'\r' || c == 0x2029;
}

// Where to end a block that starts at `start` in a long line ending at `end`: after a space or
// before a wide (CJK) character near kBlockLength, else exactly there.
std::size_t blockEnd(const std::u16string &text, std::size_t start, std::size_t end)
{
    constexpr std::size_t kLength = ViewerText::kBlockLength, kSearch = 256;
    const std::size_t limit = start + kLength;
    if (end - start <= kLength + kLength / 2)
        return end;  // no short tail block
    for (std::size_t at = limit; at > limit - kSearch; --at) {
        const char16_t c = text[at];
        if (text[at - 1] == u' ' || (c >= 0x2E80 && !text::isLowSurrogate(c)))
            return at;
    }
    return text::isLowSurrogate(text[limit]) ? limit + 1 : limit;
}

}  // namespace

ViewerText::ViewerText(std::u16string content)
    : m_text(std::move(content))
{
}

ViewerText::Slice ViewerText::next(std::size_t maxUnits, char16_t separator)
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
        const std::size_t end
            = m_lineEnd - m_next > kLongLine ? blockEnd(m_text, m_next, m_lineEnd) : m_lineEnd;
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
        slice.text.push_back(separator);
    }
    if (atEnd())
        std::u16string().swap(m_text);  // the megabytes are in the box now
    return slice;
}

std::u16string mailTextOf(std::u16string_view shown, char16_t separator,
                          std::span<const std::size_t> ownBreaks, std::u16string_view lineBreak)
{
    std::u16string text;
    text.reserve(shown.size());
    auto own = ownBreaks.begin();
    for (std::size_t at = 0; at < shown.size(); ++at) {
        if (shown[at] != separator) {
            text.push_back(shown[at]);
            continue;
        }
        while (own != ownBreaks.end() && *own < at)
            ++own;
        if (own != ownBreaks.end() && *own == at)
            continue;  // a break of the box's own, not of the mail
        text.append(lineBreak);
    }
    return text;
}

}  // namespace venmarra::ui
