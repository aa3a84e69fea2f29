#include "DeviationTables.h"

#include "DirectRows.h"
#include "DrawProbabilities.h"

#include <sys/mman.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <new>

namespace model {
namespace {

constexpr double unit = 0x1p-53;
// Table entries filled between two chances to stop; by threads taking turns, in smaller parts.
constexpr size_t entriesPerCheckpoint = size_t(1) << 18;
constexpr size_t entriesPerPart = size_t(1) << 16;

// The exponent of the Poisson bound at x for count k: k ln(k/x) + x − k.
long double poissonExponent(long double count, long double x)
{
    return count == 0 ? x : count * std::log(count / x) + x - count;
}

// Where the exponent reaches `limit` above or below the mean k, by Newton's method from the side where it exceeds
// the limit, which the iterates of a convex function never leave: the point returned keeps a window at least as
// wide as it needs to be. Where the limit is not positive every term counts as little as the limit allows, and the
// window closes at k.
long double exponentReaches(quint64 count, long double limit, bool above)
{
    const long double k = static_cast<long double>(count);
    if (limit <= 0)
        return k;
    if (count == 0)
        return above ? limit : 0;
    long double x = above ? k + limit + 2 * std::sqrt(k * limit) + 1 : k * std::exp(-limit / k - 1);
    while (above && poissonExponent(k, x) < limit)
        x *= 2;
    for (int i = 0; i < 100; ++i) {
        const long double next = x - (poissonExponent(k, x) - limit) / (1 - k / x);
        if (!(above ? next < x : next > x) || poissonExponent(k, next) < limit)
            break;
        x = next;
    }
    return x;
}

// The limit, in quarters rounded up, of the exponent at which terms weighing w in all weigh at most `leftOut`:
// the least q >= 0 with w <= leftOut e^(q/4), found without a logarithm by moving on from the quarter before;
// each bound is lowered by far more than the roundings of e^(q/4), so that q never comes out too small.
class Quarters
{
public:
    explicit Quarters(long double leftOut)
        : m_leftOut(leftOut)
    {}

    size_t of(long double weight)
    {
        while (weight > bound(m_quarter))
            ++m_quarter;
        while (m_quarter > 0 && weight <= bound(m_quarter - 1))
            --m_quarter;
        return m_quarter;
    }

private:
    long double bound(size_t quarter)
    {
        while (m_bounds.size() <= quarter)
            m_bounds.push_back(m_leftOut * std::exp(m_bounds.size() / 4.0L) * (1 - 0x1p-60L));
        return m_bounds[quarter];
    }

    long double m_leftOut;
    std::vector<long double> m_bounds;
    size_t m_quarter = 0;
};

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

// sums[g] / C(g, count) for g = from..limit, C(g, count) as the product g (g − 1) ... / count! (count + 1
// roundings), eight g at a time, with the same bits for each g however the range is cut; below count the sums
// are zero.
__attribute__((target_clones("avx512f", "avx2", "default"))) void divideByEvenSplits(double* sums, quint64 from,
                                                                                     quint64 limit, quint64 count)
{
    typedef double Eight __attribute__((vector_size(64)));
    double factorial = 1;
    for (quint64 j = 2; j <= count; ++j)
        factorial *= static_cast<double>(j);
    quint64 first = std::max(from, count);
    for (; first + 7 <= limit; first += 8) {
        Eight g = Eight{0, 1, 2, 3, 4, 5, 6, 7} + static_cast<double>(first);
        Eight product = g;
        for (quint64 j = 1; j < count; ++j) {
            g -= 1;
            product *= g;
        }
        Eight part;
        std::memcpy(&part, sums + first, sizeof part);
        part = part / (product / factorial);
        std::memcpy(sums + first, &part, sizeof part);
    }
    for (; first <= limit; ++first) {
        double product = 1;
        for (quint64 j = 0; j < count; ++j)
            product *= static_cast<double>(first - j);
        sums[first] = sums[first] / (product / factorial);
    }
}

// Writes to each page of entries begin..end − 1 of a fresh table: the system clears a page when it is first
// touched, which for the tables of a corpus takes milliseconds.
template <typename T>
void touchPages(Table<T>& table, size_t begin, size_t end)
{
    constexpr size_t perPage = 4096 / sizeof(T);
    for (size_t i = begin; i < end; i += perPage)
        table[i] = 0;
}

// Sizes a fresh table and touches its pages in parts, each a chance to stop.
template <typename T>
void resizeTouched(Table<T>& table, size_t size, DeviationCheckpoints& checkpoints)
{
    table.resize(size);
    for (size_t part = 0; part < size && !checkpoints.stopping(); part += entriesPerCheckpoint)
        touchPages(table, part, std::min(size, part + entriesPerCheckpoint));
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

constexpr size_t hugePage = size_t(1) << 21;

} // namespace

template <typename T>
T* TableAllocator<T>::allocate(size_t n)
{
    const size_t bytes = n * sizeof(T);
    if (bytes < hugePage) {
        void* memory = std::calloc(n, sizeof(T));
        if (memory == nullptr)
            throw std::bad_alloc();
        return static_cast<T*>(memory);
    }
    // Fresh pages from the system are cleared; huge ones must start on a boundary of their size.
    const size_t rounded = (bytes + hugePage - 1) / hugePage * hugePage;
    void* mapped = mmap(nullptr, rounded + hugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED)
        throw std::bad_alloc();
    char* const start = static_cast<char*>(mapped);
    char* const aligned = start + (hugePage - reinterpret_cast<uintptr_t>(start) % hugePage) % hugePage;
    if (aligned != start)
        munmap(start, size_t(aligned - start));
    if (const size_t after = size_t(start + rounded + hugePage - (aligned + rounded)); after > 0)
        munmap(aligned + rounded, after);
    // Only advice: without huge pages the tables work the same.
    madvise(aligned, rounded, MADV_HUGEPAGE);
    return reinterpret_cast<T*>(aligned);
}

template <typename T>
void TableAllocator<T>::deallocate(T* p, size_t n)
{
    const size_t bytes = n * sizeof(T);
    if (bytes < hugePage)
        std::free(p);
    else
        munmap(p, (bytes + hugePage - 1) / hugePage * hugePage);
}

template struct TableAllocator<double>;
template struct TableAllocator<long double>;

DeviationTables::DeviationTables(const Spectrum& spectrum, const measure::CurveColumns& columns, quint64 density,
                                 unsigned threads, DeviationCheckpoints& checkpoints)
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
    addChains(records, density, threads, checkpoints);
    fillTables(records, threads, checkpoints);
    fillPairWeights(records, highest, spectrum.V, threads, checkpoints);
}

void DeviationTables::fillPairWeights(const std::vector<TInData>& records, quint64 highest, quint64 types,
                                      unsigned threads, DeviationCheckpoints& checkpoints)
{
    m_pairWeights.resize(width());
    m_pairWeightErrors.resize(width());
    // First each column's terms, on a thread each, whichever; then the sums of the columns in doubles by stretches
    // of g, which threads take in turn: each sum gets its terms in the same order however g is cut. A column in
    // extended precision is made whole at once, as its even splits are carried along g.
    std::vector<PairTerms<double>> doubleTerms(width());
    std::vector<char> inDoubles(width(), 0);
    checkpoints.share(width(), threads, [&](size_t column) {
        // The products C(f_s, i) C(f_t, i) of the high classes, and g^2i, leave the range of doubles.
        const long double logLargest =
            2 * m_classes[column] * std::log(2.0L * highest + 1) + 2 * std::log(static_cast<long double>(types) + 1);
        if (logLargest < 600) {
            doubleTerms[column] = pairTerms<double>(records, column);
            m_pairWeights[column].resize(m_pairReaches[column] + 1);
            inDoubles[column] = 1;
        } else {
            fillExtendedPairWeights(records, column, checkpoints);
        }
    });
    struct Stretch
    {
        size_t column;
        quint64 first;
        quint64 last;
    };
    std::vector<Stretch> stretches;
    for (size_t column = 0; column < width(); ++column) {
        const quint64 limit = m_pairReaches[column];
        for (quint64 first = 0; inDoubles[column] && first <= limit; first += entriesPerPart)
            stretches.push_back({column, first, std::min(limit, first + entriesPerPart - 1)});
    }
    checkpoints.share(stretches.size(), threads, [&](size_t i) {
        const Stretch& stretch = stretches[i];
        Table<double>& weights = m_pairWeights[stretch.column];
        touchPages(weights, stretch.first, stretch.last + 1);
        addPairTerms(doubleTerms[stretch.column], weights.data(), stretch.first, stretch.last, checkpoints);
        const quint64 cls = m_classes[stretch.column];
        if (cls > 0)
            divideByEvenSplits(weights.data(), stretch.first, stretch.last, 2 * cls);
    });
}

// A chain leaves out the terms beyond g where each probability is below e^-limit, limit = ln(M / ε), M bounding
// what the terms beyond g weigh together: for the pairs of class i above g, 2 V_i times the V_i types above g / 2
// (one of the two is), V_i the types of frequency at least i, and below g the square of those below g; for single
// types above or below g, their number times 2 + 6 V_k, as their terms enter the variance also through T and δ
// (DeviationRows.cpp). For a type of g tokens, the probability of k among l drawn is below e^(-g KL(k/g || l/N)) on
// the side of g away from k N / l, with or without replacement (Chernoff; Hoeffding for drawing without
// replacement), and g KL(k/g || p) >= k ln(k/x) + x − k for x = g p, since a ln(a/b) >= a − b.
void DeviationTables::addChains(const std::vector<TInData>& records, quint64 density, unsigned threads,
                                DeviationCheckpoints& checkpoints)
{
    const auto chainFor = [&](quint64 count) -> DeviationChain& {
        for (DeviationChain& chain : m_chains) {
            if (chain.count == count)
                return chain;
        }
        DeviationChain chain;
        chain.count = count;
        return m_chains.emplace_back(chain);
    };
    for (size_t column = 0; column < width(); ++column) {
        chainFor(2 * m_classes[column]).pairColumn = int(column);
        chainFor(m_classes[column]).singleColumn = int(column);
    }
    // The types of frequency at least f, found by a pointer that only moves up as the f asked for do.
    std::vector<long double> typesFrom(records.size() + 1, 0);
    for (size_t r = records.size(); r-- > 0;)
        typesFrom[r] = typesFrom[r + 1] + records[r].Poc;
    struct Pointer
    {
        const std::vector<TInData>& records;
        const std::vector<long double>& typesFrom;
        size_t at = 0;
        long double from(quint64 frequency)
        {
            while (at < records.size() && records[at].Freq < frequency)
                ++at;
            return typesFrom[at];
        }
    };
    const quint64 past = records.empty() ? 1 : quint64(records.back().Freq) + 1;
    // Where the weights change, the same for every chain.
    const auto sorted = [](std::vector<quint64> from) {
        std::sort(from.begin(), from.end());
        from.erase(std::unique(from.begin(), from.end()), from.end());
        return from;
    };
    std::vector<quint64> tailFrom{0};
    std::vector<quint64> headFrom{0};
    for (const TInData& record : records) {
        tailFrom.push_back(record.Freq);
        tailFrom.push_back(2 * quint64(record.Freq));
        headFrom.push_back(quint64(record.Freq) + 1);
    }
    tailFrom = sorted(std::move(tailFrom));
    headFrom = sorted(std::move(headFrom));
    // Each chain's reaches on a thread, whichever: a corpus's take milliseconds each.
    m_tails.resize(m_chains.size());
    m_heads.resize(m_chains.size());
    const auto addReaches = [&](size_t c) {
        const DeviationChain& chain = m_chains[c];
        Quarters quick{quickLeftOut};
        Quarters thorough{thoroughLeftOut};
        const bool pairs = chain.pairColumn >= 0;
        const bool singles = chain.singleColumn >= 0;
        const quint64 cls = pairs ? m_classes[size_t(chain.pairColumn)] : 0;
        const long double pairTypes = pairs ? Pointer{records, typesFrom}.from(cls) : 0;
        const long double singleTypes = singles ? Pointer{records, typesFrom}.from(chain.count) : 0;
        // The roots for limits in quarters, rounded up: a few hundred instead of one for each stretch.
        std::vector<long double> above;
        std::vector<long double> below;
        const auto root = [&](size_t quarter, bool up) {
            std::vector<long double>& roots = up ? above : below;
            while (roots.size() <= quarter)
                roots.push_back(exponentReaches(chain.count, roots.size() / 4.0L, up));
            return static_cast<double>(roots[quarter]);
        };
        const auto stretches = [&](const std::vector<quint64>& from, const auto& weight, bool up) {
            Reach result;
            for (const quint64 g : from) {
                result.from.push_back(g);
                const long double w = weight(g);
                result.x[0].push_back(root(quick.of(w), up));
                result.x[1].push_back(root(thorough.of(w), up));
            }
            return result;
        };
        Pointer halfAbove{records, typesFrom};
        Pointer singleAbove{records, typesFrom};
        m_tails[c] = stretches(
            tailFrom,
            [&](quint64 g) {
                return (pairs ? 2 * pairTypes * halfAbove.from(std::max(cls, g / 2 + 1)) : 0) +
                       (singles ? (2 + 6 * singleTypes) * singleAbove.from(std::max(chain.count, g + 1)) : 0);
            },
            true);
        Pointer pairBelow{records, typesFrom};
        Pointer singleBelow{records, typesFrom};
        m_heads[c] = stretches(
            headFrom,
            [&](quint64 g) {
                const long double pairsBelow = pairs ? pairTypes - pairBelow.from(std::max(cls, g)) : 0;
                return pairsBelow * pairsBelow +
                       (singles ? (2 + 6 * singleTypes) * (singleTypes - singleBelow.from(std::max(chain.count, g)))
                                : 0);
            },
            false);
    };
    checkpoints.share(m_chains.size(), threads, addReaches);
    m_limit = past - 1 == 0 ? 0 : 2 * (past - 1);
    // No row draws fewer tokens than the first, whose windows reach furthest; a column's pair weights go as far
    // as its own chain's.
    m_pairReaches.assign(width(), 0);
    quint64 reach = 0;
    for (size_t c = 0; c < m_chains.size(); ++c) {
        WindowHint hint;
        const quint64 last = window(c, density, density, true, hint).last;
        reach = std::max(reach, last);
        if (m_chains[c].pairColumn >= 0)
            m_pairReaches[size_t(m_chains[c].pairColumn)] = last;
    }
    m_limit = std::min<quint64>({m_tokens, m_limit, reach});
    for (quint64& pairReach : m_pairReaches)
        pairReach = std::min(pairReach, m_limit);
}

namespace {

// The first b of 0..count − 1 where `holds`, for a property that holds from some b on and at count − 1. Looked for
// next to the hint first: the windows of one group of rows and the next mostly end in the same stretches.
template <typename Holds>
size_t firstHolding(size_t count, size_t& hint, const Holds& holds)
{
    size_t low = 0;
    size_t high = count - 1;
    if (hint < count) {
        if (!holds(hint))
            low = hint + 1;
        else if (hint == 0 || !holds(hint - 1))
            return hint;
        else
            high = hint - 1;
    }
    while (low < high) {
        const size_t middle = (low + high) / 2;
        if (holds(middle))
            high = middle;
        else
            low = middle + 1;
    }
    hint = low;
    return low;
}

} // namespace

// In doubles, each end one g further out than computed, for the roundings of the shares.
DeviationWindow DeviationTables::window(size_t chain, quint64 fewest, quint64 most, bool thorough,
                                        WindowHint& hint) const
{
    const double n = static_cast<double>(m_tokens);
    const double k = static_cast<double>(m_chains[chain].count);
    const size_t precision = thorough ? 1 : 0;
    DeviationWindow window;
    // The first g from which the terms above weigh little enough for the row with the fewest tokens drawn. Once the
    // window ends inside a stretch it does so in every later one, as the weights only fall.
    const double fewestStretch = n / static_cast<double>(fewest);
    const Reach& tail = m_tails[chain];
    const auto lastAt = [&](size_t b) {
        return std::max({static_cast<double>(tail.from[b]), std::ceil(k * fewestStretch) + 1,
                         std::ceil(tail.x[precision][b] * fewestStretch) + 1});
    };
    const auto lastInside = [&](size_t b) {
        return b + 1 == tail.from.size() || lastAt(b) < static_cast<double>(tail.from[b + 1]);
    };
    const size_t lastStretch = firstHolding(tail.from.size(), hint.tail, lastInside);
    window.last = std::min<quint64>(m_limit, static_cast<quint64>(std::min(lastAt(lastStretch), 1e18)));
    // The last g up to which the terms below weigh little enough for the row with the most tokens drawn.
    const double mostStretch = n / static_cast<double>(most);
    const Reach& head = m_heads[chain];
    const auto firstAt = [&](size_t b) {
        const double end = b + 1 == head.from.size() ? 1e18 : static_cast<double>(head.from[b + 1] - 1);
        return std::min({end, std::floor(k * mostStretch) - 1, std::floor(head.x[precision][b] * mostStretch) - 1});
    };
    const auto firstInside = [&](size_t b) {
        return firstAt(b) >= static_cast<double>(head.from[b]);
    };
    // The last stretch the window can start in is the first one after which it cannot.
    const size_t firstStretch = firstHolding(
        head.from.size(), hint.head, [&](size_t b) { return b + 1 == head.from.size() || !firstInside(b + 1); });
    window.first = std::max(m_chains[chain].count, static_cast<quint64>(std::max(firstAt(firstStretch), 0.0)));
    return window;
}

void DeviationTables::fillTables(const std::vector<TInData>& records, unsigned threads,
                                 DeviationCheckpoints& checkpoints)
{
    // In parts, each a chance to stop, which threads take in turn: the first touch of a corpus's tables takes
    // milliseconds, and each entry is the same whoever fills it.
    std::vector<std::function<void()>> parts;
    const auto fill = [&](double* out, double first, double step, size_t count) {
        for (size_t done = 0; done < count; done += entriesPerPart) {
            parts.emplace_back([=] {
                fillReciprocals(out + done, first + static_cast<double>(done) * step, step,
                                std::min(entriesPerPart, count - done));
            });
        }
    };
    m_inverses.resize(m_limit + 1);
    fill(m_inverses.data(), static_cast<double>(m_tokens), -1, std::min(m_limit + 1, m_tokens));
    m_reciprocals.resize(m_limit + 2);
    fill(m_reciprocals.data() + 1, 1, 1, m_limit + 1);
    m_types.resize(m_limit + 1);
    for (size_t done = 0; done < m_types.size(); done += entriesPerPart)
        parts.emplace_back(
            [this, done] { touchPages(m_types, done, std::min(m_types.size(), done + entriesPerPart)); });
    checkpoints.share(parts.size(), threads, [&](size_t i) { parts[i](); });
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

template <typename Sum>
DeviationTables::PairTerms<Sum> DeviationTables::pairTerms(const std::vector<TInData>& records, size_t column)
{
    PairTerms<Sum> terms;
    terms.cls = m_classes[column];
    terms.limit = m_pairReaches[column];
    terms.dense = std::max(m_denseFrequencies, terms.cls);
    terms.low.assign(terms.dense + 1, Sum(0));
    long double types = 0;
    for (const TInData& record : records) {
        if (record.Freq < terms.cls)
            continue;
        const Sum coefficient = static_cast<Sum>(std::exp(logBinomialCoefficient(record.Freq, terms.cls)));
        const Sum count = record.Poc;
        if (record.Freq <= terms.dense)
            terms.low[record.Freq] = count * coefficient;
        else
            terms.high.push_back({record.Freq, count * coefficient});
        if (2 * quint64(record.Freq) <= terms.limit)
            terms.sameFrequency.push_back({2 * quint64(record.Freq), count * (count - 1) * coefficient * coefficient});
        types += record.Poc;
    }
    // A sum adds at most J products, each within 7 roundings, and the division adds 2; for the type curve they are
    // integers, exact below 2^53.
    const double recordCount = static_cast<double>(records.size());
    if (terms.cls == 0 && types * types < 0x1p53L)
        m_pairWeightErrors[column] = 0;
    else if constexpr (std::is_same_v<Sum, double>)
        m_pairWeightErrors[column] = (recordCount + 2 * terms.cls + 12) * unit;
    else
        m_pairWeightErrors[column] = unit + (recordCount + 600) * 0x1p-64;
    return terms;
}

// Adds the sums of C(f_s, i) C(f_t, i) over the pairs of types with f_s + f_t = g, for g = first..last: the pairs
// of one frequency, then those of two low frequencies, then those with a high one. A stopped run drops the
// tables: what the loops leave undone does not matter then.
template <typename Sum>
void DeviationTables::addPairTerms(const PairTerms<Sum>& terms, Sum* sums, quint64 first, quint64 last,
                                   DeviationCheckpoints& checkpoints)
{
    const Sum* low = terms.low.data();
    // sums[g] += factor low[g − shift] for g = from..to within first..last.
    const auto addStretch = [&](quint64 from, quint64 to, quint64 shift, Sum factor) {
        from = std::max(from, first);
        to = std::min(to, last);
        if (from <= to)
            addScaled(sums + from, low + (from - shift), to - from + 1, factor);
    };
    for (const auto& [g, sum] : terms.sameFrequency) {
        if (g >= first && g <= last)
            sums[g] += sum;
    }
    // A chance to stop every few dozen frequencies: each can add thousands of terms, but asking costs a clock read.
    const auto stopping = [&](quint64 step) {
        return step % 32 == 0 && checkpoints.stopping();
    };
    for (quint64 a = terms.cls; a <= terms.dense && 2 * a < last && !stopping(a); ++a) {
        const quint64 end = std::min(terms.dense, terms.limit - std::min(terms.limit, a));
        if (low[a] != 0 && end > a)
            addStretch(2 * a + 1, a + end, a, 2 * low[a]);
    }
    const auto& high = terms.high;
    for (size_t x = 0; x < high.size() && !stopping(x); ++x) {
        const Sum twice = 2 * high[x].part;
        const quint64 f = high[x].frequency;
        if (f > std::min(terms.limit, last))
            break;
        const quint64 end = std::min(terms.dense, terms.limit - f);
        if (end >= terms.cls)
            addStretch(f + terms.cls, f + end, f, twice);
        // The pairs with a higher frequency from the first whose sum reaches this stretch.
        const auto from = std::partition_point(high.begin() + x + 1, high.end(),
                                               [&](const auto& other) { return f + other.frequency < first; });
        for (auto y = from; y != high.end() && f + y->frequency <= std::min(terms.limit, last); ++y)
            sums[f + y->frequency] += twice * y->part;
    }
}

// The pair weights of a column in extended precision, whole, divided by C(g, 2i) as it is carried along g.
void DeviationTables::fillExtendedPairWeights(const std::vector<TInData>& records, size_t column,
                                              DeviationCheckpoints& checkpoints)
{
    const PairTerms<long double> terms = pairTerms<long double>(records, column);
    Table<long double> sums;
    resizeTouched(sums, terms.limit + 1, checkpoints);
    addPairTerms(terms, sums.data(), 0, terms.limit, checkpoints);
    Table<double>& weights = m_pairWeights[column];
    resizeTouched(weights, terms.limit + 1, checkpoints);
    if (2 * terms.cls <= terms.limit) {
        BinomialCoefficients evenSplits(2 * terms.cls, 2 * terms.cls);
        for (quint64 g = 2 * terms.cls; g <= terms.limit && (g % entriesPerCheckpoint != 0 || !checkpoints.stopping());
             ++g)
            weights[g] = static_cast<double>(sums[g] / evenSplits.next());
    }
}

} // namespace model
