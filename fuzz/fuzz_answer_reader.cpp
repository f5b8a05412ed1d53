// The answer reader over arbitrary answers and expressions: it reads, it never crashes or hangs.
// The input's first line is an expression, the rest the answer.
#include "service/answer_reader.h"
#include "text/utf.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace venmarra;
    const std::u16string input = text::utf16FromUtf8({reinterpret_cast<const char *>(data), size});
    const std::size_t newline = input.find(u'\n');
    const std::u16string_view expression = newline == std::u16string::npos
        ? std::u16string_view()
        : std::u16string_view(input).substr(0, newline);
    const AnswerReader reader(newline == std::u16string::npos
                                  ? std::u16string_view(input)
                                  : std::u16string_view(input).substr(newline + 1));
    for (const char16_t *fixed :
         {u"data.data[0].user.USER", u"data.data[0].user.STATUS", u"data.data[0].list[0].FROM",
          u"data.data[0].list[0].MID", u"data.data[0][1][0].DATA[0]"})
        (void)textForm(reader.read(fixed));
    const ReadValue value = reader.read(expression);
    if (!reader.isValid() && value)
        __builtin_trap();  // an answer that is not JSON has no values at all
    (void)textForm(value);
    return 0;
}
