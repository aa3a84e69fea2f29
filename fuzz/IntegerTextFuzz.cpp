// Integer text: the parser agrees with a plain reading of the rule, for 32-bit settings and 64-bit frequencies.
#include "FuzzSupport.h"

#include "textio/ErrorMessage.h"
#include "textio/IntegerText.h"

#include <limits>
#include <optional>

namespace {

int digitOf(QChar c, int base)
{
    const char16_t u = c.unicode();
    const int digit = u >= u'0' && u <= u'9'   ? u - u'0'
                      : u >= u'a' && u <= u'f' ? u - u'a' + 10
                      : u >= u'A' && u <= u'F' ? u - u'A' + 10
                                               : 99;
    return digit < base ? digit : -1;
}

struct Reading
{
    bool complete = false;
    bool negative = false;
    unsigned __int128 magnitude = 0; // saturated far beyond 64 bits
};

// The rule read one step at a time: spaces, one sign or hexadecimal prefix, digits to the end.
Reading readPlainly(const QString& text)
{
    Reading reading;
    qsizetype i = 0;
    while (i < text.size() && text[i] == u' ')
        ++i;
    int base = 10;
    const QStringView rest = QStringView(text).sliced(i);
    if (rest.startsWith(u'+') || rest.startsWith(u'-')) {
        reading.negative = rest.startsWith(u'-');
        ++i;
    } else if (rest.startsWith(u'$') || rest.startsWith(u'x') || rest.startsWith(u'X')) {
        base = 16;
        ++i;
    } else if (rest.startsWith(u"0x") || rest.startsWith(u"0X")) {
        base = 16;
        i += 2;
    }
    const qsizetype first = i;
    for (; i < text.size(); ++i) {
        const int digit = digitOf(text[i], base);
        if (digit < 0)
            break;
        reading.magnitude = std::min<unsigned __int128>(reading.magnitude * unsigned(base) + unsigned(digit),
                                                        (unsigned __int128)1 << 100);
    }
    reading.complete = i > first && i == text.size();
    return reading;
}

std::optional<qint64> plainValue(const Reading& reading, unsigned __int128 max)
{
    if (!reading.complete || reading.magnitude > max + (reading.negative ? 1 : 0))
        return std::nullopt;
    const __int128 value = reading.negative ? -__int128(reading.magnitude) : __int128(reading.magnitude);
    return qint64(value);
}

// Bytes as text: the even ones pick from the characters the rule cares about, the odd ones are taken as Latin-1.
QString textFrom(const uint8_t* data, size_t size)
{
    static constexpr char16_t alphabet[] = u" +-$xX0123456789aAfFgG\t.\u0661";
    QString text;
    for (size_t i = 0; i < size; ++i)
        text +=
            data[i] % 2 == 0 ? QChar(alphabet[(data[i] / 2) % (std::size(alphabet) - 1)]) : QChar(char16_t(data[i]));
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = textFrom(data, size);
    const Reading reading = readPlainly(text);

    const textio::IntegerText parsed = textio::parseIntegerText(text);
    const std::optional<qint64> int32 = plainValue(reading, std::numeric_limits<qint32>::max());
    FUZZ_CHECK(parsed.ok == int32.has_value());
    if (parsed.ok)
        FUZZ_CHECK(parsed.value == *int32);
    else
        FUZZ_CHECK(parsed.value ==
                   qint64(std::min<unsigned __int128>(reading.magnitude, std::numeric_limits<qint64>::max())));
    FUZZ_CHECK(textio::toInteger(text) == (parsed.ok ? std::optional<qint32>(qint32(parsed.value)) : std::nullopt));

    // A frequency: the integer text in 64 bits, else its decimal digits, which must then fit 64 bits.
    std::optional<qint64> expected = plainValue(reading, std::numeric_limits<qint64>::max());
    QString digits;
    for (const QChar c : text)
        if (c >= u'0' && c <= u'9')
            digits += c;
    bool overflows = false;
    if (!expected && !digits.isEmpty()) {
        expected = plainValue(readPlainly(digits), std::numeric_limits<qint64>::max());
        overflows = !expected;
    }
    try {
        FUZZ_CHECK(textio::frequencyFromText(text) == expected);
        FUZZ_CHECK(!overflows);
    } catch (const textio::ErrorMessage& error) {
        FUZZ_CHECK(overflows);
        FUZZ_CHECK(error.text() == QStringLiteral("''%1'' is not a valid integer value").arg(digits));
    }
    return 0;
}
