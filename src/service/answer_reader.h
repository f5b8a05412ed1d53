#pragma once

#include <nlohmann/json_fwd.hpp>

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace venmarra {

// A value read from an answer, as its text form (see textForm); nothing when the expression has
// no value (undefined).
using ReadValue = std::optional<std::u16string>;

// The service's JSON answer, taken as the value of `data` and read by fixed expressions such as
// "data.data[0].user.USER". The answer is parsed as strict JSON and never executed; one that is
// not valid JSON (or is empty) gives no value for every expression.
class AnswerReader {
public:
    explicit AnswerReader(std::u16string_view answer);
    AnswerReader(AnswerReader &&) noexcept;
    AnswerReader &operator=(AnswerReader &&) noexcept;
    ~AnswerReader();

    bool isValid() const { return m_data != nullptr; }
    // Resolves `expression` ("data", then ".name" and "[n]" steps) as JavaScript would: "[n]"
    // picks element n of an array, the member named "n" of an object, or character n of a string
    // (in UTF-16 units); a step on null or on a missing value gives no value.
    ReadValue read(std::u16string_view expression) const;

    // Deeper nesting than this is refused as a whole, like text that is not JSON.
    static constexpr int kMaxNesting = 1024;

private:
    std::unique_ptr<const nlohmann::json> m_data;
};

// The text form of a value: a string as it stands; no value and null give empty text; 64-bit
// integers digit for digit, other numbers as JavaScript writes them; true and false as words.
// Objects and arrays cannot be turned into text and give empty text as well.
std::u16string textForm(ReadValue value);

}  // namespace venmarra
