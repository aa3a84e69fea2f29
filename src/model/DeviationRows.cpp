#include "DeviationRows.h"

#include "DeviationChain.h"
#include "DeviationTables.h"
#include "DirectRows.h"
#include "DrawProbabilities.h"
#include "ModelNumber.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cmath>
#include <limits>
#include <numbers>
#include <stdexcept>
#include <vector>

// With A_t the event that type t occurs exactly i times among the first l tokens (i = 0, absent, for the type
// curve), a column is Σ_t 1[A_t] and its variance E + Σ_{s≠t} P(A_s A_t) − E², E = Σ_t P(A_t). Two types together
// are one of g = f_s + f_t tokens, and P(A_s A_t) is the probability P_2i(g) that it occurs 2i times times the
// chance C(f_s, i) C(f_t, i) / C(g, 2i) that those split evenly; so the pairs sum to Σ_g Ŵ_g P_2i(g), with weights
// that depend on the spectrum alone (DeviationTables). That sum and E² are both about E², far larger than the
// variance, so they are not subtracted as they stand. Each probability is written as π + Δ instead, π the
// binomial probability of drawing with replacement, whose pair terms are exact products,
// Σ_g Ŵ_g π_2i(g) = (Σ_t π_t)² − Σ_t π_t², which leaves
//     Var = Σ n π (1 − π) + δ (1 − 2 T) − δ² + Σ_g Ŵ_g Δ_2i(g),   T = Σ n π,  δ = Σ n Δ
// (sums over the spectrum, n types of each frequency), parts of about the size of the variance, and each
// Δ = π ψ comes from the ratio ψ without cancellation (DeviationChain.h).

namespace model {
namespace {

constexpr int groupRows = laneCount<DeviationLanes>;
constexpr long double doubleUnit = 0x1p-53L;
constexpr long double extendedUnit = 0x1p-64L;

// A variance and a bound on its error.
struct Estimate
{
    long double variance = 0;
    long double error = 0;
};

// Upper bounds on ln C(g, k) and on |ln(l / N)| without a logarithm, for the bounds on errors: C(g, k) is below
// g^min(k, g − k), and a number below 2^b has a logarithm below b ln 2.
long double logCoefficientBound(quint64 g, quint64 k)
{
    return static_cast<long double>(std::min(k, g - k) * std::bit_width(g)) * std::numbers::ln2_v<long double>;
}
long double logShareBound(quint64 drawn, quint64 tokens)
{
    return static_cast<long double>(std::bit_width(tokens) - std::bit_width(drawn) + 1) *
           std::numbers::ln2_v<long double>;
}

// The deviations that are exactly known: one token, the whole text, and classes above the tokens drawn.
bool certainlyZero(quint64 drawn, quint64 tokens, quint64 cls)
{
    return drawn <= 1 || drawn >= tokens || drawn < cls;
}

template <typename Number>
void setLane(Number& value, int lane, long double x)
{
    if constexpr (std::is_same_v<Number, long double>)
        value = x;
    else
        value[lane] = static_cast<double>(x);
}

template <typename Number>
long double laneOf(const Number& value, int lane)
{
    if constexpr (std::is_same_v<Number, long double>)
        return value;
    else
        return value[lane];
}

// Rows evaluated together (8 side by side, or one in extended precision), again and again for other rows.
template <typename Number>
class RowEvaluation
{
public:
    static constexpr int lanes = laneCount<Number>;
    static constexpr long double unit = std::is_same_v<Number, long double> ? extendedUnit : doubleUnit;
    using Real = std::conditional_t<lanes == 1, long double, double>;
    using Drawn = std::array<quint64, lanes>;
    using Estimates = std::vector<std::array<Estimate, lanes>>;

    RowEvaluation(const DeviationTables& tables, DeviationCheckpoints& checkpoints)
        : m_tables(tables),
          m_checkpoints(checkpoints),
          m_starts(tables.chains().size()),
          m_sums(tables.chains().size()),
          m_referenceErrors(tables.chains().size()),
          m_windowHints(tables.chains().size()),
          m_estimates(tables.width()),
          m_logTokens(std::log(static_cast<long double>(tables.tokens())))
    {
        const std::vector<DeviationChain>& chains = tables.chains();
        for (const DeviationChain& chain : chains)
            m_smallCounts = std::max<quint64>(m_smallCounts, std::min<quint64>(chain.count, 40) + 1);
        for (std::vector<Power>& powers : m_powers)
            powers.resize(m_smallCounts);
        if constexpr (lanes > 1)
            m_countStarts.resize(m_smallCounts);
        for (size_t column = 0; column < tables.width(); ++column) {
            for (size_t c = 0; c < chains.size(); ++c) {
                if (chains[c].pairColumn == int(column))
                    m_pairChains.push_back(c);
            }
            for (size_t c = 0; c < chains.size(); ++c) {
                if (chains[c].singleColumn == int(column))
                    m_singleChains.push_back(c);
            }
        }
    }

    // The variances of the columns wanted, each lane's, after `drawn` tokens (each below N).
    const Estimates& run(const Drawn& drawn, const std::vector<bool>& wanted)
    {
        m_drawn = drawn;
        m_strided = false;
        m_sharesLogged = false;
        m_restsLogged = false;
        m_powersReady = false;
        m_countStartsReady = 0;
        const long double n = static_cast<long double>(m_tables.tokens());
        for (int lane = 0; lane < lanes; ++lane) {
            const long double l = static_cast<long double>(drawn[lane]);
            m_lengths[lane] = l;
            m_shares[lane] = l / n;
            m_rests[lane] = (n - l) / n;
            m_otherInverses[lane] = 1 / (n - l);
            m_shareBounds[lane] = logShareBound(drawn[lane], m_tables.tokens());
            // |ln q| = −ln(1 − p) <= p / (1 − p), with room for the roundings.
            m_restBounds[lane] = static_cast<Real>(l * m_otherInverses[lane] * (1 + 0x1p-50L));
            // What every chain's steps take from the row.
            setLane(m_row.drawn, lane, l);
            setLane(m_row.share, lane, m_shares[lane]);
            setLane(m_row.rest, lane, m_rests[lane]);
            setLane(m_row.otherInverse, lane, m_otherInverses[lane]);
        }
        const std::vector<DeviationChain>& chains = m_tables.chains();
        for (size_t c = 0; c < chains.size(); ++c) {
            const DeviationChain& chain = chains[c];
            m_sums[c] = {};
            const bool needed = (chain.pairColumn >= 0 && wanted[size_t(chain.pairColumn)]) ||
                                (chain.singleColumn >= 0 && wanted[size_t(chain.singleColumn)]);
            if (!needed)
                continue;
            const bool tracked = start(chain, c);
            if (m_starts[c].first > m_starts[c].last)
                continue;
            if constexpr (lanes == 1)
                m_sums[c] = runDeviationChain(m_tables, chain, m_starts[c], m_checkpoints);
            else
                m_sums[c] = runDeviationChain(m_tables, chain, m_starts[c], tracked, m_checkpoints);
        }
        for (size_t column = 0; column < m_tables.width(); ++column) {
            if (!wanted[column])
                continue;
            for (int lane = 0; lane < lanes; ++lane)
                m_estimates[column][lane] = combine(column, lane);
        }
        return m_estimates;
    }

private:
    // The chain's window and each row's values at its first g. Returns whether some step of the window exceeds
    // the size up to which rows side by side bound the error by blocks.
    bool start(const DeviationChain& chain, size_t index)
    {
        const quint64 tokens = m_tables.tokens();
        const long double n = static_cast<long double>(tokens);
        const quint64 k = chain.count;
        const auto [fewest, most] = std::minmax_element(m_drawn.begin(), m_drawn.end());
        ChainStart<Number>& start = m_starts[index];
        const DeviationWindow window = m_tables.window(index, *fewest, *most, lanes == 1, m_windowHints[index]);
        start.first = window.first;
        start.last = window.last;
        if (start.first > start.last)
            return false;
        // ln C(g, k) at both ends of the window, the same for every row; at the far end only the bound on the
        // error of π reads it.
        const long double lastCoefficient = logCoefficientBound(start.last, k);
        if constexpr (lanes > 1) {
            // Below 2^53 every numerator k N − l g of the window is exact in doubles.
            if (start.first == k && k < m_countStarts.size() && n * std::max(start.last, k) < 0x1p53L)
                return startAtCount(index, lastCoefficient);
        }
        const long double firstCoefficient = start.first == k ? 0 : logBinomialCoefficient(start.first, k);
        bool tracked = lanes == 1;
        // The same for every row.
        const long double count = static_cast<long double>(k);
        const long double first = static_cast<long double>(start.first);
        const long double steps = static_cast<long double>(start.last - start.first);
        const long double firstOthers = n - first;
        const long double lastOthers = n - static_cast<long double>(std::min(start.last, tokens - 1));
        for (int lane = 0; lane < lanes; ++lane) {
            const quint64 l = m_drawn[lane];
            const long double length = m_lengths[lane];
            const long double numerator = count * n - length * first;
            setLane(start.numerator, lane, numerator);
            // ε is monotonic in g, so its extremes are those of the first and the last step.
            const long double lastNumerator = numerator - length * steps;
            // |ε| = |numerator| / ((N − g)(N − l)) > largestBoundedStep, without a division.
            const long double stepLimit = largestBoundedStep * (n - length);
            tracked = tracked || std::fabs(numerator) > stepLimit * firstOthers ||
                      std::fabs(lastNumerator) > stepLimit * lastOthers;

            const bool small = k < m_smallCounts;
            const long double sharePower = small ? powers(lane)[k].share : std::exp(k * logShares()[lane]);
            const long double restPower = small ? powers(lane)[k].rest : std::exp(k * logRests()[lane]);
            start.sharePower[lane] = sharePower;
            start.restPower[lane] = restPower;

            long double reference = 0;
            long double ratio = 0;
            long double ratioError = 0; // relative to 1 + ψ
            if (start.first == k) {
                long double rho = 1;
                if (small) {
                    rho = powers(lane)[k].ratio;
                } else {
                    for (quint64 j = 0; j < k; ++j)
                        rho *= (static_cast<long double>(l) - j) * n / ((n - j) * l);
                }
                reference = sharePower;
                ratio = l < k ? -1 : rho - 1;
                ratioError = (4 * k + 4) * extendedUnit;
            } else {
                reference = binomialProbability(firstCoefficient, start.first, k, logShares()[lane], logRests()[lane]);
                const long double probability = classProbability(tokens, start.first, l, k);
                ratio = probability / reference - 1;
                // |ln P| <= (1 − its binary exponent) ln 2, which costs no logarithm.
                const long double logProbability =
                    probability > 0 ? (1 - std::ilogb(probability)) * std::numbers::ln2_v<long double>
                                    : std::numeric_limits<long double>::infinity();
                ratioError = (53 * logProbability + 166 * m_logTokens + 320) * extendedUnit +
                             referenceError(std::fabs(firstCoefficient), start.first, start.first, k,
                                            m_shareBounds[lane], m_restBounds[lane]);
            }
            setLane(start.ratio, lane, ratio);
            setLane(start.reference, lane, reference);
            // For k = 0 the complement is 1 − q^g, which at g = 0 needs no exponential.
            setLane(start.complement, lane,
                    k != 0             ? 1 - reference
                    : start.first == 0 ? 0
                                       : -std::expm1(start.first * logRests()[lane]));
            // The bound on the error of ψ, absolute, then relative to ρ where blocks carry it.
            const long double rho = 1 + ratio;
            long double error = ratioError * rho + std::fabs(laneOf(start.ratio, lane) - ratio);
            // The side-by-side steps count the numerator down by l in doubles, exact only below 2^53.
            if (!(reference > 0) || (lanes > 1 && std::max(std::fabs(numerator), std::fabs(lastNumerator)) >= 0x1p53L))
                error = std::numeric_limits<long double>::infinity();
            setLane(start.error, lane, error);
            m_rhos[lane] = static_cast<Real>(rho);
            m_referenceErrors[index][lane] =
                referenceError(lastCoefficient, start.first, start.last, k, m_shareBounds[lane], m_restBounds[lane]);
        }
        finishStart(start, k, tracked);
        return tracked;
    }

    // What every start ends with: the row's values for the steps, those for evaluating π afresh, and the bound on
    // the error of ψ relative to ρ where blocks carry it.
    void finishStart(ChainStart<Number>& start, quint64 k, bool tracked)
    {
        start.drawn = m_row.drawn;
        start.share = m_row.share;
        start.rest = m_row.rest;
        start.otherInverse = m_row.otherInverse;
        if (refreshes(start)) {
            strides();
            start.restStride = m_restStrides;
            start.strideComplement = m_strideComplements;
            // Where only the absence chain reads it.
            if (k == 0)
                start.logRest = logRests();
        }
        if (!tracked) {
            for (int lane = 0; lane < lanes; ++lane) {
                // With room for the roundings of ρ and of the quotient.
                const Real error = static_cast<Real>(laneOf(start.error, lane));
                setLane(start.error, lane, error == 0 ? 0 : error / m_rhos[lane] * (1 + 4 * Real(unit)));
            }
        }
    }

    // π is evaluated afresh where g passes a multiple of referenceInterval.
    static bool refreshes(const ChainStart<Number>& start)
    {
        return start.last / referenceInterval > start.first / referenceInterval;
    }

    // The start of a window at g = k, nearly every window's, for the eight rows at once in doubles: every value at
    // k comes from the row's table, the numerators are exact, and the steps' limit is compared with room for the
    // rounding of its product.
    bool startAtCount(size_t index, long double lastCoefficient) requires(lanes > 1)
    {
        ChainStart<Number>& start = m_starts[index];
        const quint64 k = start.first;
        const CountStart& at = countStart(k);
        const double n = static_cast<double>(m_tables.tokens());
        const double first = static_cast<double>(start.first);
        const double steps = static_cast<double>(start.last - start.first);
        const double firstOthers = n - first;
        const double lastOthers = n - static_cast<double>(std::min(start.last, m_tables.tokens() - 1));
        const double count = static_cast<double>(k);
        bool tracked = false;
        const bool refreshing = refreshes(start);
        for (int lane = 0; lane < lanes; ++lane) {
            const double length = m_row.drawn[lane];
            const double numerator = count * n - length * first;
            const double lastNumerator = numerator - length * steps;
            const double stepLimit = largestBoundedStep * (n - length) * (1 - 0x1p-52);
            tracked = tracked || std::fabs(numerator) > stepLimit * firstOthers ||
                      std::fabs(lastNumerator) > stepLimit * lastOthers;
            start.numerator[lane] = numerator;
            // No type occurs k times among fewer than k tokens drawn.
            const bool possible = length >= count;
            const double ratio = possible ? at.ratio[lane] : -1;
            double error = possible ? at.error[lane] : 0;
            const double reference = at.share[lane];
            // Powers that leave the range of normal doubles lose their relative precision: such a row is evaluated
            // again on its own.
            if (!(reference >= smallestPower) || (refreshing && !(at.rest[lane] >= smallestPower)))
                error = std::numeric_limits<double>::infinity();
            start.ratio[lane] = ratio;
            start.reference[lane] = reference;
            // 1 − p^k = q Σ_{j<k} p^j, which loses nothing where p is near 1.
            start.complement[lane] = m_row.rest[lane] * at.shareSum[lane];
            start.error[lane] = error;
            m_rhos[lane] = 1 + ratio;
            if (refreshing) {
                start.sharePower[lane] = reference;
                start.restPower[lane] = at.rest[lane];
            }
            m_referenceErrors[index][lane] =
                referenceError(lastCoefficient, start.first, start.last, k, m_shareBounds[lane], m_restBounds[lane]) +
                countStartError(k);
        }
        finishStart(start, k, tracked);
        return tracked;
    }

    static constexpr double smallestPower = 0x1p-1000;
    // The rounding of p^k, q^k and 1 − p^k in doubles, beyond that of π evaluated in extended precision.
    static Real countStartError(quint64 k) { return Real(unit) * static_cast<Real>(3 * k + 4); }

    // For each row, at g = k: p^k, q^k, Σ_{j<k} p^j, and ψ with a bound on its error, carried from k = 0 by the
    // chains' step ψ += δ (1 + ψ), δ = P_{j+1}(j+1) / (p P_j(j)) − 1 = −(j / l)((N − l) / (N − j)), within 3
    // roundings; the bound grows as a chain's step by step. Filled as far as the chains of the row ask.
    struct CountStart
    {
        std::array<double, lanes> share{};
        std::array<double, lanes> rest{};
        std::array<double, lanes> shareSum{};
        std::array<double, lanes> ratio{};
        std::array<double, lanes> error{};
    };
    const CountStart& countStart(quint64 k) requires(lanes > 1)
    {
        const double n = static_cast<double>(m_tables.tokens());
        const double u = unit;
        for (; m_countStartsReady <= k; ++m_countStartsReady) {
            CountStart& next = m_countStarts[m_countStartsReady];
            if (m_countStartsReady == 0) {
                next.share.fill(1);
                next.rest.fill(1);
                continue;
            }
            const CountStart& before = m_countStarts[m_countStartsReady - 1];
            const double j = static_cast<double>(m_countStartsReady - 1);
            for (int lane = 0; lane < lanes; ++lane) {
                const double length = m_row.drawn[lane];
                const double step = -(j / length) * ((n - length) / (n - j));
                const double ratio = before.ratio[lane];
                const double moved = ratio * (1 + step) + step;
                next.share[lane] = before.share[lane] * m_row.share[lane];
                next.rest[lane] = before.rest[lane] * m_row.rest[lane];
                next.shareSum[lane] = before.shareSum[lane] + before.share[lane];
                next.ratio[lane] = moved;
                next.error[lane] =
                    before.error[lane] * std::fabs(1 + step) * (1 + 8 * u) +
                    u * (6 * std::fabs(step) * (std::fabs(ratio) + 1) + 3 * std::fabs(ratio) + std::fabs(moved));
            }
        }
        return m_countStarts[k];
    }

    struct Power
    {
        long double share;
        long double rest;
        long double ratio;
    };
    // p^k, q^k and P_k(k) / p^k = Π_{j<k} (1 − j/l) / (1 − j/N), zero once j reaches l, for the small k, in
    // extended precision; once a row, where a start asks for them.
    const std::vector<Power>& powers(int lane)
    {
        if (!m_powersReady) {
            m_powersReady = true;
            const long double n = static_cast<long double>(m_tables.tokens());
            for (int row = 0; row < lanes; ++row) {
                const long double l = m_lengths[row];
                std::vector<Power>& powers = m_powers[row];
                powers[0] = {1, 1, 1};
                for (quint64 k = 1; k < powers.size(); ++k) {
                    const Power& before = powers[k - 1];
                    const long double j = static_cast<long double>(k - 1);
                    powers[k] = {before.share * m_shares[row], before.rest * m_rests[row],
                                 before.ratio * ((l - j) * n / ((n - j) * l))};
                }
            }
        }
        return m_powers[lane];
    }

    // ln p and ln q for the rows of this run, once a chain evaluates π from them: for the small k the powers
    // serve, and most windows of the later rows are too short to evaluate π afresh.
    const std::array<long double, lanes>& logShares()
    {
        return onceARow(m_sharesLogged, m_logShares, [](long double share) { return std::log(share); });
    }
    const std::array<long double, lanes>& logRests()
    {
        return onceARow(m_restsLogged, m_logRests, [](long double share) { return std::log1p(-share); });
    }
    template <typename Of>
    const std::array<long double, lanes>& onceARow(bool& done, std::array<long double, lanes>& values, Of of)
    {
        if (!done) {
            done = true;
            for (int lane = 0; lane < lanes; ++lane)
                values[lane] = of(m_shares[lane]);
        }
        return values;
    }

    // q^referenceInterval and its complement for the rows of this run, once a chain needs them: most windows are
    // shorter, and these are two of the four logarithms and exponentials of a row.
    void strides()
    {
        if (m_strided)
            return;
        m_strided = true;
        const std::array<long double, lanes>& logRest = logRests();
        for (int lane = 0; lane < lanes; ++lane) {
            m_restStrides[lane] = std::exp(referenceInterval * logRest[lane]);
            m_strideComplements[lane] = -std::expm1(referenceInterval * logRest[lane]);
        }
    }

    // The error of π evaluated afresh up to g: those of C(g, k), of p^k and of q^(g − k), which is carried four
    // roundings further at each evaluation and whose exponent is within 2 roundings of its size, its rounding to
    // a double, and the five roundings of each of up to referenceInterval steps from there.
    // The logarithms may be bounds of their sizes.
    static Real referenceError(Real logCoefficient, quint64 first, quint64 g, quint64 k, Real logShare, Real logRest)
    {
        const Real exponents = k * std::fabs(logShare) + static_cast<Real>(g - k) * std::fabs(logRest);
        const Real evaluations = static_cast<Real>(g - first) / referenceInterval + 1;
        return (6 * logCoefficient + 100 + 3 * exponents + 4 * evaluations) * Real(extendedUnit) +
               Real(unit) * (2 + 5 * static_cast<Real>(referenceInterval));
    }

    // Var = A + δ (1 − 2T) − δ² + Σ Ŵ Δ and a bound on its error: the errors of the parts, the roundings of
    // the combination, and what the windows left out.
    // In the precision of the lanes: the parts are of about the size of the variance, and their roundings are
    // bounded by those of the sizes.
    Estimate combine(size_t column, int lane) const
    {
        const Real u = unit;
        const quint64 cls = m_tables.columnClass(column);
        if (certainlyZero(m_drawn[lane], m_tables.tokens(), cls))
            return {};
        const size_t pairChain = m_pairChains[column];
        const size_t singleChain = m_singleChains[column];
        const ChainSums<Number>& pair = m_sums[pairChain];
        const ChainSums<Number>& single = m_sums[singleChain];
        const Real pairs = laneOf(pair.pairs, lane);
        const Real total = laneOf(single.total, lane);
        const Real spread = laneOf(single.spread, lane);
        const Real residual = laneOf(single.residual, lane);
        const Real pairDrift = laneOf(pair.pairDrift, lane);
        const Real pairMagnitude = laneOf(pair.pairMagnitude, lane);
        const Real residualDrift = laneOf(single.residualDrift, lane);
        const Real residualMagnitude = laneOf(single.residualMagnitude, lane);
        const Real variance = spread + residual * (1 - 2 * total) - residual * residual + pairs;

        const auto summed = [&](size_t chain) {
            const ChainStart<Number>& s = m_starts[chain];
            const Real steps = s.first <= s.last ? static_cast<Real>(s.last - s.first + 1) : 0;
            return u * (64 + steps / 1024);
        };
        const Real pairReference = m_referenceErrors[pairChain][lane];
        const Real singleReference = m_referenceErrors[singleChain][lane];
        const Real away = cls == 0 ? singleReference + u * (2 + referenceInterval) : singleReference;
        const Real drifted = 1 + Real(1) / 64;
        const Real pairsError =
            drifted * pairDrift +
            (pairReference + 4 * u + Real(m_tables.pairWeightError(column)) + summed(pairChain)) * pairMagnitude;
        const Real residualError =
            drifted * residualDrift + (singleReference + 4 * u + summed(singleChain)) * residualMagnitude;
        const Real totalError = (singleReference + 2 * u + summed(singleChain)) * total;
        const Real spreadError = (singleReference + away + 6 * u + summed(singleChain)) * spread;
        const Real sizes = spread + std::fabs(residual * (1 - 2 * total)) + residual * residual + std::fabs(pairs) +
                           std::fabs(residual) * total;
        Real error = spreadError + std::fabs(1 - 2 * total) * residualError + 2 * std::fabs(residual) * totalError +
                     (2 * std::fabs(residual) + residualError) * residualError + pairsError + 8 * u * sizes +
                     Real(4 * (lanes > 1 ? quickLeftOut : thoroughLeftOut));
        if (std::isnan(error))
            error = std::numeric_limits<Real>::infinity();
        // The bound's own roundings, a few dozen of relative size u.
        return {variance, error * (1 + 64 * u)};
    }

    const DeviationTables& m_tables;
    DeviationCheckpoints& m_checkpoints;
    std::vector<size_t> m_pairChains;
    std::vector<size_t> m_singleChains;
    Drawn m_drawn{};
    std::array<long double, lanes> m_shares{};
    std::array<long double, lanes> m_rests{};
    std::array<long double, lanes> m_otherInverses{};
    quint64 m_smallCounts = 0;
    std::array<std::vector<Power>, lanes> m_powers;
    bool m_powersReady = false;
    std::vector<CountStart> m_countStarts;
    quint64 m_countStartsReady = 0;
    std::array<long double, lanes> m_logShares{};
    bool m_sharesLogged = false;
    std::array<Real, lanes> m_shareBounds{};
    bool m_restsLogged = false;
    std::array<Real, lanes> m_restBounds{};
    std::array<long double, lanes> m_lengths{};
    std::array<long double, lanes> m_logRests{};
    std::array<long double, lanes> m_restStrides{};
    std::array<long double, lanes> m_strideComplements{};
    bool m_strided = false;
    struct alignas(laneAlignment) RowLanes
    {
        Number drawn{};
        Number share{};
        Number rest{};
        Number otherInverse{};
    };
    RowLanes m_row;
    std::array<Real, lanes> m_rhos{};
    std::vector<ChainStart<Number>> m_starts;
    std::vector<ChainSums<Number>> m_sums;
    std::vector<std::array<Real, lanes>> m_referenceErrors;
    std::vector<DeviationTables::WindowHint> m_windowHints;
    Estimates m_estimates;
    long double m_logTokens;
};

// The deviation to print, and whether every variance within the error bound prints alike.
struct Deviation
{
    double value = 0;
    bool settled = true;
};

// In the precision the estimate was combined in; the slack covers the roundings of the square roots.
template <typename Real>
Deviation deviationOf(const Estimate& estimate)
{
    const Real variance = static_cast<Real>(estimate.variance);
    const Real error = static_cast<Real>(estimate.error);
    if (!(variance + error >= 0))
        return {0, false};
    const double value = static_cast<double>(std::sqrt(std::max<Real>(variance, 0)));
    if (!std::isfinite(static_cast<double>(error)))
        return {value, false};
    const Real low = std::sqrt(std::max<Real>(variance - error, 0));
    const Real high = std::sqrt(variance + error);
    const Real reach = std::max<Real>(value - low, high - value);
    return {value, printsAlikeWithin(value, static_cast<double>(reach + high * Real(0x1p-50)))};
}

class DeviationBatch
{
public:
    DeviationBatch(const DeviationTables& tables, quint64 density, quint64 rows, DeviationCheckpoints& checkpoints)
        : m_tables(tables),
          m_density(density),
          m_rows(rows),
          m_checkpoints(checkpoints)
    {}

    // Rows first..first + count − 1 (count a multiple of groupRows, or the rows up to the last). A stopped run
    // leaves the rows not yet evaluated as they are.
    void evaluate(quint64 first, quint64 count, unsigned threads, RowSink& sink)
    {
        const size_t width = m_tables.width();
        m_values.assign(count * width, 0.0);
        std::vector<char> unsettled(count * width, 0);
        const quint64 groups = (count + groupRows - 1) / groupRows;
        const std::vector<bool> all(width, true);
        const unsigned groupWorkers = static_cast<unsigned>(std::clamp<quint64>(threads, 1, groups));
        // The first groups draw the fewest tokens and cost the most, the very first of a corpus as much as all the
        // others: a thread takes the next group when done with one, so that the others go on meanwhile.
        std::atomic<quint64> nextGroup = 0;
        m_checkpoints.run(groupWorkers, [&](unsigned) {
            RowEvaluation<DeviationLanes> evaluation(m_tables, m_checkpoints);
            for (quint64 group = nextGroup++; group < groups && !m_checkpoints.stopping(); group = nextGroup++)
                evaluateGroup(evaluation, first + group * groupRows, first, count, all, unsettled);
        });
        struct Cell
        {
            quint64 row;
            size_t column;
        };
        std::vector<Cell> rechecks;
        for (quint64 r = 0; r < count; ++r) {
            for (size_t column = 0; column < width; ++column) {
                if (unsettled[r * width + column])
                    rechecks.push_back({r, column});
            }
        }
        const unsigned workers =
            static_cast<unsigned>(std::clamp<size_t>(threads, 1, std::max<size_t>(rechecks.size(), 1)));
        std::vector<char> impossible(workers, 0);
        std::atomic<size_t> nextRecheck = 0;
        m_checkpoints.run(workers, [&](unsigned worker) {
            RowEvaluation<long double> evaluation(m_tables, m_checkpoints);
            for (size_t i = nextRecheck++; i < rechecks.size() && !m_checkpoints.stopping(); i = nextRecheck++) {
                const Cell& cell = rechecks[i];
                std::vector<bool> wanted(width, false);
                wanted[cell.column] = true;
                const Estimate estimate = evaluation.run({drawn(first + cell.row)}, wanted)[cell.column][0];
                if (!(estimate.variance + estimate.error >= 0))
                    impossible[worker] = 1;
                m_values[cell.row * width + cell.column] = deviationOf<long double>(estimate).value;
            }
        });
        // Said here, on the caller's thread: a variance that even its bound cannot bring to zero is no rounding.
        if (std::find(impossible.begin(), impossible.end(), 1) != impossible.end())
            throw std::logic_error("a variance of the model came out negative beyond its error bound");
        for (quint64 r = 0; r < count; ++r)
            sink.addRow(std::span<const double>(m_values.data() + r * width, width));
    }

private:
    quint64 drawn(quint64 row) const { return (row + 1) * m_density; }

    void evaluateGroup(RowEvaluation<DeviationLanes>& evaluation, quint64 groupFirst, quint64 batchFirst, quint64 count,
                       const std::vector<bool>& wanted, std::vector<char>& unsettled)
    {
        // The rows past the last and a row of the whole text (whose deviations are zero) borrow a neighbour's.
        const quint64 tokens = m_tables.tokens();
        std::array<quint64, groupRows> drawnRows{};
        quint64 usable = 0;
        for (int lane = 0; lane < groupRows; ++lane) {
            const quint64 row = std::min(groupFirst + quint64(lane), m_rows - 1);
            drawnRows[lane] = drawn(row);
            if (drawnRows[lane] < tokens)
                usable = drawnRows[lane];
        }
        if (usable == 0)
            return;
        for (quint64& l : drawnRows)
            l = l < tokens ? l : usable;
        const auto& estimates = evaluation.run(drawnRows, wanted);
        const size_t width = m_tables.width();
        for (int lane = 0; lane < groupRows; ++lane) {
            const quint64 row = groupFirst + quint64(lane);
            if (row >= batchFirst + count || row >= m_rows || drawn(row) >= tokens)
                continue;
            for (size_t column = 0; column < width; ++column) {
                const Deviation deviation = deviationOf<double>(estimates[column][lane]);
                const size_t cell = (row - batchFirst) * width + column;
                m_values[cell] = deviation.value;
                unsettled[cell] = deviation.settled ? 0 : 1;
            }
        }
    }

    const DeviationTables& m_tables;
    quint64 m_density;
    quint64 m_rows;
    DeviationCheckpoints& m_checkpoints;
    std::vector<double> m_values;
};

} // namespace

void computeDeviationRows(const Spectrum& spectrum, const measure::CurveColumns& columns, quint64 density,
                          RowSink& sink, unsigned threads)
{
    if (density == 0 || spectrum.N < density)
        return;
    quint64 computed = 0;
    DeviationCheckpoints checkpoints([&] { sink.rowsComputed(computed); });
    const DeviationTables tables(spectrum, columns, density, threads, checkpoints);
    const quint64 rows = spectrum.N / density;
    const quint64 perBatch =
        std::max<quint64>(groupRows, valuesPerBatch / std::max<size_t>(tables.width(), 1) / groupRows * groupRows);
    DeviationBatch batch(tables, density, rows, checkpoints);
    for (quint64 first = 0; first < rows; first += perBatch) {
        const quint64 count = std::min(perBatch, rows - first);
        batch.evaluate(first, count, threads, sink);
        computed = first + count;
        sink.rowsComputed(computed);
    }
}

} // namespace model
