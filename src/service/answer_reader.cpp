#include "service/answer_reader.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <string>
#include <string_view>

namespace venmarra {
namespace {

std::optional<QJsonValue> parseAnswer(const QString &answer)
{
    QStringView text(answer);
    if (text.startsWith(QChar(0xFEFF)))
        text = text.mid(1);
    QJsonParseError error {};
    const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError)
        return std::nullopt;
    if (document.isObject())
        return QJsonValue(document.object());
    if (document.isArray())
        return QJsonValue(document.array());
    return std::nullopt;
}

ReadValue member(const QJsonValue &value, const QString &name)
{
    if (!value.isObject())
        return std::nullopt;
    const QJsonObject object = value.toObject();
    const auto found = object.constFind(name);
    if (found == object.constEnd())
        return std::nullopt;
    return found.value();
}

ReadValue element(const QJsonValue &value, qsizetype index, const QString &indexText)
{
    if (value.isArray()) {
        const QJsonArray array = value.toArray();
        if (index >= array.size())
            return std::nullopt;
        return array.at(index);
    }
    if (value.isString()) {
        const QString text = value.toString();
        if (index >= text.size())
            return std::nullopt;
        return QJsonValue(QString(text.at(index)));
    }
    return member(value, indexText);
}

// One ".name" or "[n]" step from `at` in `expression`; moves `at` past it.
ReadValue step(const QJsonValue &value, QStringView expression, qsizetype &at, bool &malformed)
{
    if (expression.at(at) == u'.') {
        qsizetype end = at + 1;
        while (end < expression.size() && expression.at(end) != u'.' && expression.at(end) != u'[')
            ++end;
        const QString name = expression.mid(at + 1, end - at - 1).toString();
        at = end;
        malformed = name.isEmpty();
        return member(value, name);
    }
    const qsizetype close = expression.indexOf(u']', at);
    bool isNumber = false;
    const QString indexText = close < 0 ? QString() : expression.mid(at + 1, close - at - 1).toString();
    const qsizetype index = indexText.toLongLong(&isNumber);
    malformed = close < 0 || !isNumber || index < 0;
    at = close < 0 ? expression.size() : close + 1;
    if (malformed)
        return std::nullopt;
    return element(value, index, indexText);
}

// A number as JavaScript writes it (Number.prototype.toString): the shortest digits that read
// back as the same double, in full up to 21 digits before the point, else with an exponent.
QString numberText(double number)
{
    if (std::isnan(number))
        return QStringLiteral("NaN");
    if (std::isinf(number))
        return number > 0 ? QStringLiteral("Infinity") : QStringLiteral("-Infinity");
    if (number == 0)
        return QStringLiteral("0");  // -0 too
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
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

}  // namespace

AnswerReader::AnswerReader(const QString &answer)
    : m_data(parseAnswer(answer))
{
}

ReadValue AnswerReader::read(QStringView expression) const
{
    if (!m_data)
        return std::nullopt;
    return evaluateExpression(*m_data, expression);
}

ReadValue evaluateExpression(const QJsonValue &data, QStringView expression)
{
    const QStringView root = u"data";
    if (!expression.startsWith(root))
        return std::nullopt;
    ReadValue current = data;
    qsizetype at = root.size();
    while (at < expression.size()) {
        if (!current || current->isNull() || current->isUndefined())
            return std::nullopt;  // JavaScript throws on a step from null or undefined
        bool malformed = false;
        current = step(*current, expression, at, malformed);
        if (malformed)
            return std::nullopt;
    }
    return current;
}

QString textForm(const ReadValue &value)
{
    if (!value)
        return {};
    switch (value->type()) {
    case QJsonValue::String: return value->toString();
    case QJsonValue::Bool: return value->toBool() ? QStringLiteral("true") : QStringLiteral("false");
    case QJsonValue::Double: {
        const QVariant variant = value->toVariant();
        if (variant.typeId() == QMetaType::LongLong)
            return QString::number(variant.toLongLong());
        return numberText(value->toDouble());
    }
    case QJsonValue::Null:
    case QJsonValue::Undefined:
    case QJsonValue::Object:
    case QJsonValue::Array: return {};
    }
    return {};
}

}  // namespace venmarra
