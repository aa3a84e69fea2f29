// The model's number format: three decimals after a ".", rounded half away from zero on the value's
// 18-significant-digit expansion, checked against that rule worked out on the digits printf gives.
#include "FuzzSupport.h"

#include "model/ModelNumber.h"

#include <cmath>
#include <cstring>
#include <string>

namespace {

std::string byTheRule(double value)
{
    const double magnitude = std::fabs(value);
    if (!(magnitude >= 0.001))
        return "0.000";
    char scientific[64];
    std::snprintf(scientific, sizeof scientific, "%.17e", magnitude); // d.ddddddddddddddddde+x
    std::string digits = std::string(1, scientific[0]) + std::string(scientific + 2, 17);
    const int exponent = std::atoi(std::strchr(scientific, 'e') + 1);
    // Digits down to the thousandths: the integer part's exponent + 1 digits and three more.
    const size_t kept = size_t(exponent + 4);
    if (kept < digits.size()) {
        const bool up = digits[kept] >= '5';
        digits.resize(kept);
        for (size_t i = kept; up && i-- > 0;) {
            if (digits[i] != '9') {
                ++digits[i];
                break;
            }
            digits[i] = '0';
            if (i == 0)
                digits.insert(digits.begin(), '1');
        }
    } else {
        digits.append(kept - digits.size(), '0');
    }
    if (digits.size() < 4)
        digits.insert(0, 4 - digits.size(), '0');
    return (value < 0 ? "-" : "") + digits.substr(0, digits.size() - 3) + '.' + digits.substr(digits.size() - 3);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < sizeof(double))
        return 0;
    double value;
    std::memcpy(&value, data, sizeof value);
    // The model's sums are finite: probabilities times counts of types.
    if (!std::isfinite(value))
        return 0;
    char text[model::maxModelNumberLength + 1];
    char* end = model::formatModelNumber(value, text);
    FUZZ_CHECK(end > text && end - text <= model::maxModelNumberLength);
    FUZZ_CHECK(std::string(text, size_t(end - text)) == byTheRule(value));
    return 0;
}
