// The viewer's text over any content, any slice length, in blocks (the Qt box) or in rows of any
// measure (the Windows box): the slices joined give back the mail's text with each of its line
// breaks as one, no piece ends inside a character, blocks stay short enough to lay out, a row is
// no longer than it measures but for the spaces after its last word, and copying a part gives
// that part of the mail (a prefix, a suffix), the whole the whole.
#include "properties.h"
#include "ui/viewer_text.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <vector>

namespace {

using namespace venmarra;
using fuzz::require;

// The mail's text as copying gives it: "\r\n", "\r", "\n" and U+2029 each as one "\n".
std::u16string withPlainBreaks(std::u16string_view content)
{
    std::u16string text;
    for (std::size_t at = 0; at < content.size(); ++at) {
        const char16_t c = content[at];
        if (c == u'\r' && at + 1 < content.size() && content[at + 1] == u'\n')
            continue;  // the "\n" that follows stands for both
        text.push_back(c == u'\r' || c == 0x2029 ? u'\n' : c);
    }
    return text;
}

std::vector<std::size_t> breaksFrom(const std::vector<std::size_t> &breaks, std::size_t from, std::size_t to)
{
    std::vector<std::size_t> kept;
    for (const std::size_t at : breaks)
        if (at >= from && at < to)
            kept.push_back(at - from);
    return kept;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const std::size_t sliceLength = input.ConsumeIntegralInRange<std::size_t>(1, 40000);
    const std::size_t repeats = input.ConsumeIntegralInRange<std::size_t>(1, 200);
    const std::u16string separator = input.ConsumeBool() ? u"\n" : u"\r\n";
    const std::size_t rowUnits = input.ConsumeIntegralInRange<std::size_t>(0, 120);  // 0: blocks
    const std::size_t cut = input.ConsumeIntegral<std::size_t>();
    const std::string piece = text::validUtf8(input.ConsumeRemainingBytesAsString());
    std::string content;
    for (std::size_t i = 0; i < repeats; ++i)
        content += piece;  // long lines out of a short input

    ui::ViewerText::RowFit fit;
    if (rowUnits > 0)
        fit = [rowUnits](std::u16string_view row) {
            require(!row.empty() && row.size() <= ui::ViewerText::kMaxRowUnits);
            return rowUnits;
        };
    ui::ViewerText viewer(content, fit);
    std::u16string shown;
    std::vector<std::size_t> ownBreaks;
    while (!viewer.atEnd()) {
        const ui::ViewerText::Slice slice = viewer.next(sliceLength, separator);
        require(slice.text.size() <= sliceLength + ui::ViewerText::kLongLine + separator.size());
        for (const std::size_t own : slice.ownBreaks) {
            require(own > 0 && slice.text.substr(own, separator.size()) == separator);
            ownBreaks.push_back(shown.size() + own);
        }
        shown += slice.text;
    }
    for (const std::size_t own : ownBreaks)  // no piece ends inside a character
        require(!text::isHighSurrogate(shown[own - 1]));
    for (std::size_t start = 0, end = 0; start <= shown.size(); start = end + separator.size()) {
        end = std::min(shown.find(separator, start), shown.size());
        const std::u16string_view row = std::u16string_view(shown).substr(start, end - start);
        require(row.size() <= ui::ViewerText::kLongLine);
        // A row that ends in a break of the box's own holds what fits, and the spaces after it.
        if (rowUnits > 0 && std::binary_search(ownBreaks.begin(), ownBreaks.end(), end))
            require(row.substr(0, row.find_last_not_of(u' ') + 1).size() <= rowUnits + 1);
    }
    const std::u16string whole = ui::mailTextOf(shown, separator, ownBreaks, u"\n");
    require(whole == withPlainBreaks(text::utf16FromUtf8(content)));
    const std::size_t at = shown.empty() ? 0 : cut % (shown.size() + 1);
    const std::u16string prefix = ui::mailTextOf(std::u16string_view(shown).substr(0, at), separator,
                                                 breaksFrom(ownBreaks, 0, at), u"\n");
    const std::u16string suffix = ui::mailTextOf(std::u16string_view(shown).substr(at), separator,
                                                 breaksFrom(ownBreaks, at, shown.size()), u"\n");
    if (separator.size() == 1 || at == 0 || shown[at - 1] != u'\r')  // a box puts no caret inside "\r\n"
        require(whole.starts_with(prefix) && whole.ends_with(suffix));
    return 0;
}
