#include "ModelNumber.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace model {
namespace {

constexpr int significantDigits = 18;

// Writes the digits of a thousandfold value (at least 1) with the point before its last three.
char* writeThousandths(const char* digits, int length, char* out)
{
    if (length <= 3) {
        std::memcpy(out, "0.", 2);
        out += 2;
        for (int i = length; i < 3; ++i)
            *out++ = '0';
        std::memcpy(out, digits, length);
        return out + length;
    }
    std::memcpy(out, digits, length - 3);
    out += length - 3;
    *out++ = '.';
    std::memcpy(out, digits + length - 3, 3);
    return out + 3;
}

// |value| × 1000 rounded half away from zero, as digits: from the value's 18-significant-digit expansion.
int roundedThousandthsExactly(double magnitude, char* digits)
{
    char scientific[32]; // "d.ddddddddddddddddde[+-]x"
    const auto converted = std::to_chars(scientific, scientific + sizeof scientific, magnitude,
                                         std::chars_format::scientific, significantDigits - 1);
    const char* exponentSign = scientific + significantDigits + 2;
    int exponent = 0;
    std::from_chars(exponentSign + 1, converted.ptr, exponent);
    if (*exponentSign == '-')
        exponent = -exponent;

    char expansion[significantDigits + 1]; // a spare place in front for a carry
    expansion[0] = '0';
    expansion[1] = scientific[0];
    std::memcpy(expansion + 2, scientific + 2, significantDigits - 1);
    const int kept = exponent + 4; // digits down to the third decimal; at least 1 for magnitudes from 0.001
    if (kept < significantDigits && expansion[1 + kept] >= '5') {
        int position = kept;
        while (expansion[position] == '9')
            expansion[position--] = '0';
        ++expansion[position];
    }
    const int carried = expansion[0] == '1' ? 1 : 0;
    const int available = std::min(kept, significantDigits) + carried;
    std::memcpy(digits, expansion + 1 - carried, available);
    std::memset(digits + available, '0', kept + carried - available);
    return kept + carried;
}

} // namespace

char* formatModelNumber(double value, char* out)
{
    // The rounding rule would turn 0.0007 into "0.001"; such small values stay "0.000" instead, which also
    // keeps tiny negative sums from printing "-0.000".
    const double magnitude = std::fabs(value);
    if (!(magnitude >= 0.001)) {
        std::memcpy(out, "0.000", 5);
        return out + 5;
    }
    if (value < 0)
        *out++ = '-';

    // Fast path: the product in double precision decides the rounding unless it lies so close to a half that
    // its own rounding error or the 18-digit expansion could tip it (both below 2.2e-16 of it).
    const double scaled = magnitude * 1000.0;
    if (scaled < 0x1p52) {
        const double whole = std::floor(scaled);
        const double fraction = scaled - whole;
        if (std::fabs(fraction - 0.5) > scaled * 0x1p-50) {
            char digits[24];
            const auto end = std::to_chars(digits, digits + sizeof digits,
                                           static_cast<unsigned long long>(whole) + (fraction > 0.5 ? 1 : 0));
            return writeThousandths(digits, static_cast<int>(end.ptr - digits), out);
        }
    }
    char digits[maxModelNumberLength];
    return writeThousandths(digits, roundedThousandthsExactly(magnitude, digits), out);
}

bool printsAlikeWithin(double value, double error)
{
    const double magnitude = std::fabs(value);
    // The slack covers the value's 18-digit expansion and the arithmetic below, each within 2^-52 of it.
    const double reach = error + magnitude * 0x1p-48;
    const double low = magnitude - reach;
    const double high = magnitude + reach;
    if (high < 0.001)
        return true;
    // The step from "0.000" to "0.001", or a change of sign.
    if (low < 0.001 || high >= 0x1p52 / 1000.0)
        return false;
    return std::floor(low * 1000.0 + 0.5) == std::floor(high * 1000.0 + 0.5);
}

} // namespace model
