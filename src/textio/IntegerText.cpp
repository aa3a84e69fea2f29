#include "IntegerText.h"

#include "ErrorMessage.h"

#include <limits>

namespace textio {
namespace {

constexpr quint64 int32Max = std::numeric_limits<qint32>::max();
constexpr quint64 int64Max = std::numeric_limits<qint64>::max();

struct Digits
{
    bool complete = false; // digits were read, and nothing follows them
    bool negative = false;
    quint64 magnitude = 0; // saturated at the largest quint64
};

int digitValue(char16_t c, int base)
{
    int d = -1;
    if (c >= u'0' && c <= u'9')
        d = c - u'0';
    else if (c >= u'a' && c <= u'f')
        d = c - u'a' + 10;
    else if (c >= u'A' && c <= u'F')
        d = c - u'A' + 10;
    return d < base ? d : -1;
}

Digits readDigits(QStringView text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text[i] == u' ')
        ++i;

    Digits result;
    int base = 10;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        result.negative = text[i] == u'-';
        ++i;
    } else if (i < n && (text[i] == u'$' || text[i] == u'x' || text[i] == u'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < n && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
        base = 16;
        i += 2;
    }

    qsizetype digits = 0;
    constexpr quint64 saturated = std::numeric_limits<quint64>::max();
    for (; i < n; ++i) {
        const int d = digitValue(text[i].unicode(), base);
        if (d < 0)
            break;
        quint64& m = result.magnitude;
        m = m > (saturated - quint64(d)) / quint64(base) ? saturated : m * quint64(base) + quint64(d);
        ++digits;
    }
    result.complete = digits > 0 && i == n;
    return result;
}

// The value when the digits are complete and fit a signed integer whose largest value is `max`.
std::optional<qint64> valueWithin(const Digits& digits, quint64 max)
{
    if (!digits.complete || digits.magnitude > max + (digits.negative ? 1 : 0))
        return std::nullopt;
    // The magnitude of the smallest value has no positive counterpart; it is negated one short of it.
    return digits.negative ? -qint64(digits.magnitude - 1) - 1 : qint64(digits.magnitude);
}

std::optional<qint64> toInteger64(QStringView text)
{
    return valueWithin(readDigits(text), int64Max);
}

} // namespace

IntegerText parseIntegerText(QStringView text)
{
    const Digits digits = readDigits(text);
    if (const auto value = valueWithin(digits, int32Max))
        return {true, *value};
    return {false, qint64(std::min(digits.magnitude, int64Max))};
}

std::optional<qint32> toInteger(QStringView text)
{
    const IntegerText parsed = parseIntegerText(text);
    if (!parsed.ok)
        return std::nullopt;
    return static_cast<qint32>(parsed.value);
}

qint32 requireInteger(QStringView text)
{
    if (const auto value = toInteger(text))
        return *value;
    throw ErrorMessage(QStringLiteral("''%1'' is not a valid integer value").arg(text));
}

std::optional<qint64> frequencyFromText(QStringView text)
{
    if (const auto value = toInteger64(text))
        return value;

    QString kept;
    for (const QChar c : text) {
        if (c >= u'0' && c <= u'9')
            kept.append(c);
    }
    if (kept.isEmpty())
        return std::nullopt;
    if (const auto value = toInteger64(kept))
        return value;
    throw ErrorMessage(QStringLiteral("''%1'' is not a valid integer value").arg(kept));
}

} // namespace textio
