#include "IntegerText.h"

#include "ErrorMessage.h"

#include <limits>

namespace textio {
namespace {

constexpr qint64 int32Max = std::numeric_limits<qint32>::max();
// Large enough for every comparison the validations make, small enough never to overflow while reading.
constexpr qint64 saturation = qint64(1) << 40;

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

} // namespace

IntegerText parseIntegerText(QStringView text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text[i] == u' ')
        ++i;

    bool negative = false;
    int base = 10;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    } else if (i < n && (text[i] == u'$' || text[i] == u'x' || text[i] == u'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < n && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
        base = 16;
        i += 2;
    }

    qint64 magnitude = 0;
    qsizetype digits = 0;
    for (; i < n; ++i) {
        const int d = digitValue(text[i].unicode(), base);
        if (d < 0)
            break;
        magnitude = std::min(magnitude * base + d, saturation);
        ++digits;
    }

    const qint64 limit = negative ? int32Max + 1 : int32Max;
    if (digits == 0 || i != n || magnitude > limit)
        return {false, magnitude};
    return {true, negative ? -magnitude : magnitude};
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

std::optional<qint32> frequencyFromText(QStringView text)
{
    if (const auto value = toInteger(text))
        return value;

    QString kept;
    for (const QChar c : text) {
        if (c >= u'0' && c <= u'9')
            kept.append(c);
    }
    if (kept.isEmpty())
        return std::nullopt;

    return requireInteger(kept);
}

} // namespace textio
