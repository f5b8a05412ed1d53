// The answer reader over arbitrary answers and expressions: it reads, it never crashes or hangs.
// The input's first line is an expression, the rest the answer.
#include "service/answer_reader.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace venmarra;
    const QString input = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const qsizetype newline = input.indexOf(u'\n');
    const QString expression = newline < 0 ? QString() : input.left(newline);
    const AnswerReader reader(newline < 0 ? input : input.mid(newline + 1));
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
