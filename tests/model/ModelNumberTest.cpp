#include "model/ModelNumber.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace model {
namespace {

std::string format(double value)
{
    char text[maxModelNumberLength];
    return std::string(text, formatModelNumber(value, text));
}

TEST(ModelNumber, FormatsThreeDecimalsRoundedOnEighteenDigits)
{
    const struct
    {
        double value;
        const char* text;
    } cases[] = {
        {0.0, "0.000"},
        {-0.0, "0.000"},
        {0.0007, "0.000"},  // below 0.001: not rounded up
        {-0.0004, "0.000"}, // never "-0.000"
        {-0.0009999, "0.000"},
        {0.001, "0.001"},
        {0.0015, "0.002"},
        {-0.0015, "-0.002"},
        {0.0625, "0.063"}, // an exact half goes away from zero
        {-0.0625, "-0.063"},
        {0.5, "0.500"},
        {1.5, "1.500"},
        {2.0005, "2.001"},
        {9.9995, "9.999"},
        {999.9995, "1000.000"}, // carry into a new digit
        {1234.5675, "1234.568"},
        {1234.5665, "1234.566"},
        {-1234.5675, "-1234.568"},
        {-3.25, "-3.250"},
        // The 18-digit expansion 12345678901234.5645 rounds up although the value itself is below the half.
        {12345678901234.564453125, "12345678901234.565"},
        // ...0625 has 19 digits: the 18-digit expansion ends in 062 and nothing is left to round.
        {100000000000000.0625, "100000000000000.062"},
        {4503599627370495.5, "4503599627370495.500"},
        {1e20, "100000000000000000000.000"},
        {123456789012345678901.0, "123456789012345684000.000"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(format(c.value), c.text) << "value " << c.value;
    // The longest text there is: sign, 309 integer digits, point and three decimals.
    EXPECT_EQ(format(-DBL_MAX), "-179769313486231571" + std::string(291, '0') + ".000");
}

// The same rule, applied to the text glibc prints with 18 significant digits.
std::string formatFromPrintf(double value)
{
    if (std::fabs(value) < 0.001)
        return "0.000";
    char scientific[40];
    std::snprintf(scientific, sizeof scientific, "%.17e", std::fabs(value));
    const std::string digits = std::string(1, scientific[0]) + std::string(scientific + 2, 17);
    const int kept = std::atoi(scientific + 20) + 4;
    // The thousandfold value, with one leading zero for a carry.
    std::vector<char> thousandths(1, '0');
    for (int k = 0; k < kept; ++k)
        thousandths.push_back(k < 18 ? digits[k] : '0');
    if (kept < 18 && digits[kept] >= '5') {
        size_t position = thousandths.size() - 1;
        while (thousandths[position] == '9')
            thousandths[position--] = '0';
        ++thousandths[position];
    }
    while (thousandths.size() < 4)
        thousandths.insert(thousandths.begin(), '0');
    std::string text(value < 0 ? "-" : "");
    const size_t integerDigits = thousandths.size() - 3;
    for (size_t k = 0; k < integerDigits; ++k) {
        if (text.size() > (value < 0 ? 1u : 0u) || thousandths[k] != '0' || k + 1 == integerDigits)
            text += thousandths[k];
    }
    text += '.';
    for (size_t k = integerDigits; k < thousandths.size(); ++k)
        text += thousandths[k];
    return text;
}

TEST(ModelNumber, ValuesNextToHalvesAgreeWithPrintedDigits)
{
    std::mt19937_64 random(7);
    std::uniform_int_distribution<long long> thousandths(0, 100000000000);
    std::uniform_int_distribution<int> scale(0, 12);
    for (int n = 0; n < 200000; ++n) {
        const double half = (double(thousandths(random) >> scale(random)) + 0.5) / 1000.0;
        double value = half;
        for (int ulps = random() % 5; ulps > 0; --ulps)
            value = std::nextafter(value, random() % 2 ? 0.0 : 1e30);
        if (random() % 2)
            value = -value;
        ASSERT_EQ(format(value), formatFromPrintf(value)) << std::hexfloat << value;
    }
}

TEST(ModelNumber, IntervalsPrintAlikeOnlyWithoutARoundingBoundaryInThem)
{
    EXPECT_TRUE(printsAlikeWithin(1.2344, 1e-6));
    EXPECT_FALSE(printsAlikeWithin(1.2345, 1e-12));   // on a half
    EXPECT_FALSE(printsAlikeWithin(0.0009999, 1e-6)); // the step from "0.000" to "0.001"
    EXPECT_TRUE(printsAlikeWithin(-0.0002, 0.0005));  // "0.000" on both sides of zero
    EXPECT_FALSE(printsAlikeWithin(-0.0012, 0.0005));

    std::mt19937_64 random(9);
    std::uniform_int_distribution<long long> thousandths(0, 10000000000);
    int alike = 0;
    for (int n = 0; n < 100000; ++n) {
        const double value = (double(thousandths(random) >> (random() % 30)) + 0.5) / 1000.0 +
                             std::ldexp(double(random() % 2001) - 1000.0, -int(random() % 50) - 10);
        const double error = std::ldexp(1.0, -int(random() % 40) - 10);
        if (!printsAlikeWithin(value, error))
            continue;
        ++alike;
        ASSERT_EQ(format(value - error), format(value)) << std::hexfloat << value << " " << error;
        ASSERT_EQ(format(value + error), format(value)) << std::hexfloat << value << " " << error;
    }
    EXPECT_GT(alike, 1000);
}

} // namespace
} // namespace model
