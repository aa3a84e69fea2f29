#include "ExactModel.h"
#include "ModelTestSupport.h"
#include "SampleDistributions.h"
#include "StraightforwardModel.h"

#include "model/DirectRows.h"
#include "model/ModelNumber.h"
#include "model/SteppedRows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cfloat>
#include <cmath>
#include <random>

namespace model::test {
namespace {

std::vector<std::vector<double>> steppedRows(const Spectrum& spectrum, const measure::CurveColumns& columns,
                                             quint64 density, unsigned threads)
{
    RowCollector collector(columns);
    computeSteppedRows(spectrum, columns, density, collector, threads);
    return collector.rows;
}

std::vector<std::vector<double>> directRows(const Spectrum& spectrum, const measure::CurveColumns& columns,
                                            quint64 density, unsigned threads)
{
    RowCollector collector(columns);
    computeDirectRows(DirectRows(spectrum, columns), density, collector, threads);
    return collector.rows;
}

std::vector<std::vector<double>> chosenRows(const Spectrum& spectrum, const measure::CurveColumns& columns,
                                            quint64 density, unsigned threads)
{
    RowCollector collector(columns);
    computeModelRows(spectrum, columns, density, collector, threads);
    return collector.rows;
}

std::vector<std::vector<double>> straightforwardRows(const Spectrum& spectrum, const measure::CurveColumns& columns,
                                                     quint64 density)
{
    RowCollector collector(columns);
    straightforwardModelRows(spectrum, columns, density, collector);
    return collector.rows;
}

void expectSameBits(const std::vector<std::vector<double>>& actual, const std::vector<std::vector<double>>& expected)
{
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t r = 0; r < actual.size(); ++r) {
        ASSERT_EQ(actual[r].size(), expected[r].size());
        for (size_t c = 0; c < actual[r].size(); ++c) {
            ASSERT_EQ(std::bit_cast<quint64>(actual[r][c]), std::bit_cast<quint64>(expected[r][c]))
                << "row " << r << " column " << c << ": " << actual[r][c] << " vs " << expected[r][c];
        }
    }
}

void expectPrintedAsExact(const std::vector<std::vector<double>>& rows, const Spectrum& spectrum,
                          const measure::CurveColumns& columns, quint64 density)
{
    const ExactModel exact(spectrum, columns);
    ASSERT_EQ(rows.size(), spectrum.N / density);
    for (size_t r = 0; r < rows.size(); ++r) {
        const auto expected = exact.row((r + 1) * density);
        for (size_t c = 0; c < expected.size(); ++c)
            ASSERT_TRUE(printsAsExact(rows[r][c], expected[c])) << "step " << (r + 1) * density << " column " << c;
    }
}

Spectrum randomSpectrum(std::mt19937& random, int records, quint32 maxFrequency)
{
    std::vector<quint32> types(maxFrequency + 1, 0);
    for (int k = 0; k < records; ++k)
        types[1 + random() % maxFrequency] += 1 + random() % 4;
    Spectrum spectrum;
    for (quint32 f = maxFrequency; f >= 1; --f) {
        if (types[f] > 0) {
            spectrum.records.push_back({f, types[f]});
            spectrum.N += quint64(f) * types[f];
            spectrum.V += types[f];
        }
    }
    return spectrum;
}

TEST(ModelPaths, ThreadedAndVectorisedGiveTheBitsOfTheStraightforwardLoop)
{
    std::mt19937 random(11);
    const struct
    {
        Spectrum spectrum;
        measure::CurveColumns columns;
        quint64 density;
    } cases[] = {
        {corpusSpectrum(QStringLiteral("en-austen-northanger-abbey.ascii.txt")), {true, 1, 6}, 97},
        {randomSpectrum(random, 40, 300), {true, 1, 40}, 1},
        {randomSpectrum(random, 3, 50), {false, 2, 9}, 3},
        {makeSpectrum({{3000, 1}}), {true, 1, 3}, 7},
        {makeSpectrum({{1, 5000}, {2, 1}}), {true, 2, 2}, 11},
    };
    ASSERT_GT(cases[0].spectrum.N, 70000u);
    for (const auto& c : cases) {
        const auto expected = straightforwardRows(c.spectrum, c.columns, c.density);
        for (const unsigned threads : {1u, 2u, 3u})
            expectSameBits(steppedRows(c.spectrum, c.columns, c.density, threads), expected);
    }
}

TEST(ModelPaths, ThreadCountsAgreeWhereClassTermsStartLate)
{
    // The start products of classes 300..310 underflow here, so their terms join the sums only later.
    std::vector<std::pair<quint32, quint32>> pairs{{1, 20000}, {2, 3000}};
    for (quint32 f = 300; f <= 600; f += 15)
        pairs.emplace_back(f, 1 + f % 4);
    const Spectrum spectrum = makeSpectrum(pairs);
    const measure::CurveColumns columns{true, 300, 310};
    const auto rows = steppedRows(spectrum, columns, 13, 1);
    double largest = 0.0;
    for (const auto& row : rows)
        largest = std::max(largest, *std::max_element(row.begin() + 1, row.end()));
    EXPECT_GT(largest, 0.5);
    for (const unsigned threads : {2u, 3u})
        expectSameBits(steppedRows(spectrum, columns, 13, threads), rows);
}

TEST(ModelIdentities, CurvesStartAtOneEndAtTheTextAndAccountForEveryToken)
{
    std::mt19937 random(5);
    for (int n = 0; n < 12; ++n) {
        const Spectrum spectrum = randomSpectrum(random, 1 + n * 3, 5 + n * 8);
        const quint32 highest = spectrum.records.front().Freq;
        const auto rows = steppedRows(spectrum, {true, 1, highest}, 1, 2);
        ASSERT_EQ(rows.size(), spectrum.N);
        EXPECT_NEAR(rows.front()[0], 1.0, 1e-12);
        EXPECT_NEAR(rows.back()[0], double(spectrum.V), 1e-9 * spectrum.V);
        for (const TInData& record : spectrum.records)
            EXPECT_NEAR(rows.back()[record.Freq], record.Poc, 1e-9 * record.Poc) << "class " << record.Freq;
        for (quint64 l = 1; l <= spectrum.N; ++l) {
            double tokens = 0.0;
            for (quint32 i = 1; i <= highest; ++i)
                tokens += i * rows[l - 1][i];
            ASSERT_NEAR(tokens, double(l), 1e-9 * l) << "step " << l;
        }
    }
}

TEST(ModelAccuracy, RealTextAgreesWithBinomialCoefficients)
{
    const Spectrum spectrum = corpusSpectrum(QStringLiteral("en-austen-pride-and-prejudice.ascii.txt"));
    ASSERT_GT(spectrum.N, 100000u);
    const quint64 density = 9973;
    const measure::CurveColumns columns{true, 1, 4};
    const auto rows = steppedRows(spectrum, columns, density, 2);
    const ExactModel exact(spectrum, columns);
    for (size_t r = 0; r < rows.size(); r += 3) {
        const auto expected = exact.row((r + 1) * density);
        for (size_t c = 0; c < expected.size(); ++c)
            EXPECT_NEAR(rows[r][c], double(expected[c]), 1e-9 * rows[r][c]) << "column " << c << " row " << r;
    }
}

// n × C(f, i) / C(N, i) formed as the running product the file's arithmetic prescribes.
double productStart(const TInData& record, quint64 tokens, quint64 cls)
{
    double term = record.Poc;
    for (quint64 k = 1; k <= cls; ++k)
        term = term * (double(record.Freq) + double(k) - double(cls)) / (double(tokens) + double(k) - double(cls));
    return term;
}

// A Zipf-like spectrum of about 10^6 tokens with few records: frequencies in steps of a quarter, each with the
// number of types a 1 / rank law gives the step.
Spectrum steppedZipfSpectrum()
{
    Spectrum spectrum;
    quint32 previous = 0;
    for (double f = 1.0; f < 100000.0; f *= 1.25) {
        const auto frequency = quint32(std::lround(f));
        if (frequency == previous)
            continue;
        previous = frequency;
        const auto types = quint32(std::max(1L, std::lround(20000.0 / frequency)));
        spectrum.records.push_back({frequency, types});
        spectrum.N += quint64(frequency) * types;
        spectrum.V += types;
    }
    return spectrum;
}

TEST(ModelAccuracy, HighClassesOfALongTextDoNotUnderflow)
{
    const Spectrum spectrum = steppedZipfSpectrum();
    ASSERT_GT(spectrum.N, 900000u);
    constexpr quint32 from = 50;
    constexpr quint32 to = 120;
    const quint64 density = 50021;
    const measure::CurveColumns columns{false, from, to};
    const auto rows = steppedRows(spectrum, columns, density, 2);
    const ExactModel exact(spectrum, columns);
    for (size_t r = 0; r < rows.size(); ++r) {
        const auto expected = exact.row((r + 1) * density);
        for (quint64 i = from; i <= to; ++i) {
            const double value = double(expected[i - from]);
            if (value >= 1e-6)
                EXPECT_NEAR(rows[r][i - from], value, 1e-9 * value) << "class " << i << " row " << r;
            else
                EXPECT_LT(rows[r][i - from], 1e-6) << "class " << i << " row " << r;
        }
    }

    double largestFromUnderflowedStarts = 0.0;
    for (quint64 i = from; i <= to; ++i) {
        Spectrum underflowed;
        underflowed.N = spectrum.N;
        for (const TInData& record : spectrum.records) {
            if (record.Freq >= i && productStart(record, spectrum.N, i) < DBL_MIN)
                underflowed.records.push_back(record);
        }
        const ExactModel exactUnderflowed(underflowed, {false, quint32(i), quint32(i)});
        for (size_t r = 0; r < rows.size(); ++r) {
            largestFromUnderflowedStarts =
                std::max(largestFromUnderflowedStarts, double(exactUnderflowed.row((r + 1) * density)[0]));
        }
    }
    // Types whose plain start products are zero or subnormal really make up several expected types.
    EXPECT_GT(largestFromUnderflowedStarts, 2.0);
}

TEST(ModelAccuracy, EveryRowOfSmallSpectraPrintsTheExactExpectation)
{
    std::mt19937 random(17);
    // Frequent types leave the error bounds of stepped values wide enough that some are evaluated directly.
    const Spectrum frequentTypes = makeSpectrum({{1, 30000}, {2, 10000}, {3, 5000}, {5, 2000}, {10, 1000}});
    const struct
    {
        Spectrum spectrum;
        measure::CurveColumns columns;
        quint64 density;
        ModelMethod method;
    } cases[] = {
        {makeSpectrum({{2, 1}, {1, 1}}), {true, 1, 4}, 1, ModelMethod::Stepping},
        {randomSpectrum(random, 12, 200), {true, 1, 4}, 1, ModelMethod::Stepping},
        {randomSpectrum(random, 12, 200), {true, 1, 4}, 400, ModelMethod::Direct},
        {randomSpectrum(random, 12, 300), {false, 60, 110}, 3, ModelMethod::Stepping},
        {frequentTypes, {true, 1, 4}, 7, ModelMethod::Stepping},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(chooseModelMethod(c.spectrum, c.columns, c.density), c.method) << "N " << c.spectrum.N;
        const auto chosen = chosenRows(c.spectrum, c.columns, c.density, 1);
        expectPrintedAsExact(chosen, c.spectrum, c.columns, c.density);
        expectSameBits(chosenRows(c.spectrum, c.columns, c.density, 3), chosen);
        const auto direct = directRows(c.spectrum, c.columns, c.density, 1);
        expectPrintedAsExact(direct, c.spectrum, c.columns, c.density);
        expectSameBits(directRows(c.spectrum, c.columns, c.density, 3), direct);
    }

    const auto stepped = steppedRows(frequentTypes, {true, 1, 4}, 7, 1);
    int rechecked = 0;
    for (size_t r = 0; r < stepped.size(); ++r) {
        for (size_t c = 0; c < stepped[r].size(); ++c) {
            const double bound = steppingErrorBound(stepped[r][c], (r + 1) * 7, c == 0, 48000, 5);
            rechecked += printsAlikeWithin(stepped[r][c], bound) ? 0 : 1;
        }
    }
    EXPECT_GT(rechecked, 10);
}

TEST(ModelAccuracy, RowsOfAHundredMillionTokensPrintTheExactExpectation)
{
    const Spectrum spectrum = zipfLawSpectrum(1e8, 2000000);
    ASSERT_GT(spectrum.N, 95000000u);
    for (const measure::CurveColumns columns : {measure::CurveColumns{true, 1, 4}, {false, 60, 110}}) {
        EXPECT_EQ(chooseModelMethod(spectrum, columns, 10000), ModelMethod::Direct);
        const DirectRows direct(spectrum, columns);
        DirectRows::Evaluator evaluator(direct);
        const ExactModel exact(spectrum, columns);
        std::vector<double> values(direct.width());
        for (const quint64 drawn : {quint64(1000), quint64(123457), quint64(9999991), spectrum.N / 2, spectrum.N}) {
            evaluator.evaluate(drawn, values);
            const auto expected = exact.row(drawn);
            for (size_t c = 0; c < values.size(); ++c)
                EXPECT_TRUE(printsAsExact(values[c], expected[c])) << "step " << drawn << " column " << c;
        }
    }
}

} // namespace
} // namespace model::test
