#include "DeviationChain.h"

#include "DrawProbabilities.h"

#include <algorithm>
#include <cmath>
#include <type_traits>

// Error bounds count roundings of u (2^-53 for side-by-side rows, 2^-64 for one row in extended precision).
//
// The ratio ψ is kept as hi + mid + lo: a step adds ε ρ to lo (ρ = 1 + ψ), which every 32 steps (a block) goes
// into mid, which every 1024 steps (a section) goes into hi. A step computes lo (1 + ε) + ε (1 + hi + mid):
// ε is within 4 u, 1 + hi + mid within u, and the two products and the sum add a rounding each, so the new error
// is below u (6 |ε| (|lo| + |1 + hi + mid|) + 3 |lo| + |lo'|); an error already in ψ moves on multiplied by
// 1 + ε, as ρ does. For one row the kernel carries the bound e itself that way, adding u (|mid| + |hi| + |hi + mid|)
// where the parts move, and so do rows side by side where some |ε| > 1/64. Elsewhere they carry the bound relative to
// ρ, E = e / ρ, which grows only by the new errors divided by ρ: within a block of steps ε_j with S = Σ |ε_j| <= 1/2
// (every |ε| <= 1/64) each |lo| is below Σ |ε_j| ρ_j and ρ_j <= ρ / (1 − S), so the block adds at most 280 S, and the
// moves add u (|mid| + |hi| + |hi + mid|) / ρ. E never falls, so the block's closing E bounds the error at each of its
// steps, and the drifts sum Ŵ π ρ E (or n π ρ E) by blocks. Where some |ε| is larger, rows side by side carry e
// step by step as one row does.
//
// π moves on by γ q with γ = (g + 1) / (g + 1 − k): five roundings a step, and it is evaluated afresh every
// referenceInterval steps. The sums go through the same three levels (32, 1024, the rest), so each adds at most
// (62 + sections) roundings of the sum of its terms' sizes.

namespace model {
namespace {

typedef unsigned long long LaneBits __attribute__((vector_size(sizeof(DeviationLanes))));
constexpr unsigned long long signBit = 1ULL << 63;

// Bit operations rather than comparisons: GCC turns a comparison of vectors wider than the processor's registers
// into one per element. Everything is inlined, so no vector is ever passed between functions compiled for
// different processors, which is what GCC's note on the changed passing of wide vectors is about.
#pragma GCC diagnostic ignored "-Wpsabi"
[[gnu::always_inline]] inline DeviationLanes magnitude(DeviationLanes x)
{
    return (DeviationLanes)((LaneBits)x & ~signBit);
}
[[gnu::always_inline]] inline long double magnitude(long double x)
{
    return std::fabs(x);
}

// `a` where the mask is set, `b` elsewhere.
[[gnu::always_inline]] inline DeviationLanes choose(LaneBits mask, DeviationLanes a, DeviationLanes b)
{
    return (DeviationLanes)(((LaneBits)a & mask) | ((LaneBits)b & ~mask));
}

// The larger of two numbers, as long as their difference is no NaN.
[[gnu::always_inline]] inline DeviationLanes larger(DeviationLanes a, DeviationLanes b)
{
    const LaneBits below = -((LaneBits)(a - b) >> 63);
    return choose(below, b, a);
}
[[gnu::always_inline]] inline long double larger(long double a, long double b)
{
    return std::max(a, b);
}

// x / y, or 0 where y is zero.
[[gnu::always_inline]] inline DeviationLanes ratioOrZero(DeviationLanes x, DeviationLanes y)
{
    const LaneBits zero = -((((LaneBits)y & ~signBit) - 1) >> 63);
    return choose(zero, DeviationLanes{}, x / y);
}
[[gnu::always_inline]] inline long double ratioOrZero(long double x, long double y)
{
    return y == 0 ? 0 : x / y;
}

// C(g, k), as a product where k is small.
long double binomialCoefficient(quint64 g, quint64 k)
{
    if (k > 40)
        return std::exp(logBinomialCoefficient(g, k));
    long double product = 1;
    for (quint64 j = 0; j < k; ++j)
        product *= static_cast<long double>(g - j) / static_cast<long double>(j + 1);
    return product;
}

// x^m by squaring: within 2 log2(m) + 2 roundings of x^m.
long double power(long double x, quint64 m)
{
    long double result = 1;
    for (; m > 0; m /= 2, x *= x) {
        if (m % 2 != 0)
            result *= x;
    }
    return result;
}

// A sum whose terms arrive by blocks: each block's sum is added to those of its section, each section's to the
// total.
template <typename Number>
struct SectionedSum
{
    Number section{};
    Number total{};

    [[gnu::always_inline]] void add(Number block) { section += block; }
    [[gnu::always_inline]] void closeSection()
    {
        total += section;
        section = Number{};
    }
    [[gnu::always_inline]] Number value() const { return total + section; }
};

// The sums of one block of steps.
template <typename Number>
struct BlockSums
{
    Number pairs{};
    Number pairMagnitude{};
    Number pairDrift{};
    Number pairWeights{}; // Σ Ŵ π
    Number total{};
    Number spread{};
    Number residual{};
    Number residualMagnitude{};
    Number residualDrift{};
};

template <typename Number, bool tracked>
[[gnu::always_inline]] inline ChainSums<Number> runChain(const DeviationTables& tables, const DeviationChain& chain,
                                                         const ChainStart<Number>& start,
                                                         DeviationCheckpoints& checkpoints)
{
    constexpr bool oneRow = std::is_same_v<Number, long double>;
    using Scalar = std::conditional_t<oneRow, long double, double>;
    constexpr Scalar unit = oneRow ? Scalar(0x1p-64L) : Scalar(0x1p-53);
    constexpr int lanes = laneCount<Number>;
    const quint64 k = chain.count;
    const quint64 tokens = tables.tokens();
    const double* weights = chain.pairColumn >= 0 ? tables.pairWeights(size_t(chain.pairColumn)) : nullptr;
    const bool singles = chain.singleColumn >= 0;
    // Extended precision reads no rounded table.
    const auto inverse = [&](quint64 g) -> Scalar {
        if constexpr (oneRow)
            return 1.0L / static_cast<long double>(tokens - g);
        else
            return tables.inverse(g);
    };
    const auto reciprocal = [&](quint64 m) -> Scalar {
        if constexpr (oneRow)
            return 1.0L / static_cast<long double>(m);
        else
            return tables.reciprocal(m);
    };

    SectionedSum<Number> pairs, pairMagnitude, pairDrift, total, spread, residual, residualMagnitude, residualDrift;
    Number hi = start.ratio;
    Number mid{};
    Number lo{};
    Number base = hi;
    Number base1 = 1 + base;
    Number reference = start.reference;
    Number complement = start.complement;
    Number numerator = start.numerator;
    Number error = start.error;
    // π afresh: C(g, k) p^k q^(g − k), with q^(g − k) (and for k = 0 also 1 − q^g) carried in extended precision
    // from one evaluation to the next.
    std::array<long double, lanes> restPower{};
    std::array<long double, lanes> restComplement{};
    bool carried = false;

    // The steps g..last of a block, the last one not taken when it is the chain's last g. Compiled for each
    // combination of sums, so that the loop holds no test of them.
    const auto runBlock = [&]<bool withPairs, bool withTypes, bool absence>(quint64 g, quint64 last, bool closing) {
        BlockSums<Number> block;
        Scalar next = static_cast<Scalar>(g);
        for (;; ++g) {
            const Number ratio = base + lo;
            if constexpr (withPairs) {
                const Number weighted = weights[g] * reference;
                const Number term = weighted * ratio;
                block.pairs += term;
                // For k = 0 every ψ <= 0: its sums are their own size. Blocks bound them by the block's ψ.
                if constexpr (!absence && tracked)
                    block.pairMagnitude += magnitude(term);
                if constexpr (tracked)
                    block.pairDrift += weighted * error;
                else
                    block.pairWeights += weighted;
            }
            if constexpr (withTypes) {
                if (tables.types(g) != 0) {
                    const Number weighted = Scalar(tables.types(g)) * reference;
                    // π <= 1/2 beyond its start unless k = 0, so 1 − π loses nothing there.
                    const Number away = absence || g == start.first ? complement : 1 - reference;
                    const Number term = weighted * ratio;
                    block.total += weighted;
                    block.spread += weighted * away;
                    block.residual += term;
                    if constexpr (!absence && tracked)
                        block.residualMagnitude += magnitude(term);
                    if constexpr (tracked)
                        block.residualDrift += weighted * error;
                }
            }
            if (g == last && closing)
                break;
            // Beyond g = N − l + k the type cannot occur only k times (P = 0), where ε would pass −1; steps that
            // large are tracked.
            Number step = numerator * (inverse(g) * start.otherInverse);
            if constexpr (tracked)
                step = larger(step, Number{} - 1);
            numerator -= start.drawn;
            // lo + ε (1 + hi + mid + lo), with the dependence on lo through one product and one sum.
            const Number previous = lo;
            lo = lo * (1 + step) + step * base1;
            if constexpr (tracked) {
                error = error * magnitude(1 + step) * (1 + 8 * unit) +
                        unit * (6 * magnitude(step) * (magnitude(previous) + magnitude(base1)) +
                                3 * magnitude(previous) + magnitude(lo));
            }
            if constexpr (absence) {
                complement += start.share * reference;
                reference *= start.rest;
            } else {
                // g + 1 as a double counted along, not converted from an unsigned integer each step.
                next += 1;
                reference *= next * reciprocal(g + 1 - k) * start.rest;
            }
            if (g == last)
                break;
        }
        return block;
    };

    for (quint64 g = start.first; g <= start.last;) {
        if (g != start.first && g % referenceInterval == 0) {
            const long double coefficient = binomialCoefficient(g, k);
            // Past its first g only the absence chain reads 1 − π.
            const bool readsComplement = k == 0;
            for (int lane = 0; lane < lanes; ++lane) {
                if (!carried) {
                    restPower[lane] = power(start.restStride[lane], g / referenceInterval) / start.restPower[lane];
                    if (readsComplement)
                        restComplement[lane] = -std::expm1(g * start.logRest[lane]);
                } else {
                    if (readsComplement)
                        restComplement[lane] += restPower[lane] * start.strideComplement[lane];
                    restPower[lane] *= start.restStride[lane];
                }
                const long double fresh = coefficient * start.sharePower[lane] * restPower[lane];
                if constexpr (oneRow) {
                    reference = fresh;
                    if (readsComplement)
                        complement = restComplement[lane];
                } else {
                    reference[lane] = static_cast<double>(fresh);
                    if (readsComplement)
                        complement[lane] = static_cast<double>(restComplement[lane]);
                }
            }
            carried = true;
        }
        const quint64 blockLast = std::min(start.last, g | 31);
        const bool closing = blockLast == start.last;
        const bool withTypes = singles && tables.typesInBlock(g / 32);
        // ε is monotonic in g: the block's extremes are its first and last step (none when it holds only the
        // chain's last g).
        const quint64 lastStepAt = closing ? blockLast - (blockLast > g ? 1 : 0) : blockLast;
        const bool stepping = !closing || blockLast > g;
        const Number firstStep = stepping ? numerator * (inverse(g) * start.otherInverse) : Number{};
        const Number lastStep =
            stepping ? (numerator - Scalar(lastStepAt - g) * start.drawn) * (inverse(lastStepAt) * start.otherInverse)
                     : Number{};
        BlockSums<Number> block;
        if (k == 0)
            block = weights == nullptr ? withTypes
                                             ? runBlock.template operator()<false, true, true>(g, blockLast, closing)
                                             : runBlock.template operator()<false, false, true>(g, blockLast, closing)
                    : withTypes ? runBlock.template operator()<true, true, true>(g, blockLast, closing)
                                       : runBlock.template operator()<true, false, true>(g, blockLast, closing);
        else
            block = weights == nullptr ? withTypes
                                             ? runBlock.template operator()<false, true, false>(g, blockLast, closing)
                                             : runBlock.template operator()<false, false, false>(g, blockLast, closing)
                    : withTypes ? runBlock.template operator()<true, true, false>(g, blockLast, closing)
                                       : runBlock.template operator()<true, false, false>(g, blockLast, closing);
        g = blockLast + 1;
        if constexpr (!tracked) {
            // Within the block |ψ| <= |ψ at its start| + 2 S ρ there, with S = Σ |ε| <= 1/2 (see above).
            const Number bound =
                magnitude(base) + 2 * 32 * larger(magnitude(firstStep), magnitude(lastStep)) * magnitude(base1);
            block.pairMagnitude = block.pairWeights * bound;
            block.residualMagnitude = block.total * bound;
        }
        pairs.add(block.pairs);
        pairMagnitude.add(block.pairMagnitude);
        total.add(block.total);
        spread.add(block.spread);
        residual.add(block.residual);
        residualMagnitude.add(block.residualMagnitude);
        const bool sectionEnds = g % 1024 == 0 || g > start.last;
        mid += lo;
        lo = Number{};
        if (sectionEnds) {
            hi += mid;
            mid = Number{};
        }
        const Number moved = magnitude(mid) + magnitude(hi) + magnitude(hi + mid);
        base = hi + mid;
        base1 = 1 + base;
        if constexpr (tracked) {
            error += unit * moved * (1 + 8 * unit);
            pairDrift.add(block.pairDrift);
            residualDrift.add(block.residualDrift);
        } else {
            const Number steps = larger(magnitude(firstStep), magnitude(lastStep));
            // Where ψ = −1 exactly (ρ = 0) nothing moves and nothing errs again.
            error += unit * (280 * 32 * steps + ratioOrZero(moved, base1));
            // Σ Ŵ π ρ and Σ n π ρ of the block, as ρ = 1 + ψ.
            pairDrift.add(error * (block.pairWeights + block.pairs));
            residualDrift.add(error * (block.total + block.residual));
        }
        if (sectionEnds) {
            for (SectionedSum<Number>* sum :
                 {&pairs, &pairMagnitude, &pairDrift, &total, &spread, &residual, &residualMagnitude, &residualDrift})
                sum->closeSection();
            // The chains of the first rows of a corpus run for millions of steps; most are too short to ask.
            if (g % (16 * 1024) == 0 && checkpoints.stopping())
                break;
        }
    }
    ChainSums<Number> sums;
    sums.pairs = pairs.value();
    sums.pairMagnitude = k == 0 ? -sums.pairs : pairMagnitude.value();
    sums.pairDrift = pairDrift.value();
    sums.total = total.value();
    sums.spread = spread.value();
    sums.residual = residual.value();
    sums.residualMagnitude = k == 0 ? -sums.residual : residualMagnitude.value();
    sums.residualDrift = residualDrift.value();
    return sums;
}

} // namespace

__attribute__((target_clones("avx512f", "avx2", "default"))) ChainSums<DeviationLanes>
runDeviationChain(const DeviationTables& tables, const DeviationChain& chain, const ChainStart<DeviationLanes>& start,
                  bool tracked, DeviationCheckpoints& checkpoints)
{
    return tracked ? runChain<DeviationLanes, true>(tables, chain, start, checkpoints)
                   : runChain<DeviationLanes, false>(tables, chain, start, checkpoints);
}

ChainSums<long double> runDeviationChain(const DeviationTables& tables, const DeviationChain& chain,
                                         const ChainStart<long double>& start, DeviationCheckpoints& checkpoints)
{
    return runChain<long double, true>(tables, chain, start, checkpoints);
}

long double binomialProbability(long double logCoefficient, quint64 trials, quint64 count, long double logShare,
                                long double logRest)
{
    return std::exp(logCoefficient + count * logShare + (trials - count) * logRest);
}

} // namespace model
