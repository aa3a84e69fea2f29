#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace textio {

// Every text the program turns into a number goes through this one rule: leading spaces, then a sign
// ("+", "-") or a hexadecimal prefix ("$", "x", "X", "0x", "0X"), then digits and nothing after them;
// the value must fit a signed 32-bit integer.
struct IntegerText
{
    bool ok = false;
    // When ok, the value. Otherwise the magnitude of the digits read before the character that stopped
    // the parse, without sign (0 when there were none); the field validations compare with it.
    qint64 value = 0;
};

IntegerText parseIntegerText(QStringView text);

// The value when the text is an integer text.
std::optional<qint32> toInteger(QStringView text);

// The value of an integer text; otherwise throws ErrorMessage "''text'' is not a valid integer value".
qint32 requireInteger(QStringView text);

// The frequency of a concordance line's frequency text: its value when it is an integer text, otherwise
// the number its decimal digits form ("12x" -> 12, "1 234" -> 1234); nullopt when it holds no digit. Frequencies
// are read as signed 64-bit integers: the program writes frequencies up to 2^32 - 1, and a file made by other
// means may hold more. Digits beyond that range throw ErrorMessage "''digits'' is not a valid integer value".
std::optional<qint64> frequencyFromText(QStringView text);

} // namespace textio
