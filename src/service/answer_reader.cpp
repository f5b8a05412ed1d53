#include "service/answer_reader.h"

#include "text/utf.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <limits>
#include <variant>
#include <vector>

namespace venmarra {
namespace {

using Json = nlohmann::json;

// The escape "\uXXXX" at `at` in `text`, when there is one.
std::optional<unsigned> unicodeEscape(std::u16string_view text, std::size_t at)
{
    if (at + 6 > text.size() || text[at] != u'\\' || text[at + 1] != u'u')
        return std::nullopt;
    char digits[4];
    for (std::size_t i = 0; i < 4; ++i) {
        const char16_t unit = text[at + 2 + i];
        if (unit >= 0x80)
            return std::nullopt;
        digits[i] = char(unit);
    }
    unsigned value = 0;
    const auto [last, error] = std::from_chars(digits, digits + 4, value, 16);
    if (error != std::errc() || last != digits + 4)
        return std::nullopt;
    return value;
}

// The first position from `at` of a unit that `wanted` marks, or the end of `text`.
std::size_t findMarked(std::u16string_view text, std::size_t at, const std::array<bool, 128> &wanted)
{
    while (at < text.size() && !(text[at] < 128 && wanted[text[at]]))
        ++at;
    return at;
}

constexpr std::array<bool, 128> marking(std::string_view characters)
{
    std::array<bool, 128> marks {};
    for (const char c : characters)
        marks[static_cast<unsigned char>(c)] = true;
    return marks;
}

constexpr std::array<bool, 128> kStructure = marking("\"[]{}");
constexpr std::array<bool, 128> kInString = marking("\"\\");

// Where a JSON answer holds the escape of a lone surrogate, which JavaScript takes and the parser
// refuses (each is read as the escape of U+FFFD); nothing when brackets nest deeper than the reader
// allows.
std::optional<std::vector<std::size_t>> loneSurrogateEscapes(std::u16string_view answer)
{
    std::vector<std::size_t> lone;
    int depth = 0;
    for (std::size_t at = findMarked(answer, 0, kStructure); at < answer.size();
         at = findMarked(answer, at + 1, kStructure)) {
        const char16_t c = answer[at];
        if (c == u'[' || c == u'{') {
            if (++depth > AnswerReader::kMaxNesting)
                return std::nullopt;
        } else if (c == u']' || c == u'}') {
            --depth;
        } else {  // a string: on to its closing quote
            for (at = findMarked(answer, at + 1, kInString); at < answer.size() && answer[at] == u'\\';
                 at = findMarked(answer, at, kInString)) {
                const std::optional<unsigned> unit = unicodeEscape(answer, at);
                if (!unit) {
                    at += 2;
                    continue;
                }
                const std::optional<unsigned> next = unicodeEscape(answer, at + 6);
                if (text::isHighSurrogate(*unit) && next && text::isLowSurrogate(*next)) {
                    at += 12;
                    continue;
                }
                if (text::isSurrogate(*unit))
                    lone.push_back(at);
                at += 6;
            }
        }
    }
    return lone;
}

// The UTF-8 bytes of UTF-16 text, made as the parser reads them, so that a large answer is never
// copied whole; a lone surrogate reads as U+FFFD, as utf8FromUtf16 writes it.
class Utf8Bytes {
public:
    using iterator_category = std::input_iterator_tag;
    using value_type = char;
    using difference_type = std::ptrdiff_t;
    using pointer = const char *;
    using reference = const char &;

    Utf8Bytes(std::u16string_view text, std::size_t at)
        : m_text(text)
        , m_at(at)
    {
        load();
    }
    const char &operator*() const { return m_bytes[m_index]; }
    Utf8Bytes &operator++()
    {
        if (++m_index == m_bytes.size()) {
            m_at += m_units;
            load();
        }
        return *this;
    }
    Utf8Bytes operator++(int)
    {
        const Utf8Bytes before = *this;
        ++*this;
        return before;
    }
    bool operator==(const Utf8Bytes &other) const { return m_at == other.m_at && m_index == other.m_index; }

private:
    void load()
    {
        m_index = 0;
        m_units = 1;
        m_bytes.clear();
        if (m_at >= m_text.size())
            return;
        const bool pair = text::isHighSurrogate(m_text[m_at]) && m_at + 1 < m_text.size()
            && text::isLowSurrogate(m_text[m_at + 1]);
        m_units = pair ? 2 : 1;
        m_bytes = text::utf8FromUtf16(m_text.substr(m_at, m_units));
    }

    std::u16string_view m_text;
    std::size_t m_at;
    std::size_t m_units = 1;  // of the character at m_at
    std::string m_bytes;  // its UTF-8, a few bytes that need no allocation
    std::size_t m_index = 0;
};

std::unique_ptr<const Json> parseAnswer(std::u16string_view answer)
{
    if (!answer.empty() && answer.front() == 0xFEFF)
        answer.remove_prefix(1);
    const std::optional<std::vector<std::size_t>> lone = loneSurrogateEscapes(answer);
    if (!lone)
        return nullptr;
    std::u16string patched;  // a copy only for an answer that needs one
    if (!lone->empty()) {
        patched.assign(answer);
        for (const std::size_t at : *lone)
            patched.replace(at + 2, 4, u"FFFD");
        answer = patched;
    }
    Json document = Json::parse(Utf8Bytes(answer, 0), Utf8Bytes(answer, answer.size()), nullptr,
                                /*allow_exceptions=*/false);
    if (!document.is_object() && !document.is_array())
        return nullptr;  // not JSON (discarded), or a bare value
    return std::make_unique<const Json>(std::move(document));
}

// Where an expression has got to: a value of the answer, or one UTF-16 unit of one of its strings.
using Cursor = std::variant<const Json *, char16_t>;

std::optional<Cursor> member(const Cursor &at, std::u16string_view name)
{
    const Json *const *value = std::get_if<const Json *>(&at);
    if (!value || !(*value)->is_object())
        return std::nullopt;
    const auto found = (*value)->find(text::utf8FromUtf16(name));
    if (found == (*value)->end())
        return std::nullopt;
    return Cursor(&*found);
}

std::optional<Cursor> element(const Cursor &at, std::size_t index, std::u16string_view indexText)
{
    if (const char16_t *unit = std::get_if<char16_t>(&at)) {
        if (index > 0)
            return std::nullopt;
        return Cursor(*unit);
    }
    const Json &value = *std::get<const Json *>(at);
    if (value.is_array()) {
        if (index >= value.size())
            return std::nullopt;
        return Cursor(&value[index]);
    }
    if (value.is_string()) {
        const std::u16string units = text::utf16FromUtf8(value.get_ref<const std::string &>());
        if (index >= units.size())
            return std::nullopt;
        return Cursor(units[index]);
    }
    return member(at, indexText);
}

std::optional<std::size_t> indexOf(std::u16string_view text)
{
    std::string digits;
    for (const char16_t c : text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        digits.push_back(char(c));
    }
    std::size_t index = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), index);
    if (digits.empty() || error != std::errc())
        return std::nullopt;
    return index;
}

// One ".name" or "[n]" step from `at` in `expression`; moves `at` past it. Nothing when the step
// gives no value, or is malformed (then `malformed` is set).
std::optional<Cursor> step(const Cursor &value, std::u16string_view expression, std::size_t &at,
                           bool &malformed)
{
    if (expression[at] == u'.') {
        const std::size_t end = std::min(expression.find_first_of(u".[", at + 1), expression.size());
        const std::u16string_view name = expression.substr(at + 1, end - at - 1);
        at = end;
        malformed = name.empty();
        return member(value, name);
    }
    const std::size_t close = expression.find(u']', at);
    const std::u16string_view indexText = close == std::u16string_view::npos
        ? std::u16string_view()
        : expression.substr(at + 1, close - at - 1);
    const std::optional<std::size_t> index = indexOf(indexText);
    malformed = expression[at] != u'[' || close == std::u16string_view::npos || !index;
    at = close == std::u16string_view::npos ? expression.size() : close + 1;
    if (malformed)
        return std::nullopt;
    return element(value, *index, indexText);
}

// A number as JavaScript writes it (Number.prototype.toString): the shortest digits that read
// back as the same double, in full up to 21 digits before the point, else with an exponent.
std::string numberText(double number)
{
    if (std::isnan(number))
        return "NaN";
    if (std::isinf(number))
        return number > 0 ? "Infinity" : "-Infinity";
    if (number == 0)
        return "0";  // -0 too
    std::array<char, 32> buffer {};
    const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), std::fabs(number),
                                            std::chars_format::scientific);
    if (error != std::errc())
        return {};
    // "d.ddde±xx": the significant digits, and the decimal exponent n of JavaScript's rule.
    const std::string_view scientific(buffer.data(), std::size_t(end - buffer.data()));
    const std::size_t e = scientific.find('e');
    std::string digits(scientific.substr(0, e));
    digits.erase(std::remove(digits.begin(), digits.end(), '.'), digits.end());
    const int k = int(digits.size());
    const int n = std::stoi(std::string(scientific.substr(e + 1))) + 1;
    std::string text = number < 0 ? "-" : "";
    if (k <= n && n <= 21)
        text += digits + std::string(std::size_t(n - k), '0');
    else if (0 < n && n <= 21)
        text += digits.substr(0, std::size_t(n)) + '.' + digits.substr(std::size_t(n));
    else if (-6 < n && n <= 0)
        text += "0." + std::string(std::size_t(-n), '0') + digits;
    else
        text += digits.substr(0, 1) + (k > 1 ? "." + digits.substr(1) : "") + 'e' + (n - 1 >= 0 ? "+" : "-")
            + std::to_string(std::abs(n - 1));
    return text;
}

std::u16string textOf(const Json &value)
{
    switch (value.type()) {
    case Json::value_t::string: return text::utf16FromUtf8(value.get_ref<const std::string &>());
    case Json::value_t::boolean: return value.get<bool>() ? u"true" : u"false";
    case Json::value_t::number_integer:
        return text::utf16FromLatin1(std::to_string(value.get<std::int64_t>()));
    case Json::value_t::number_unsigned: {
        const auto number = value.get<std::uint64_t>();
        // Past the signed range a number is a double, as in JavaScript.
        if (number <= std::uint64_t(std::numeric_limits<std::int64_t>::max()))
            return text::utf16FromLatin1(std::to_string(number));
        return text::utf16FromLatin1(numberText(double(number)));
    }
    case Json::value_t::number_float: return text::utf16FromLatin1(numberText(value.get<double>()));
    case Json::value_t::null:
    case Json::value_t::object:
    case Json::value_t::array:
    case Json::value_t::binary:
    case Json::value_t::discarded: return {};
    }
    return {};
}

}  // namespace

AnswerReader::AnswerReader(std::u16string_view answer)
    : m_data(parseAnswer(answer))
{
}

AnswerReader::AnswerReader(AnswerReader &&) noexcept = default;
AnswerReader &AnswerReader::operator=(AnswerReader &&) noexcept = default;
AnswerReader::~AnswerReader() = default;

ReadValue AnswerReader::read(std::u16string_view expression) const
{
    constexpr std::u16string_view root = u"data";
    if (!m_data || !expression.starts_with(root))
        return std::nullopt;
    std::optional<Cursor> current = Cursor(m_data.get());
    std::size_t at = root.size();
    while (at < expression.size()) {
        const Json *const *value = current ? std::get_if<const Json *>(&*current) : nullptr;
        if (!current || (value && (*value)->is_null()))
            return std::nullopt;  // JavaScript throws on a step from null or undefined
        bool malformed = false;
        current = step(*current, expression, at, malformed);
        if (malformed)
            return std::nullopt;
    }
    if (!current)
        return std::nullopt;
    if (const char16_t *unit = std::get_if<char16_t>(&*current))
        return std::u16string(1, *unit);
    return textOf(*std::get<const Json *>(*current));
}

std::u16string textForm(ReadValue value)
{
    return value ? std::move(*value) : std::u16string();  // a mail's megabytes are moved, not copied
}

}  // namespace venmarra
