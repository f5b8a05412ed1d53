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

// The escape "\uXXXX" at `at` in `answer`, when there is one.
std::optional<unsigned> unicodeEscape(std::string_view answer, std::size_t at)
{
    if (at + 6 > answer.size() || answer[at] != '\\' || answer[at + 1] != 'u')
        return std::nullopt;
    unsigned value = 0;
    const auto [last, error] = std::from_chars(answer.data() + at + 2, answer.data() + at + 6, value, 16);
    if (error != std::errc() || last != answer.data() + at + 6)
        return std::nullopt;
    return value;
}

// The first position from `at` of a byte that `wanted` marks, or the end of `answer`.
std::size_t findMarked(std::string_view answer, std::size_t at, const std::array<bool, 256> &wanted)
{
    while (at < answer.size() && !wanted[static_cast<unsigned char>(answer[at])])
        ++at;
    return at;
}

constexpr std::array<bool, 256> marking(std::string_view characters)
{
    std::array<bool, 256> marks {};
    for (const char c : characters)
        marks[static_cast<unsigned char>(c)] = true;
    return marks;
}

constexpr std::array<bool, 256> kStructure = marking("\"[]{}");
constexpr std::array<bool, 256> kInString = marking("\"\\");

// Where a JSON answer holds the escape of a lone surrogate, which JavaScript takes and the parser
// refuses (each is read as the escape of U+FFFD); nothing when brackets nest deeper than the reader
// allows.
std::optional<std::vector<std::size_t>> loneSurrogateEscapes(std::string_view answer)
{
    std::vector<std::size_t> lone;
    int depth = 0;
    for (std::size_t at = findMarked(answer, 0, kStructure); at < answer.size();
         at = findMarked(answer, at + 1, kStructure)) {
        const char c = answer[at];
        if (c == '[' || c == '{') {
            if (++depth > AnswerReader::kMaxNesting)
                return std::nullopt;
        } else if (c == ']' || c == '}') {
            --depth;
        } else {  // a string: on to its closing quote
            for (at = findMarked(answer, at + 1, kInString); at < answer.size() && answer[at] == '\\';
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

// Builds the parsed value as nlohmann's own builder does, but takes each string from the parser
// rather than copying it, so that a mail's megabytes are held once while they are read.
class MovingBuilder {
public:
    explicit MovingBuilder(Json &root)
        : m_root(root)
    {
    }

    bool null() { return put(nullptr); }
    bool boolean(bool value) { return put(value); }
    bool number_integer(Json::number_integer_t value) { return put(value); }
    bool number_unsigned(Json::number_unsigned_t value) { return put(value); }
    bool number_float(Json::number_float_t value, const Json::string_t &) { return put(value); }
    bool string(Json::string_t &value) { return put(std::move(value)); }
    bool binary(Json::binary_t &) { return false; }
    bool start_object(std::size_t) { return open(Json::object()); }
    bool key(Json::string_t &name)
    {
        m_member = &(*m_open.back())[std::move(name)];  // a later member of the same name wins
        return true;
    }
    bool end_object() { return close(); }
    bool start_array(std::size_t) { return open(Json::array()); }
    bool end_array() { return close(); }
    bool parse_error(std::size_t, const std::string &, const nlohmann::detail::exception &) { return false; }

private:
    // The value's place: the root, the end of the array that is open, or the member just named.
    template <typename Value>
    Json *place(Value &&value)
    {
        Json *const slot = m_open.empty() ? &m_root
            : m_open.back()->is_array()   ? &m_open.back()->emplace_back()
                                          : m_member;
        *slot = Json(std::forward<Value>(value));
        return slot;
    }
    template <typename Value>
    bool put(Value &&value)
    {
        place(std::forward<Value>(value));
        return true;
    }
    bool open(Json container)
    {
        m_open.push_back(place(std::move(container)));  // its place stays while it is open
        return true;
    }
    bool close()
    {
        m_open.pop_back();
        return true;
    }

    Json &m_root;
    std::vector<Json *> m_open;  // the arrays and objects that are open, innermost last
    Json *m_member = nullptr;
};

std::unique_ptr<Json> parseAnswer(std::string_view answer)
{
    if (answer.starts_with("\xEF\xBB\xBF"))
        answer.remove_prefix(3);  // a byte-order mark
    const std::optional<std::vector<std::size_t>> lone = loneSurrogateEscapes(answer);
    if (!lone)
        return nullptr;
    std::string patched;  // a copy only for an answer that needs one
    if (!lone->empty()) {
        patched.assign(answer);
        for (const std::size_t at : *lone)
            patched.replace(at + 2, 4, "FFFD");
        answer = patched;
    }
    auto document = std::make_unique<Json>();
    MovingBuilder builder(*document);
    if (!Json::sax_parse(answer.begin(), answer.end(), &builder)
        || (!document->is_object() && !document->is_array()))
        return nullptr;  // not JSON, or a bare value
    return document;
}

// Where an expression has got to: a value of the answer, or one UTF-16 unit of one of its strings.
using Cursor = std::variant<Json *, char16_t>;

std::optional<Cursor> member(const Cursor &at, std::string_view name)
{
    Json *const *value = std::get_if<Json *>(&at);
    if (!value || !(*value)->is_object())
        return std::nullopt;
    const auto found = (*value)->find(std::string(name));
    if (found == (*value)->end())
        return std::nullopt;
    return Cursor(&*found);
}

std::optional<Cursor> element(const Cursor &at, std::size_t index, std::string_view indexText)
{
    if (const char16_t *unit = std::get_if<char16_t>(&at)) {
        if (index > 0)
            return std::nullopt;
        return Cursor(*unit);
    }
    Json &value = *std::get<Json *>(at);
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

std::optional<std::size_t> indexOf(std::string_view digits)
{
    std::size_t index = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), index);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size())
        return std::nullopt;
    return index;
}

// One ".name" or "[n]" step from `at` in `expression`; moves `at` past it. Nothing when the step
// gives no value, or is malformed (then `malformed` is set).
std::optional<Cursor> step(const Cursor &value, std::string_view expression, std::size_t &at, bool &malformed)
{
    if (expression[at] == '.') {
        const std::size_t end = std::min(expression.find_first_of(".[", at + 1), expression.size());
        const std::string_view name = expression.substr(at + 1, end - at - 1);
        at = end;
        malformed = name.empty();
        return member(value, name);
    }
    const std::size_t close = expression.find(']', at);
    const std::string_view indexText
        = close == std::string_view::npos ? std::string_view() : expression.substr(at + 1, close - at - 1);
    const std::optional<std::size_t> index = indexOf(indexText);
    malformed = expression[at] != '[' || close == std::string_view::npos || !index;
    at = close == std::string_view::npos ? expression.size() : close + 1;
    if (malformed)
        return std::nullopt;
    return element(value, *index, indexText);
}

// Where `expression` leads in `data`: nothing when it has no value.
std::optional<Cursor> resolve(Json *data, std::string_view expression)
{
    constexpr std::string_view root = "data";
    if (!data || !expression.starts_with(root))
        return std::nullopt;
    std::optional<Cursor> current = Cursor(data);
    std::size_t at = root.size();
    while (at < expression.size()) {
        Json *const *value = current ? std::get_if<Json *>(&*current) : nullptr;
        if (!current || (value && (*value)->is_null()))
            return std::nullopt;  // JavaScript throws on a step from null or undefined
        bool malformed = false;
        current = step(*current, expression, at, malformed);
        if (malformed)
            return std::nullopt;
    }
    return current;
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
    const std::string_view scientific(buffer.data(), static_cast<std::size_t>(end - buffer.data()));
    const std::size_t e = scientific.find('e');
    std::string digits(scientific.substr(0, e));
    digits.erase(std::remove(digits.begin(), digits.end(), '.'), digits.end());
    const int k = static_cast<int>(digits.size());
    const int n = std::stoi(std::string(scientific.substr(e + 1))) + 1;
    std::string text = number < 0 ? "-" : "";
    if (k <= n && n <= 21)
        text += digits + std::string(static_cast<std::size_t>(n - k), '0');
    else if (0 < n && n <= 21)
        text += digits.substr(0, static_cast<std::size_t>(n)) + '.'
            + digits.substr(static_cast<std::size_t>(n));
    else if (-6 < n && n <= 0)
        text += "0." + std::string(static_cast<std::size_t>(-n), '0') + digits;
    else
        text += digits.substr(0, 1) + (k > 1 ? "." + digits.substr(1) : "") + 'e' + (n - 1 >= 0 ? "+" : "-")
            + std::to_string(std::abs(n - 1));
    return text;
}

std::string textOf(const Json &value)
{
    switch (value.type()) {
    case Json::value_t::string: return value.get_ref<const std::string &>();
    case Json::value_t::boolean: return value.get<bool>() ? "true" : "false";
    case Json::value_t::number_integer: return std::to_string(value.get<std::int64_t>());
    case Json::value_t::number_unsigned: {
        const auto number = value.get<std::uint64_t>();
        // Past the signed range a number is a double, as in JavaScript.
        if (number <= static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
            return std::to_string(number);
        return numberText(static_cast<double>(number));
    }
    case Json::value_t::number_float: return numberText(value.get<double>());
    case Json::value_t::null:
    case Json::value_t::object:
    case Json::value_t::array:
    case Json::value_t::binary:
    case Json::value_t::discarded: return {};
    }
    return {};
}

// The text form of the unit or value that `cursor` stands at.
std::string textAt(const Cursor &cursor)
{
    if (const char16_t *unit = std::get_if<char16_t>(&cursor))
        return text::utf8FromUtf16(std::u16string_view(unit, 1));
    return textOf(*std::get<Json *>(cursor));
}

}  // namespace

AnswerReader::AnswerReader(std::string_view answer)
    : m_data(parseAnswer(answer))
{
}

AnswerReader::AnswerReader(AnswerReader &&) noexcept = default;
AnswerReader &AnswerReader::operator=(AnswerReader &&) noexcept = default;
AnswerReader::~AnswerReader() = default;

ReadValue AnswerReader::read(std::string_view expression) const
{
    const std::optional<Cursor> found = resolve(m_data.get(), expression);
    return found ? ReadValue(textAt(*found)) : std::nullopt;
}

ReadValue AnswerReader::take(std::string_view expression)
{
    const std::optional<Cursor> found = resolve(m_data.get(), expression);
    if (!found)
        return std::nullopt;
    Json *const *value = std::get_if<Json *>(&*found);
    if (value && (*value)->is_string())
        return std::move((*value)->get_ref<std::string &>());
    return textAt(*found);
}

std::string textForm(ReadValue value)
{
    return value ? std::move(*value) : std::string();  // a mail's megabytes are moved, not copied
}

}  // namespace venmarra
