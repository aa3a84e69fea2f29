#include "DeviationTables.h"

#include "DirectRows.h"
#include "DrawProbabilities.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace model {
namespace {

// What a chain may leave out on either side: its terms there, weighted, sum to less than this.
constexpr long double negligible = 0x1p-44L;
constexpr double unit = 0x1p-53;

// The exponent of the Poisson bound at x for count k: k ln(k/x) + x − k.
long double poissonExponent(long double count, long double x)
{
    return count == 0 ? x : count * std::log(count / x) + x - count;
}

// Where the exponent reaches `limit` above (high) or below (low) the mean; the point returned is on the side
// where the exponent is at least `limit`.
long double exponentReaches(quint64 count, long double limit, bool high)
{
    const long double k = static_cast<long double>(count);
    if (count == 0)
        return high ? limit : 0;
    long double inside = k;
    long double outside = high ? k + limit + 2 * std::sqrt(k * limit) + 1 : 0;
    if (high) {
        while (poissonExponent(k, outside) < limit)
            outside *= 2;
    }
    for (int i = 0; i < 100; ++i) {
        const long double middle = (inside + outside) / 2;
        if (middle == inside || middle == outside)
            break;
        (poissonExponent(k, middle) < limit ? inside : outside) = middle;
    }
    return outside;
}

// out[j] = 1 / (first + j step) for integers below 2^53, which doubles hold exactly.
__attribute__((target_clones("avx512f", "avx2", "default"))) void fillReciprocals(double* out, double first,
                                                                                  double step, size_t count)
{
    for (size_t j = 0; j < count; ++j)
        out[j] = 1.0 / (first + static_cast<double>(static_cast<qint64>(j)) * step);
}

// target[j] += factor × source[j]: the inner loop of the pair sums, cloned for the vector widths there are.
__attribute__((target_clones("avx512f", "avx2", "default"))) void addScaled(double* target, const double* source,
                                                                            size_t count, double factor)
{
    for (size_t j = 0; j < count; ++j)
        target[j] += factor * source[j];
}

void addScaled(long double* target, const long double* source, size_t count, long double factor)
{
    for (size_t j = 0; j < count; ++j)
        target[j] += factor * source[j];
}

// sums[g] / C(g, count) for g = count..limit, C(g, count) as the product g (g − 1) ... / count! (count + 1
// roundings), eight g at a time; below count the sums are zero.
__attribute__((target_clones("avx512f", "avx2", "default"))) void divideByEvenSplits(double* sums, quint64 limit,
                                                                                     quint64 count)
{
    double factorial = 1;
    for (quint64 j = 2; j <= count; ++j)
        factorial *= static_cast<double>(j);
    constexpr quint64 width = 8;
    quint64 first = count;
    for (; first + width - 1 <= limit; first += width) {
        double products[width];
        for (quint64 lane = 0; lane < width; ++lane)
            products[lane] = 1;
        for (quint64 j = 0; j < count; ++j) {
            const double base = static_cast<double>(first - j);
            for (quint64 lane = 0; lane < width; ++lane)
                products[lane] *= base + static_cast<double>(lane);
        }
        for (quint64 lane = 0; lane < width; ++lane)
            sums[first + lane] = sums[first + lane] / (products[lane] / factorial);
    }
    for (; first <= limit; ++first) {
        double product = 1;
        for (quint64 j = 0; j < count; ++j)
            product *= static_cast<double>(first - j);
        sums[first] = sums[first] / (product / factorial);
    }
}

// C(g, k) for g = first.., carried by exact ratios and evaluated afresh often enough that it stays within
// 2^-50 of its value.
class BinomialCoefficients
{
public:
    BinomialCoefficients(quint64 first, quint64 count)
        : m_next(first),
          m_count(count)
    {}

    long double next()
    {
        const quint64 g = m_next++;
        if (m_carried == 0 || m_carried == 4096) {
            m_value = std::exp(logBinomialCoefficient(g, m_count));
            m_carried = 0;
        } else {
            m_value *= static_cast<long double>(g) / static_cast<long double>(g - m_count);
        }
        ++m_carried;
        return m_value;
    }

private:
    quint64 m_next;
    quint64 m_count;
    quint64 m_carried = 0;
    long double m_value = 0;
};

} // namespace

DeviationTables::DeviationTables(const Spectrum& spectrum, const measure::CurveColumns& columns, quint64 density,
                                 unsigned threads)
    : m_tokens(spectrum.N)
{
    std::vector<TInData> records;
    for (const TInData& record : spectrum.records) {
        // A type that never occurs is absent from every part of the text and varies nowhere.
        if (record.Freq > 0)
            records.push_back(record);
    }
    std::sort(records.begin(), records.end(), [](const TInData& a, const TInData& b) { return a.Freq < b.Freq; });
    const quint64 highest = records.empty() ? 0 : records.back().Freq;
    if (columns.ttr)
        m_classes.push_back(0);
    if (columns.hasClasses()) {
        const quint64 last = std::min<quint64>({columns.to, highest, m_tokens});
        for (quint64 i = columns.from; i <= last; ++i)
            m_classes.push_back(i);
    }
    addChains(records, density);
    fillTables(records);
    m_pairWeights.resize(width());
    m_pairWeightErrors.resize(width());
    const unsigned workers = static_cast<unsigned>(std::clamp<size_t>(threads, 1, std::max<size_t>(width(), 1)));
    runOnThreads(workers, [&](unsigned worker) {
        for (size_t column = worker; column < width(); column += workers)
            fillColumn(records, column, highest, spectrum.V);
    });
}

void DeviationTables::fillColumn(const std::vector<TInData>& records, size_t column, quint64 highest, quint64 types)
{
    // The products C(f_s, i) C(f_t, i) of the high classes, and g^2i, leave the range of doubles.
    const long double logLargest =
        2 * m_classes[column] * std::log(2.0L * highest + 1) + 2 * std::log(static_cast<long double>(types) + 1);
    if (logLargest < 600)
        fillPairWeights<double>(records, column);
    else
        fillPairWeights<long double>(records, column);
}

// A chain takes every term whose probability can reach e^-limit somewhere, limit = ln(M / 2^-44), M bounding the
// weights the terms are multiplied by: V_i^2 for the pairs of the V_i types of frequency at least i, and
// V_k (2 + 6 V_k) for single types, whose terms enter the variance also through T and δ (DeviationRows.cpp).
// For a type of g tokens, the probability of k among l drawn is below e^(-g KL(k/g || l/N)) on the side of g away
// from k N / l, with or without replacement (Chernoff; Hoeffding for drawing without replacement), and
// g KL(k/g || p) >= k ln(k/x) + x − k for x = g p, since a ln(a/b) >= a − b.
void DeviationTables::addChains(const std::vector<TInData>& records, quint64 density)
{
    const auto typesFrom = [&](quint64 frequency) {
        long double types = 0;
        for (const TInData& record : records) {
            if (record.Freq >= frequency)
                types += record.Poc;
        }
        return types;
    };
    const auto chainFor = [&](quint64 count) -> DeviationChain& {
        for (DeviationChain& chain : m_chains) {
            if (chain.count == count)
                return chain;
        }
        return m_chains.emplace_back(DeviationChain{.count = count});
    };
    for (size_t column = 0; column < width(); ++column) {
        chainFor(2 * m_classes[column]).pairColumn = int(column);
        chainFor(m_classes[column]).singleColumn = int(column);
    }
    for (DeviationChain& chain : m_chains) {
        long double weights = 0;
        if (chain.pairColumn >= 0) {
            const long double types = typesFrom(m_classes[chain.pairColumn]);
            weights += types * types;
        }
        if (chain.singleColumn >= 0) {
            const long double types = typesFrom(chain.count);
            weights += types * (2 + 6 * types);
        }
        const long double limit = std::log(std::max(weights, 1.0L) / negligible) + 1e-9L;
        chain.low = static_cast<double>(exponentReaches(chain.count, limit, false));
        chain.high = static_cast<double>(exponentReaches(chain.count, limit, true));
        // Rounded outwards.
        chain.low = std::nextafter(chain.low, 0.0);
        chain.high = std::nextafter(chain.high, std::numeric_limits<double>::infinity());
    }
    long double reach = 0;
    for (const DeviationChain& chain : m_chains)
        reach = std::max<long double>(reach, std::ceil(chain.high / (static_cast<long double>(density) / m_tokens)));
    const quint64 highest = records.empty() ? 0 : records.back().Freq;
    m_limit = std::min<quint64>({m_tokens, 2 * highest, static_cast<quint64>(std::min(reach, 1e18L))});
}

void DeviationTables::fillTables(const std::vector<TInData>& records)
{
    m_inverses.resize(m_limit + 1);
    fillReciprocals(m_inverses.data(), static_cast<double>(m_tokens), -1, std::min(m_limit + 1, m_tokens));
    m_reciprocals.resize(m_limit + 2);
    fillReciprocals(m_reciprocals.data() + 1, 1, 1, m_limit + 1);
    m_types.assign(m_limit + 1, 0.0);
    m_typeBlocks.assign(m_limit / 32 + 1, 0);
    // The pair weights take each pair of frequencies up to the boundary with an array-long vector loop, each
    // frequency above it with a loop over the array below, and the pairs above it one by one: the boundary that
    // costs least, counting a pair a vector loop takes an eighth of one taken alone.
    double leastCost = std::numeric_limits<double>::infinity();
    for (size_t r = 0; r < records.size() && records[r].Freq <= m_limit; ++r) {
        const double below = records[r].Freq;
        const double above = static_cast<double>(records.size() - r - 1);
        const double cost = below * below / 16 + above * below / 8 + above * above / 2;
        if (cost < leastCost) {
            leastCost = cost;
            m_denseFrequencies = records[r].Freq;
        }
    }
    for (const TInData& record : records) {
        if (record.Freq <= m_limit) {
            m_types[record.Freq] = record.Poc;
            m_typeBlocks[record.Freq / 32] = 1;
        }
    }
}

// The sums of C(f_s, i) C(f_t, i) over the pairs, divided by C(g, 2i) once. A sum adds at most J products, each
// within 7 roundings, and the division adds 2; for the type curve they are integers, exact below 2^53.
template <typename Sum>
void DeviationTables::fillPairWeights(const std::vector<TInData>& records, size_t column)
{
    const quint64 cls = m_classes[column];
    // Each type's part of the weights, u = n C(f, i): in an array over the low frequencies, where nearly every
    // frequency occurs and the pairs of a frequency with all of them are added by one loop over the array, and as
    // a list above.
    struct High
    {
        quint64 frequency;
        Sum part;
    };
    const quint64 dense = std::max(m_denseFrequencies, cls);
    std::vector<Sum> low(dense + 1, Sum(0));
    std::vector<High> high;
    // In doubles the sums are made where the weights are kept.
    std::vector<double>& weights = m_pairWeights[column];
    std::vector<long double> extendedSums;
    Sum* sums = nullptr;
    if constexpr (std::is_same_v<Sum, double>) {
        weights.assign(m_limit + 1, 0.0);
        sums = weights.data();
    } else {
        extendedSums.assign(m_limit + 1, 0.0L);
        sums = extendedSums.data();
    }
    long double types = 0;
    for (const TInData& record : records) {
        if (record.Freq < cls)
            continue;
        const Sum coefficient = static_cast<Sum>(std::exp(logBinomialCoefficient(record.Freq, cls)));
        const Sum count = record.Poc;
        if (record.Freq <= dense)
            low[record.Freq] = count * coefficient;
        else
            high.push_back({record.Freq, count * coefficient});
        // The pairs of two types of one frequency.
        if (2 * quint64(record.Freq) <= m_limit)
            sums[2 * record.Freq] += count * (count - 1) * coefficient * coefficient;
        types += record.Poc;
    }
    for (quint64 a = cls; a <= dense; ++a) {
        const quint64 end = std::min(dense, m_limit - std::min(m_limit, a));
        if (low[a] != 0 && end > a)
            addScaled(sums + 2 * a + 1, low.data() + a + 1, end - a, 2 * low[a]);
    }
    for (size_t x = 0; x < high.size(); ++x) {
        const Sum twice = 2 * high[x].part;
        const quint64 f = high[x].frequency;
        if (f > m_limit)
            break;
        const quint64 end = std::min(dense, m_limit - f);
        if (end >= cls)
            addScaled(sums + f + cls, low.data() + cls, end - cls + 1, twice);
        for (size_t y = x + 1; y < high.size() && f + high[y].frequency <= m_limit; ++y)
            sums[f + high[y].frequency] += twice * high[y].part;
    }
    if constexpr (std::is_same_v<Sum, double>) {
        if (cls > 0)
            divideByEvenSplits(weights.data(), m_limit, 2 * cls);
    } else {
        weights.assign(m_limit + 1, 0.0);
        if (2 * cls <= m_limit) {
            BinomialCoefficients evenSplits(2 * cls, 2 * cls);
            for (quint64 g = 2 * cls; g <= m_limit; ++g)
                weights[g] = static_cast<double>(sums[g] / evenSplits.next());
        }
    }
    const double terms = static_cast<double>(records.size());
    if (cls == 0 && types * types < 0x1p53L)
        m_pairWeightErrors[column] = 0;
    else if constexpr (std::is_same_v<Sum, double>)
        m_pairWeightErrors[column] = (terms + 2 * cls + 12) * unit;
    else
        m_pairWeightErrors[column] = unit + (terms + 600) * 0x1p-64;
}

} // namespace model
