#include "ExactModel.h"
#include "ModelTestSupport.h"
#include "SampleDistributions.h"
#include "WorkingDirectory.h"

#include "model/DeviationRows.h"
#include "model/DrawProbabilities.h"
#include "model/Model.h"
#include "textio/ErrorMessage.h"

#include <quadmath.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <random>

namespace model::test {
namespace {

std::vector<std::vector<double>> deviationRows(const Spectrum& spectrum, const measure::CurveColumns& columns,
                                               quint64 density, unsigned threads)
{
    RowCollector collector(columns);
    computeDeviationRows(spectrum, columns, density, collector, threads);
    return collector.rows;
}

size_t columnCount(const measure::CurveColumns& columns)
{
    return (columns.ttr ? 1 : 0) + columns.classCount();
}

// Counts the columns along one order of the tokens: per type its occurrences so far, and the columns themselves.
class Counting
{
public:
    Counting(size_t types, const measure::CurveColumns& columns)
        : m_columns(columns),
          m_seen(types, 0),
          m_values(columnCount(columns), 0)
    {}

    void add(quint32 type)
    {
        const quint32 before = m_seen[type]++;
        if (before == 0 && m_columns.ttr)
            ++m_values[0];
        const size_t first = m_columns.ttr ? 1 : 0;
        if (m_columns.hasClasses()) {
            if (before >= m_columns.from && before <= m_columns.to)
                --m_values[first + before - m_columns.from];
            if (before + 1 >= m_columns.from && before + 1 <= m_columns.to)
                ++m_values[first + before + 1 - m_columns.from];
        }
    }
    const std::vector<long double>& values() const { return m_values; }

private:
    measure::CurveColumns m_columns;
    std::vector<quint32> m_seen;
    std::vector<long double> m_values;
};

TEST(ModelDeviations, TinySpectraAgreeWithEveryOrderOfTheTokens)
{
    const struct
    {
        std::vector<std::pair<quint32, quint32>> pairs;
        measure::CurveColumns columns;
    } cases[] = {
        {{{1, 2}}, {true, 1, 2}},         {{{2, 1}, {1, 1}}, {true, 1, 3}},         {{{3, 1}, {1, 2}}, {true, 1, 4}},
        {{{2, 2}, {1, 2}}, {true, 1, 4}}, {{{4, 1}, {2, 1}, {1, 2}}, {true, 2, 4}}, {{{8, 1}}, {true, 1, 8}},
        {{{1, 8}}, {true, 1, 2}},         {{{3, 2}, {2, 1}}, {false, 1, 3}},        {{{5, 1}, {1, 3}}, {true, 1, 5}},
    };
    for (const auto& c : cases) {
        const Spectrum spectrum = makeSpectrum(c.pairs);
        const quint64 tokens = spectrum.N;
        std::vector<quint32> order;
        for (const auto& [frequency, types] : c.pairs) {
            for (quint32 t = 0; t < types; ++t) {
                const quint32 type = quint32(order.empty() ? 0 : order.back() + 1);
                order.insert(order.end(), frequency, type);
            }
        }
        std::sort(order.begin(), order.end());
        const size_t types = order.back() + 1;
        // Every distinct order of the types is equally likely.
        const size_t width = columnCount(c.columns);
        std::vector<std::vector<long double>> sums(tokens, std::vector<long double>(width, 0));
        std::vector<std::vector<long double>> squares = sums;
        long double orders = 0;
        do {
            Counting counting(types, c.columns);
            for (quint64 l = 0; l < tokens; ++l) {
                counting.add(order[l]);
                for (size_t column = 0; column < width; ++column) {
                    sums[l][column] += counting.values()[column];
                    squares[l][column] += counting.values()[column] * counting.values()[column];
                }
            }
            ++orders;
        } while (std::next_permutation(order.begin(), order.end()));

        RowCollector means(c.columns);
        computeModelRows(spectrum, c.columns, 1, means, 1);
        const auto deviations = deviationRows(spectrum, c.columns, 1, 2);
        ASSERT_EQ(deviations.size(), tokens);
        for (quint64 l = 0; l < tokens; ++l) {
            for (size_t column = 0; column < width; ++column) {
                const long double mean = sums[l][column] / orders;
                const long double variance =
                    (squares[l][column] * orders - sums[l][column] * sums[l][column]) / (orders * orders);
                const double deviation = deviations[l][column];
                EXPECT_NEAR(means.rows[l][column], static_cast<double>(mean), 1e-12)
                    << "N " << tokens << " l " << l + 1 << " column " << column;
                EXPECT_NEAR(deviation * deviation, static_cast<double>(variance), 1e-12)
                    << "N " << tokens << " l " << l + 1 << " column " << column;
                EXPECT_TRUE(printsAsExact(deviation, sqrtq(variance)))
                    << "N " << tokens << " l " << l + 1 << " column " << column;
            }
        }
    }
}

TEST(ModelDeviations, RowsPrintTheExactDeviationOnAnyNumberOfThreads)
{
    std::vector<std::pair<quint32, quint32>> high{{1, 4000}, {2, 900}, {5, 300}};
    for (quint32 f = 60; f <= 3000; f = f * 5 / 4)
        high.emplace_back(f, 1 + 600 / f);
    const struct
    {
        const char* name;
        Spectrum spectrum;
        measure::CurveColumns columns;
        quint64 density;
        quint64 rowStride;
    } cases[] = {
        {"novel", corpusSpectrum(QStringLiteral("en-austen-northanger-abbey.ascii.txt")), {true, 1, 4}, 97, 7},
        // Every row, so the last ones, whose steps are large, too.
        {"every token", makeSpectrum({{1, 300}, {2, 60}, {3, 30}, {7, 10}, {40, 3}, {200, 1}}), {true, 1, 4}, 1, 1},
        // High classes: pair weights in extended precision, chains that start at their window.
        {"high classes", makeSpectrum(high), {false, 60, 66}, 1013, 1},
        // Ten million tokens: the parts the deviations come from are some 10^12 times the variances.
        {"corpus", zipfLawSpectrum(1e7, 1000000), {true, 1, 4}, 10007, 333},
    };
    for (const auto& c : cases) {
        const auto rows = deviationRows(c.spectrum, c.columns, c.density, 1);
        ASSERT_EQ(rows.size(), c.spectrum.N / c.density) << c.name;
        for (const unsigned threads : {2u, 3u}) {
            const auto again = deviationRows(c.spectrum, c.columns, c.density, threads);
            for (size_t r = 0; r < rows.size(); ++r) {
                for (size_t column = 0; column < rows[r].size(); ++column)
                    ASSERT_EQ(std::bit_cast<quint64>(again[r][column]), std::bit_cast<quint64>(rows[r][column]))
                        << c.name << " row " << r << " column " << column;
            }
        }
        const ExactDeviations exact(c.spectrum, c.columns);
        double largest = 0;
        for (size_t r = 0; r < rows.size(); r += c.rowStride) {
            const auto variances = exact.variances((r + 1) * c.density);
            for (size_t column = 0; column < variances.size(); ++column) {
                const __float128 deviation = variances[column] > 0 ? sqrtq(variances[column]) : 0;
                largest = std::max(largest, rows[r][column]);
                ASSERT_TRUE(printsAsExact(rows[r][column], deviation))
                    << c.name << " row " << r << " column " << column;
            }
        }
        EXPECT_GT(largest, 1.0) << c.name;
    }
}

// A stop is heard long before the first batch of a novel at every token is done, and on more threads than one it
// ends the others' work instead of the program.
TEST(ModelDeviations, StopIsHeardWithinTheFirstBatch)
{
    struct Stop
    {
    };
    class Stopping final : public RowSink
    {
    public:
        void addRow(std::span<const double>) override { ++rows; }
        void rowsComputed(quint64) override { throw Stop{}; }
        quint64 rows = 0;
    };
    const Spectrum spectrum = corpusSpectrum(QStringLiteral("en-austen-northanger-abbey.ascii.txt"));
    for (const unsigned threads : {1u, 2u}) {
        Stopping sink;
        EXPECT_THROW(computeDeviationRows(spectrum, {true, 1, 4}, 1, sink, threads), Stop);
        EXPECT_EQ(sink.rows, 0u) << threads;
    }
}

// Over 2000 random orders of a novel the sample variance of each column at 20 rows, from 16 tokens to the whole
// text, lies within 4 standard errors of the computed variance, (m4 − s^4) / n estimating the squared error of
// s^2; variances that leave out the covariances of the types do not.
TEST(ModelDeviations, ShufflesOfANovelVaryAsComputed)
{
    std::vector<quint32> tokens = corpusTokens(QStringLiteral("en-austen-northanger-abbey.ascii.txt"));
    ASSERT_GT(tokens.size(), 70000u);
    const Spectrum spectrum = corpusSpectrum(QStringLiteral("en-austen-northanger-abbey.ascii.txt"));
    const measure::CurveColumns columns{true, 1, 4};
    constexpr size_t rows = 20;
    std::vector<quint64> drawn;
    for (size_t r = 0; r < rows; ++r)
        drawn.push_back(std::llround(16 * std::pow(tokens.size() / 16.0, r / (rows - 1.0))));
    const size_t width = columnCount(columns);
#ifdef NDEBUG
    constexpr int shuffles = 2000;
#else
    // Unoptimised and instrumented, the shuffles would take minutes.
    constexpr int shuffles = 300;
#endif

    std::vector<std::vector<std::vector<long double>>> values(rows, std::vector<std::vector<long double>>(width));
    std::mt19937_64 random(20240611);
    const quint32 types = *std::max_element(tokens.begin(), tokens.end()) + 1;
    for (int s = 0; s < shuffles; ++s) {
        std::shuffle(tokens.begin(), tokens.end(), random);
        Counting counting(types, columns);
        size_t r = 0;
        for (size_t l = 0; l < tokens.size(); ++l) {
            counting.add(tokens[l]);
            for (; r < rows && drawn[r] == l + 1; ++r) {
                for (size_t column = 0; column < width; ++column)
                    values[r][column].push_back(counting.values()[column]);
            }
        }
    }

    const auto deviations = deviationRows(spectrum, columns, 1, 2);
    int wrongRejected = 0;
    for (size_t r = 0; r < rows; ++r) {
        for (size_t column = 0; column < width; ++column) {
            const std::vector<long double>& sample = values[r][column];
            long double mean = 0;
            for (const long double x : sample)
                mean += x;
            mean /= sample.size();
            long double second = 0;
            long double fourth = 0;
            for (const long double x : sample) {
                second += (x - mean) * (x - mean);
                fourth += std::pow(x - mean, 4);
            }
            const long double n = sample.size();
            const long double variance = second / (n - 1);
            const long double tolerance = 4 * std::sqrt(std::max(fourth / n - variance * variance, 0.0L) / n);
            const double deviation = deviations[drawn[r] - 1][column];
            const long double computed = static_cast<long double>(deviation) * deviation;
            EXPECT_LE(std::fabs(variance - computed), tolerance) << "l " << drawn[r] << " column " << column;

            // Σ_t P_t (1 − P_t): each type on its own.
            const quint64 cls = column == 0 ? 0 : columns.from + column - 1;
            long double independent = 0;
            for (const TInData& record : spectrum.records) {
                const long double p = classProbability(spectrum.N, record.Freq, drawn[r], cls);
                independent += record.Poc * p * (1 - p);
            }
            if (std::fabs(variance - independent) > tolerance)
                ++wrongRejected;
        }
    }
    // The same check would have failed many times.
    EXPECT_GE(wrongRejected, 10);
}

TEST(ModelDeviationFile, NameHasSdBeforeTheExtension)
{
    const struct
    {
        const char* model;
        const char* deviations;
    } cases[] = {
        {"C.txt", "C.sd.txt"},       {"C", "C.sd"},           {"run.2.txt", "run.2.sd.txt"},
        {"out.v2/C", "out.v2/C.sd"}, {"out/.C", "out/.C.sd"}, {"/data/C.", "/data/C.sd."},
    };
    for (const auto& c : cases)
        EXPECT_EQ(deviationFilePath(QString::fromUtf8(c.model)), QString::fromUtf8(c.deviations)) << c.model;
}

TEST(ModelDeviationFile, HoldsTheModelFileHeaderAndOneRowPerBlock)
{
    const ScopedTemporaryWorkingDirectory directory;
    const measure::CurveSettings settings{
        .columns = {.ttr = true, .from = 1, .to = 2}, .density = 1, .densityText = QStringLiteral("1")};
    ModelFiles files = ComputeModelWithDeviations(makeSpectrum({{2, 1}, {1, 1}}), settings, QStringLiteral("C.txt"),
                                                  QStringLiteral("C.sd.txt"));
    files.model.commit();
    files.deviations.commit();
    EXPECT_EQ(readBytes(QStringLiteral("C.sd.txt")), "1\r\nTTR\tT1TR\tT2TR\t\r\n0.000\t0.000\t0.000\t\r\n"
                                                     "0.471\t0.943\t0.471\t\r\n0.000\t0.000\t0.000\t\r\n");

    // The deviations are computed on a thread of their own: what fails there reaches the caller.
    EXPECT_THROW((void)ComputeModelWithDeviations(makeSpectrum({{2, 1}, {1, 1}}), settings, QStringLiteral("D.txt"),
                                                  QStringLiteral("missing/D.sd.txt")),
                 textio::ErrorMessage);
}

} // namespace
} // namespace model::test
