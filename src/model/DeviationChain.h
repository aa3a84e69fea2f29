#pragma once

#include "DeviationTables.h"

#include <array>

namespace model {

// Eight rows evaluated side by side; GCC lowers the vector to what the processor has.
typedef double DeviationLanes __attribute__((vector_size(64)));
// The type itself is aligned as the baseline processor aligns it, which the widest clone's aligned loads do not
// accept, so what holds such vectors in memory is aligned for them.
inline constexpr size_t laneAlignment = 64;

template <typename Number>
inline constexpr int laneCount = 1;
template <>
inline constexpr int laneCount<DeviationLanes> = sizeof(DeviationLanes) / sizeof(double);

// A chain follows, for g = first..last, the probability P that a type of g tokens occurs exactly k times among
// the l drawn through the binomial probability π = C(g, k) p^k q^(g − k) of drawing with replacement (p = l / N,
// q = 1 − p) and the ratio ψ = P / π − 1, which is small where the terms are large: the deviations are sums of
// the differences Δ = P − π = π ψ, and the ratio moves from g to g + 1 by exactly ψ += ε (1 + ψ) with
// ε = (k N − l g) / ((N − g)(N − l)), a step that loses nothing to cancellation.
template <typename Number>
struct alignas(laneAlignment) ChainStart
{
    quint64 first = 0;
    quint64 last = 0; // first > last: an empty chain
    Number drawn{};
    Number share{};
    Number rest{};
    Number otherInverse{}; // 1 / (N − l)
    Number numerator{};    // k N − l g at g = first, exact
    Number ratio{};        // ψ at first
    Number reference{};    // π at first
    Number complement{};   // 1 − π at first
    // A bound on the error of ψ at first: relative to 1 + ψ where rows side by side bound it by blocks, absolute
    // where it is tracked step by step.
    Number error{};
    // For evaluating π afresh, each row's p^k, q^k, q^referenceInterval, 1 − q^referenceInterval and ln q.
    std::array<long double, laneCount<Number>> sharePower{};
    std::array<long double, laneCount<Number>> restPower{};
    std::array<long double, laneCount<Number>> restStride{};
    std::array<long double, laneCount<Number>> strideComplement{};
    std::array<long double, laneCount<Number>> logRest{};
};

// What a chain adds up; sums over g for its pair column, over the frequencies of the spectrum for its single
// column. The drifts weight the bound on the error of ψ like the terms (DeviationRows.cpp uses them).
template <typename Number>
struct alignas(laneAlignment) ChainSums
{
    Number pairs{};         // Σ Ŵ Δ
    Number pairMagnitude{}; // Σ |Ŵ Δ|
    Number pairDrift{};
    Number total{};    // Σ n π
    Number spread{};   // Σ n π (1 − π)
    Number residual{}; // Σ n Δ
    Number residualMagnitude{};
    Number residualDrift{};
};

// Rows side by side bound the error of ψ by blocks of steps where every |ε| is at most this, step by step
// elsewhere (`tracked`), as one row always does.
inline constexpr double largestBoundedStep = 1.0 / 64;
// How often π is evaluated afresh: between two evaluations it gathers at most 5 roundings a step.
inline constexpr quint64 referenceInterval = 256;

// The sums of a chain; a chain of a stopped run ends early, its sums of no use.
ChainSums<DeviationLanes> runDeviationChain(const DeviationTables& tables, const DeviationChain& chain,
                                            const ChainStart<DeviationLanes>& start, bool tracked,
                                            DeviationCheckpoints& checkpoints);
ChainSums<long double> runDeviationChain(const DeviationTables& tables, const DeviationChain& chain,
                                         const ChainStart<long double>& start, DeviationCheckpoints& checkpoints);

// C(g, k) p^k q^(g − k) from ln C(g, k), k ln p and (g − k) ln q; relatively within 2^-63 times 8 plus twice
// the sum of the sizes of those three parts (DeviationRows bounds them).
long double binomialProbability(long double logCoefficient, quint64 trials, quint64 count, long double logShare,
                                long double logRest);

} // namespace model
