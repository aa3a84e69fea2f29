#include "ModelTestSupport.h"
#include "WorkingDirectory.h"

#include "textio/ErrorMessage.h"
#include "model/Model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace model::test {
namespace {

using namespace Qt::Literals::StringLiterals;

std::map<quint64, quint32> countsOf(const Spectrum& spectrum)
{
    std::map<quint64, quint32> counts;
    for (const TInData& record : spectrum.records)
        counts[record.Freq] += record.Poc;
    return counts;
}

struct ConcordanceCase
{
    const char* name;
    QByteArray file;
    std::map<quint64, quint32> counts;
    quint64 tokens;
};

class ConcordanceSpectrum : public testing::TestWithParam<ConcordanceCase>
{
};

TEST_P(ConcordanceSpectrum, CountsFrequencyTexts)
{
    const ScopedTemporaryWorkingDirectory directory;
    writeBytes(QStringLiteral("Concordance.txt"), GetParam().file);
    const Spectrum spectrum = BuildSpectrum(QStringLiteral("Concordance.txt"));
    EXPECT_EQ(countsOf(spectrum), GetParam().counts);
    EXPECT_EQ(spectrum.N, GetParam().tokens);
    quint64 types = 0;
    for (const auto& [frequency, count] : GetParam().counts)
        types += count;
    EXPECT_EQ(spectrum.V, types);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, ConcordanceSpectrum,
    testing::Values(
        ConcordanceCase{"Plain", "Type\tFrequency\r\na\t3\r\nb\t1\r\nc\t1\r\n", {{3, 1}, {1, 2}}, 5},
        ConcordanceCase{
            "NonPositiveAndDigitlessSkipped", "Type\tFrequency\r\nx\t0\r\nx\t-4\r\ny\tabc\r\na\t2\r\n", {{2, 1}}, 2},
        ConcordanceCase{"DigitsKeptFromOtherText", "h\r\nz\t7 times\r\nw\t1 234\r\n", {{7, 1}, {1234, 1}}, 1241},
        // Types of the line-word and space-delimited formats may hold a TAB; the frequency follows the last one.
        ConcordanceCase{"TypesHoldingTabs", "h\r\nabc\t123\t2\r\nxyz\t5\t1\r\nx\t7\t1\r\n", {{2, 1}, {1, 2}}, 4},
        ConcordanceCase{
            "IntegerTextForms", "h\r\na\t+5\r\nb\t$A\r\nc\t  0x10\r\nd\t-0\r\n", {{5, 1}, {10, 1}, {16, 1}}, 31},
        ConcordanceCase{"LineWithoutTabSkipped", "h\r\nlonely 5\r\na\t1\r\n", {{1, 1}}, 1},
        ConcordanceCase{"FirstLineIgnoredEvenIfData", "a\t9\nb\t2\n", {{2, 1}}, 2},
        ConcordanceCase{"TypeSplitByLineBreak", "h\r\nfirst\r\nhalf\t4\r\n", {{4, 1}}, 4},
        ConcordanceCase{"HeaderOnly", "\xEF\xBB\xBFType\tFrequency\r\n", {}, 0},
        ConcordanceCase{"EmptyFile", "", {}, 0},
        ConcordanceCase{"Windows1252Types", "h\r\ncaf\xE9\t2\r\n\xE9t\xE9\t2\r\n", {{2, 2}}, 4},
        ConcordanceCase{"TokensBeyond32Bits",
                        "h\r\na\t2147483647\r\nb\t2147483647\r\nc\t2147483647\r\n",
                        {{2147483647, 3}},
                        6442450941},
        ConcordanceCase{"FrequenciesBeyond32Bits",
                        "h\r\na\t4294967295\r\nb\t9223372036854775807\r\n",
                        {{4294967295, 1}, {9223372036854775807ull, 1}},
                        9223372041149743102ull}),
    [](const testing::TestParamInfo<ConcordanceCase>& info) { return info.param.name; });

TEST(ConcordanceSpectrumErrors, NamesTheLineOfAFrequencyOrASumBeyond64Bits)
{
    const std::pair<QByteArray, QString> cases[] = {
        {"h\r\na\t5\r\nb\t99999999999999999999 x\r\n",
         u"''99999999999999999999'' is not a valid integer value (line 3 of \"Concordance.txt\")"_s},
        {"h\r\na\t9223372036854775807\r\nb\t9223372036854775807\r\nc\t2\r\n",
         u"The frequencies up to line 4 of \"Concordance.txt\" add up to more than 18446744073709551615 tokens."_s},
    };
    const ScopedTemporaryWorkingDirectory directory;
    for (const auto& [file, message] : cases) {
        writeBytes(QStringLiteral("Concordance.txt"), file);
        try {
            BuildSpectrum(QStringLiteral("Concordance.txt"));
            ADD_FAILURE() << "no error for " << file.toStdString();
        } catch (const textio::ErrorMessage& error) {
            EXPECT_EQ(error.text(), message);
        }
    }
}

TEST(ConcordanceSpectrumErrors, MissingFileThrowsCannotOpen)
{
    const ScopedTemporaryWorkingDirectory directory;
    try {
        BuildSpectrum(QStringLiteral("absent.txt"));
        FAIL() << "no error";
    } catch (const textio::ErrorMessage& error) {
        EXPECT_TRUE(error.text().startsWith(QStringLiteral("Cannot open file \"absent.txt\". ")));
    }
}

TEST(DictionarySpectrum, CountsTypesPerFrequencyAndEmptiesTheDictionary)
{
    measure::Slovnik slovnik;
    for (const auto& [type, frequency] :
         {std::pair{QStringLiteral("the"), 3}, {QStringLiteral("a"), 1}, {QStringLiteral("b"), 1}, {QString(), 2}})
        slovnik[type.toStdU16String()].H = frequency;
    const Spectrum spectrum = BuildSpectrum(std::move(slovnik));
    EXPECT_EQ(countsOf(spectrum), (std::map<quint64, quint32>{{1, 2}, {2, 1}, {3, 1}}));
    EXPECT_EQ(spectrum.N, 7u);
    EXPECT_EQ(spectrum.V, 4u);
    EXPECT_TRUE(std::is_sorted(spectrum.records.begin(), spectrum.records.end(),
                               [](const TInData& a, const TInData& b) { return a.Freq < b.Freq; }));
    EXPECT_TRUE(slovnik.empty());
}

} // namespace
} // namespace model::test
