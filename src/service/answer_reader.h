#pragma once

#include <QJsonValue>
#include <QString>
#include <QStringView>

#include <optional>

namespace venmarra {

// A value read from an answer; nothing when the expression has no value (undefined).
using ReadValue = std::optional<QJsonValue>;

// The service's JSON answer, taken as the value of `data` and read by fixed expressions such as
// "data.data[0].user.USER". The answer is parsed as strict JSON and never executed; one that is
// not valid JSON (or is empty) gives no value for every expression.
class AnswerReader {
public:
    explicit AnswerReader(const QString &answer);

    bool isValid() const { return m_data.has_value(); }
    ReadValue read(QStringView expression) const;

private:
    std::optional<QJsonValue> m_data;
};

// Resolves `expression` ("data", then ".name" and "[n]" steps) on `data` as JavaScript would:
// "[n]" picks element n of an array, the member named "n" of an object, or character n of a
// string; a step on null or on a missing value gives no value.
ReadValue evaluateExpression(const QJsonValue &data, QStringView expression);

// The text form of a value: a string as it stands; no value and null give empty text; 64-bit
// integers digit for digit, other numbers as JavaScript writes them; true and false as words. Objects and
// arrays cannot be turned into text and give empty text as well.
QString textForm(const ReadValue &value);

}  // namespace venmarra
