#pragma once

#include "DeviationCheckpoints.h"
#include "Model.h"

#include "measure/CurveFileHeader.h"

#include <array>
#include <type_traits>
#include <utility>
#include <vector>

namespace model {

// The g whose terms a chain takes, first..last; none where first > last.
struct DeviationWindow
{
    quint64 first = 0;
    quint64 last = 0;
};

// What the terms a window leaves out on either side of a chain weigh at most: rows evaluated side by side keep to
// the first, a row evaluated again on its own to the second.
inline constexpr long double quickLeftOut = 0x1p-28L;
inline constexpr long double thoroughLeftOut = 0x1p-44L;

// A running evaluation of the probability that a type of g tokens occurs exactly `count` times among the l
// drawn, for g = first..last at once for several rows (DeviationChain.h). The type curve needs count 0 for single
// types and for pairs, class i needs count i for single types and 2i for pairs (the two types of a pair together).
struct DeviationChain
{
    quint64 count = 0;
    int pairColumn = -1;   // the column whose pairs of types the chain sums, or -1
    int singleColumn = -1; // the column whose single types it sums, or -1
};

// Memory for the tables, tens of megabytes for a corpus: in huge pages where the system gives them, since handing
// out and clearing that many small pages takes about as long as filling the tables. It arrives cleared, as the
// numbers of a table sized with resize() start out, so they are not cleared a second time.
template <typename T>
struct TableAllocator
{
    using value_type = T;
    TableAllocator() = default;
    template <typename U>
    TableAllocator(const TableAllocator<U>&)
    {}
    T* allocate(size_t n);
    void deallocate(T* p, size_t n);
    template <typename U>
    void construct(U*) noexcept
    {}
    template <typename U, typename... Arguments>
    void construct(U* p, Arguments&&... arguments)
    {
        ::new (static_cast<void*>(p)) U(std::forward<Arguments>(arguments)...);
    }
    friend bool operator==(const TableAllocator&, const TableAllocator&) { return true; }
};
// Arithmetic only: a number whose bits are all zero is zero.
template <typename T>
requires std::is_arithmetic_v<T>
using Table = std::vector<T, TableAllocator<T>>;

// What the deviation rows of a run share: the spectrum, the chains and, over g = 0..limit(), the tables their
// steps read and the weights of the pairs of types.
class DeviationTables
{
public:
    // The rows of the run are those after every `density` tokens; the first decides how far the tables reach.
    // `threads` share the work, which stops when the checkpoints throw.
    DeviationTables(const Spectrum& spectrum, const measure::CurveColumns& columns, quint64 density, unsigned threads,
                    DeviationCheckpoints& checkpoints);

    quint64 tokens() const { return m_tokens; }
    // Values a row: the type curve when on, then the classes from `from` up to the last that can differ from zero.
    size_t width() const { return m_classes.size(); }
    // The frequency class of a column; 0 for the type curve.
    quint64 columnClass(size_t column) const { return m_classes[column]; }
    const std::vector<DeviationChain>& chains() const { return m_chains; }
    // Where the last window of a chain ended and started, in the stretches of its weights.
    struct WindowHint
    {
        size_t tail = 0;
        size_t head = 0;
    };
    // The window of a chain for rows drawing `fewest` to `most` tokens, leaving out terms that weigh at most
    // quickLeftOut, or thoroughLeftOut, on either side; the hint is where the chain's last window was.
    DeviationWindow window(size_t chain, quint64 fewest, quint64 most, bool thorough, WindowHint& hint) const;

    quint64 limit() const { return m_limit; }
    // 1 / (N − g) for g below N.
    double inverse(quint64 g) const { return m_inverses[g]; }
    // 1 / m for m = 1..limit + 1.
    double reciprocal(quint64 m) const { return m_reciprocals[m]; }
    // The number of types of frequency g.
    double types(quint64 g) const { return m_types[g]; }
    // Whether a frequency of the spectrum lies in g = 32 block .. 32 block + 31.
    bool typesInBlock(quint64 block) const { return m_typeBlocks[block] != 0; }
    // For each g up to the reach of the column's pair chain, the number of ordered pairs of different types s, t with
    // f_s + f_t = g, each weighted by the probability C(f_s, i) C(f_t, i) / C(g, 2i) that the pair's 2i occurrences
    // split evenly between them.
    const double* pairWeights(size_t column) const { return m_pairWeights[column].data(); }
    // A bound on the relative error of those weights.
    double pairWeightError(size_t column) const { return m_pairWeightErrors[column]; }

private:
    // Where the terms of a chain beyond g weigh little enough: on each stretch from[b] <= g < from[b + 1], at
    // x = g l / N beyond x[.][b], for the quick and the thorough window.
    struct Reach
    {
        std::vector<quint64> from;
        std::array<std::vector<double>, 2> x;
    };

    void addChains(const std::vector<TInData>& records, quint64 density, unsigned threads,
                   DeviationCheckpoints& checkpoints);
    void fillTables(const std::vector<TInData>& records, unsigned threads, DeviationCheckpoints& checkpoints);
    // The terms of a column's pair weights: each type's part n C(f, i), in an array over the low frequencies,
    // where nearly every frequency occurs and the pairs of one with all of them are added by one loop over the
    // array, and as a list above; and the pairs of two types of one frequency.
    template <typename Sum>
    struct PairTerms
    {
        struct High
        {
            quint64 frequency;
            Sum part;
        };
        quint64 cls = 0;
        quint64 limit = 0;
        quint64 dense = 0;
        std::vector<Sum> low;
        std::vector<High> high;
        std::vector<std::pair<quint64, Sum>> sameFrequency;
    };

    void fillPairWeights(const std::vector<TInData>& records, quint64 highest, quint64 types, unsigned threads,
                         DeviationCheckpoints& checkpoints);
    template <typename Sum>
    PairTerms<Sum> pairTerms(const std::vector<TInData>& records, size_t column);
    template <typename Sum>
    static void addPairTerms(const PairTerms<Sum>& terms, Sum* sums, quint64 first, quint64 last,
                             DeviationCheckpoints& checkpoints);
    void fillExtendedPairWeights(const std::vector<TInData>& records, size_t column, DeviationCheckpoints& checkpoints);

    quint64 m_tokens = 0;
    std::vector<quint64> m_classes;
    std::vector<DeviationChain> m_chains;
    std::vector<Reach> m_tails;
    std::vector<Reach> m_heads;
    quint64 m_limit = 0;
    quint64 m_denseFrequencies = 0;
    Table<double> m_inverses;
    Table<double> m_reciprocals;
    Table<double> m_types;
    std::vector<char> m_typeBlocks;
    std::vector<quint64> m_pairReaches;
    std::vector<Table<double>> m_pairWeights;
    std::vector<double> m_pairWeightErrors;
};

} // namespace model
