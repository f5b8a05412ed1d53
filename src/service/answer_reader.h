#pragma once

#include <nlohmann/json_fwd.hpp>

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace venmarra {

// A value read from an answer, as its text form in UTF-8 (see textForm); nothing when the
// expression has no value (undefined).
using ReadValue = std::optional<std::string>;

// The service's JSON answer, taken as the value of `data` and read by fixed expressions such as
// "data.data[0].user.USER". The answer (well-formed UTF-8) is parsed as strict JSON and never
// executed; one that is not valid JSON (or is empty) gives no value for every expression.
class AnswerReader {
public:
    explicit AnswerReader(std::string_view answer);
    AnswerReader(AnswerReader &&) noexcept;
    AnswerReader &operator=(AnswerReader &&) noexcept;
    ~AnswerReader();

    bool isValid() const { return m_data != nullptr; }
    // Resolves `expression` ("data", then ".name" and "[n]" steps) as JavaScript would: "[n]"
    // picks element n of an array, the member named "n" of an object, or character n of a string
    // (in UTF-16 units); a step on null or on a missing value gives no value.
    ReadValue read(std::string_view expression) const;
    // As read(), but a string is taken out of the answer rather than copied: a mail's megabytes.
    ReadValue take(std::string_view expression);

    // Deeper nesting than this is refused as a whole, like text that is not JSON.
    static constexpr int kMaxNesting = 1024;

private:
    std::unique_ptr<nlohmann::json> m_data;
};

// The text form of a value: a string as it stands; no value and null give empty text; 64-bit
// integers digit for digit, other numbers as JavaScript writes them; true and false as words.
// Objects and arrays cannot be turned into text and give empty text as well.
std::string textForm(ReadValue value);

}  // namespace venmarra
