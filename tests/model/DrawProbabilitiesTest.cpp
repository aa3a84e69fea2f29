#include "ExactModel.h"

#include "model/DrawProbabilities.h"

#include <quadmath.h>

#include <gtest/gtest.h>

#include <random>

namespace model::test {
namespace {

struct Draw
{
    quint64 tokens;
    quint64 frequency;
    quint64 drawn;
    quint64 count;
};

// The relative errors the header promises: 2^-50 above e^-50, 10^-12 above 10^-4000; below, anything that small.
void expectWithinBound(long double computed, const Draw& d)
{
    const __float128 exact = exactClassProbability(d.tokens, d.frequency, d.drawn, d.count);
    const auto message = [&] {
        return testing::Message() << "N " << d.tokens << " f " << d.frequency << " l " << d.drawn << " i " << d.count
                                  << ": " << static_cast<double>(computed) << " vs " << static_cast<double>(exact);
    };
    if (exact == 0) {
        EXPECT_EQ(computed, 0.0L) << message();
        return;
    }
    const __float128 logExact = logq(exact);
    const __float128 relative = logExact > -50 ? ldexpq(1, -50) : logExact > -4000 * logq(10) ? 1e-12 : 1;
    EXPECT_LE(fabsq(static_cast<__float128>(computed) - exact), relative * exact) << message();
}

void expectBoth(const Draw& d)
{
    expectWithinBound(classProbability(d.tokens, d.frequency, d.drawn, d.count), d);
    if (d.count == 0)
        expectWithinBound(absenceProbability(d.tokens, d.frequency, d.drawn), d);
}

TEST(DrawProbabilities, AgreeWithHighPrecisionWithinTheirBound)
{
    const Draw cases[] = {
        {10, 0, 5, 0},                                                // a type that never occurs
        {10, 10, 1, 0},                                               // the only type is never absent
        {10, 3, 10, 3},                                               // the whole text
        {1000, 500, 600, 0},                                          // too few other tokens: certainly present
        {1000, 5, 20, 6},                                             // more occurrences than the type has
        {200, 100, 100, 0},                                           // every other token drawn, both counts large
        {10000000, 5000, 4000, 0},                                    // absence from Stirling's formula
        {10000000, 5000, 4000, 2},                                    // a few factors times that
        {1000000, 400000, 300000, 120000},                            // every cell of the table large
        {1000000, 999900, 500000, 499960},                            // the fewest are the type's tokens not drawn
        {1000000, 500000, 999900, 499960},                            // ... the other tokens drawn
        {1000000, 500000, 500050, 50},                                // ... the other tokens not drawn
        {quint64(1) << 40, quint64(1) << 30, quint64(1) << 20, 1024}, // products beyond 64 bits
        {quint64(1) << 40, 3, quint64(1) << 39, 1},
    };
    for (const Draw& d : cases)
        expectBoth(d);

    // Counts about the expected one, where the probabilities are not negligible, and anywhere.
    std::mt19937_64 random(3);
    for (int n = 0; n < 3000; ++n) {
        const quint64 tokens = 1 + random() % (quint64(1) << (1 + random() % 36));
        const auto below = [&](quint64 limit) {
            return random() % 3 == 0 ? random() % 100 % (limit + 1) : random() % (limit + 1);
        };
        const quint64 frequency = below(tokens);
        const quint64 drawn = below(tokens);
        const quint64 mean = static_cast<quint64>(static_cast<long double>(frequency) * drawn / tokens);
        const quint64 count = random() % 2 ? std::min(below(frequency), drawn) : mean + random() % 7;
        expectBoth({tokens, frequency, drawn, std::min({count, frequency, drawn})});
    }
}

TEST(DrawProbabilities, LogBinomialCoefficientsWithinTheirBound)
{
    const struct
    {
        quint64 n;
        quint64 k;
    } cases[] = {
        {10, 0},           {10, 10}, {80, 40}, {81, 41}, {1000, 500}, {quint64(1) << 33, 3}, {quint64(1) << 33, 220},
        {1000000, 999990},
    };
    for (const auto& c : cases) {
        const __float128 one = 1;
        const __float128 exact = lgammaq(c.n + one) - lgammaq(c.k + one) - lgammaq(c.n - c.k + one);
        const long double computed = logBinomialCoefficient(c.n, c.k);
        EXPECT_LE(fabsq(computed - exact), (6 * fabsq(exact) + 90) * ldexpq(1, -64)) << c.n << " " << c.k;
    }
}

} // namespace
} // namespace model::test
