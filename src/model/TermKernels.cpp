#include "TermKernels.h"

#include <xmmintrin.h>

#include <cstring>

namespace model {
namespace {

// Eight doubles as one value; lowered to whatever vector width the clone being compiled has.
typedef double Vector __attribute__((vector_size(64)));
static_assert(sizeof(Vector) / sizeof(double) == rowsPerBlock);

// Enough independent products in flight to hide the latency of the two dependent multiplications of a step.
constexpr size_t vectorsPerGroup = 4;
constexpr size_t groupSize = vectorsPerGroup * sizeof(Vector) / sizeof(double);

template <bool clamp>
[[gnu::always_inline]] inline void advanceGroup(Vector* term, const Vector* frequency,
                                                std::span<const StepFactors> factors)
{
    for (const StepFactors& step : factors) {
        for (size_t v = 0; v < vectorsPerGroup; ++v) {
            const Vector numerator = step.base - frequency[v];
            term[v] = term[v] * (clamp ? (numerator > 0.0 ? numerator : 0.0) : numerator) * step.ratio;
        }
    }
}

// rows[k] holds element c of row k; afterwards rows[c] holds element c of every row.
[[gnu::always_inline]] inline void transpose(Vector* rows)
{
    Vector pairs[8];
    for (size_t k = 0; k < 8; k += 2) {
        pairs[k] = __builtin_shufflevector(rows[k], rows[k + 1], 0, 8, 2, 10, 4, 12, 6, 14);
        pairs[k + 1] = __builtin_shufflevector(rows[k], rows[k + 1], 1, 9, 3, 11, 5, 13, 7, 15);
    }
    Vector quads[8];
    for (size_t k = 0; k < 8; k += 4) {
        for (size_t odd = 0; odd < 2; ++odd) {
            const Vector& a = pairs[k + odd];
            const Vector& b = pairs[k + 2 + odd];
            quads[k + odd] = __builtin_shufflevector(a, b, 0, 1, 8, 9, 4, 5, 12, 13);
            quads[k + 2 + odd] = __builtin_shufflevector(a, b, 2, 3, 10, 11, 6, 7, 14, 15);
        }
    }
    for (size_t c = 0; c < 4; ++c) {
        rows[c] = __builtin_shufflevector(quads[c], quads[c + 4], 0, 1, 2, 3, 8, 9, 10, 11);
        rows[c + 4] = __builtin_shufflevector(quads[c], quads[c + 4], 4, 5, 6, 7, 12, 13, 14, 15);
    }
}

} // namespace

SubnormalsFlushed::SubnormalsFlushed()
    : m_saved(_mm_getcsr())
{
    // Flush to zero (results) and denormals are zero (operands).
    _mm_setcsr(m_saved | 0x8040);
}

SubnormalsFlushed::~SubnormalsFlushed()
{
    _mm_setcsr(m_saved);
}

// Every integer here is below 2^53, so computing in doubles gives the values of the integer expressions.
__attribute__((target_clones("avx512f", "avx2", "default"))) void
stepFactors(quint64 cls, quint64 tokens, quint64 first, size_t count, StepFactors* factors)
{
    const double afterText = static_cast<double>(tokens + 1);
    const double i = static_cast<double>(cls);
    const double start = static_cast<double>(first);
    if (cls == 0) {
        for (size_t s = 0; s < count; ++s) {
            const double remaining = afterText - (start + static_cast<double>(s));
            factors[s] = {remaining, 1.0 / remaining};
        }
        return;
    }
    for (size_t s = 0; s < count; ++s) {
        const double l = start + static_cast<double>(s);
        factors[s] = {afterText + i - l, l / (l - i) / (afterText - l)};
    }
}

// A group of terms stays in registers across all the steps, instead of a load and a store per step.
__attribute__((target_clones("avx512f", "avx2", "default"))) void advanceTerms(const double* from, double* to,
                                                                               const double* frequencies, size_t count,
                                                                               std::span<const StepFactors> factors)
{
    if (factors.empty()) {
        if (from != to)
            std::memcpy(to, from, count * sizeof(double));
        return;
    }
    // The last step has the smallest numerators; the clamp is needed only once one of them reaches 0, near the
    // end of the text.
    const double lastBase = factors.back().base;
    size_t j = 0;
    for (; j + groupSize <= count; j += groupSize) {
        Vector term[vectorsPerGroup];
        Vector frequency[vectorsPerGroup];
        std::memcpy(term, from + j, sizeof term);
        std::memcpy(frequency, frequencies + j, sizeof frequency);
        Vector lowest = lastBase - frequency[0];
        for (size_t v = 1; v < vectorsPerGroup; ++v) {
            const Vector numerator = lastBase - frequency[v];
            lowest = numerator < lowest ? numerator : lowest;
        }
        bool positive = true;
        for (size_t k = 0; k < sizeof(Vector) / sizeof(double); ++k)
            positive = positive && lowest[k] > 0.0;
        if (positive)
            advanceGroup<false>(term, frequency, factors);
        else
            advanceGroup<true>(term, frequency, factors);
        std::memcpy(to + j, term, sizeof term);
    }
    // The last few terms step by step, so that they do not each wait out a chain of dependent products.
    if (from != to && j < count)
        std::memcpy(to + j, from + j, (count - j) * sizeof(double));
    for (const StepFactors& step : factors) {
        for (size_t k = j; k < count; ++k) {
            const double numerator = step.base - frequencies[k];
            to[k] = to[k] * (numerator > 0.0 ? numerator : 0.0) * step.ratio;
        }
    }
}

__attribute__((target_clones("avx512f", "avx2", "default"))) void sumRows(const double* snapshots, size_t count,
                                                                          bool subtract, double* sums)
{
    Vector sum;
    std::memcpy(&sum, sums, sizeof sum);
    // x − t and x + (−1 × t) are the same operation.
    const Vector sign = Vector{} + (subtract ? -1.0 : 1.0);
    size_t j = 0;
    for (; j + rowsPerBlock <= count; j += rowsPerBlock) {
        Vector terms[rowsPerBlock];
        for (size_t r = 0; r < rowsPerBlock; ++r)
            std::memcpy(&terms[r], snapshots + r * count + j, sizeof(Vector));
        transpose(terms);
        for (size_t k = 0; k < rowsPerBlock; ++k)
            sum += sign * terms[k];
    }
    for (; j < count; ++j) {
        Vector terms;
        for (size_t r = 0; r < rowsPerBlock; ++r)
            terms[r] = snapshots[r * count + j];
        sum += sign * terms;
    }
    std::memcpy(sums, &sum, sizeof sum);
}

} // namespace model
