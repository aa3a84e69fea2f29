#pragma once

#include "model/Model.h"

#include "measure/CurveFileHeader.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace model::test {

// C(f, i) C(N − f, l − i) / C(N, l) in 113-bit arithmetic from log-gamma values, which lose at most 12 of its 34
// digits for N below 10^12.
__float128 exactClassProbability(quint64 tokens, quint64 frequency, quint64 drawn, quint64 count);

// The model in 113-bit arithmetic, independent of the library's methods: for each frequency, the probability of
// its fewest possible occurrences from log-gamma values, the further counts by the exact ratios of neighbours.
class ExactModel
{
public:
    ExactModel(const Spectrum& spectrum, const measure::CurveColumns& columns);
    // All columns of the range after `drawn` tokens.
    std::vector<__float128> row(quint64 drawn) const;

private:
    struct Record
    {
        quint64 frequency;
        quint64 types;
        __float128 logFactorial;      // of f
        __float128 logFactorialOther; // of N − f
    };
    std::vector<Record> m_records;
    quint64 m_tokens = 0;
    quint64 m_types = 0;
    measure::CurveColumns m_columns;
};

// The variances of the model's columns in 113-bit arithmetic, independent of the library's method: with K_k(g) =
// C(N − g, l − k) / C(N, l) carried over g = 0, 1, ... by exact factors, E = Σ_f n C(f, i) K_i(f), the pairs of
// different types S = Σ_{s≠t} C(f_s, i) C(f_t, i) K_2i(f_s + f_t), and Var = E + S − E².
class ExactDeviations
{
public:
    ExactDeviations(const Spectrum& spectrum, const measure::CurveColumns& columns);
    // All columns of the range after `drawn` tokens.
    std::vector<__float128> variances(quint64 drawn) const;

private:
    std::vector<std::pair<quint64, quint64>> m_records; // frequency, types
    quint64 m_tokens = 0;
    measure::CurveColumns m_columns;
    std::vector<std::vector<__float128>> m_pairSums; // per column, over g
};

// Whether `value` prints as the exact expectation does; near a rounding boundary (within 10^-9) either way is right.
testing::AssertionResult printsAsExact(double value, __float128 exact);

} // namespace model::test
