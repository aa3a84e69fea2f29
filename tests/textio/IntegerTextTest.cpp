#include "textio/IntegerText.h"
#include "textio/ErrorMessage.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

struct IntegerCase
{
    const char16_t* text;
    bool ok;
    qint64 value;
};

TEST(IntegerText, AcceptsOneSignOrPrefixThenDigitsToTheEnd)
{
    const IntegerCase cases[] = {
        {u"10", true, 10},
        {u"  7", true, 7},
        {u"+5", true, 5},
        {u"-20", true, -20},
        {u"-0", true, 0},
        {u"$1F", true, 31},
        {u"x10", true, 16},
        {u"X10", true, 16},
        {u"0x1f", true, 31},
        {u"0X10", true, 16},
        {u"007", true, 7},
        {u"2147483647", true, 2147483647},
        {u"-2147483648", true, -2147483648LL},
        // What fails keeps the digits read before the failure, without the sign.
        {u"", false, 0},
        {u"+", false, 0},
        {u"$", false, 0},
        {u"0x", false, 0},
        {u"12 ", false, 12},
        {u"12x", false, 12},
        {u"-5x", false, 5},
        {u"\t3", false, 0},
        {u"+-3", false, 0},
        {u"-$3", false, 0},
        {u"1.5", false, 1},
        {u"2147483648", false, 2147483648LL},
        {u"-2147483649", false, 2147483649LL},
        {u"99999999999", false, 99999999999LL},
    };
    for (const IntegerCase& c : cases) {
        const auto parsed = textio::parseIntegerText(QStringView(c.text));
        EXPECT_EQ(parsed.ok, c.ok) << QString::fromUtf16(c.text).toStdString();
        EXPECT_EQ(parsed.value, c.value) << QString::fromUtf16(c.text).toStdString();
    }
}

TEST(FrequencyFromText, FallsBackToTheDigitsAndRejectsWhatOverflows)
{
    EXPECT_EQ(textio::frequencyFromText(u"12"), 12);
    EXPECT_EQ(textio::frequencyFromText(u"-4"), -4);
    EXPECT_EQ(textio::frequencyFromText(u"7 times"), 7);
    EXPECT_EQ(textio::frequencyFromText(u"1 234"), 1234);
    EXPECT_EQ(textio::frequencyFromText(u"7\t1"), 71);
    EXPECT_EQ(textio::frequencyFromText(u"Frequency"), std::nullopt);
    EXPECT_EQ(textio::frequencyFromText(u""), std::nullopt);
    // Frequencies are 64-bit, the smallest value included; beyond that the digits throw.
    EXPECT_EQ(textio::frequencyFromText(u"9 999 999 999"), 9999999999);
    EXPECT_EQ(textio::frequencyFromText(u"-9223372036854775808"), std::numeric_limits<qint64>::min());
    EXPECT_EQ(textio::frequencyFromText(u"0x7FFFFFFFFFFFFFFF"), std::numeric_limits<qint64>::max());
    try {
        textio::frequencyFromText(u"-9223372036854775809");
        FAIL() << "no error for digits beyond 64 bits";
    } catch (const textio::ErrorMessage& error) {
        EXPECT_EQ(error.text(), u"''9223372036854775809'' is not a valid integer value"_s);
    }
}

} // namespace
