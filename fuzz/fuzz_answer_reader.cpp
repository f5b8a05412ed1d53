// The answer reader over arbitrary answers and expressions: it reads, it never crashes or hangs,
// what it reads is well-formed UTF-8, an answer that is not JSON has no value at all, and taking a
// value out gives what reading it gives. The input's first line is an expression, the rest the
// answer.
#include "properties.h"
#include "service/answer_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace venmarra;
    using fuzz::require;
    const std::string input = text::validUtf8(std::string(fuzz::bytesOf(data, size)));  // as an answer comes
    const std::size_t newline = input.find('\n');
    const std::string_view expression = std::string_view(input).substr(0, newline);
    const std::string_view answer
        = newline == std::string::npos ? std::string_view() : std::string_view(input).substr(newline + 1);
    const AnswerReader reader(answer);
    for (const char *fixed :
         {"data.data[0].user.USER", "data.data[0].user.STATUS", "data.data[0].list[0].FROM",
          "data.data[0].list[0].MID", "data.data[0][1][0].DATA[0]"})
        require(text::isValidUtf8(textForm(reader.read(fixed))));
    const ReadValue value = reader.read(expression);
    require(reader.isValid() || !value);
    require(text::isValidUtf8(textForm(value)));
    AnswerReader taking(answer);
    require(taking.take(expression) == value);
    return 0;
}
