#pragma once

#include <QtGlobal>

#include <cstddef>
#include <span>

namespace model {

// The numerator and ratio of one step, shared by every record of a lane.
struct StepFactors
{
    double base = 0.0; // the numerator is base − f
    double ratio = 0.0;
};
// The factors of `count` consecutive steps from `first` on, all after the class, for the type curve (class 0)
// or a frequency class. The ratio of a class is l / (l − i) / (N − l + 1), evaluated left to right.
void stepFactors(quint64 cls, quint64 tokens, quint64 first, size_t count, StepFactors* factors);

// Moves `count` terms from `from` to `to` (which may be the same) through one step per entry of `factors`, whose
// bases fall by one a step: term := term × max(base − f, 0) × ratio. Once the integer numerator has reached 0 the
// term is +0, so the clamp only keeps the later, negative numerators from turning it into −0; every non-zero
// result has the same bits as the unclamped product.
void advanceTerms(const double* from, double* to, const double* frequencies, size_t count,
                  std::span<const StepFactors> factors);

// While one exists, a term that would fall below the smallest normal double is zero (in this thread). It changes no
// sum that is not itself that small, and some processors take a hundred times longer for each operation on such
// a term, which the type terms of frequent words pass through on their way to zero.
class SubnormalsFlushed
{
public:
    SubnormalsFlushed();
    ~SubnormalsFlushed();
    SubnormalsFlushed(const SubnormalsFlushed&) = delete;
    SubnormalsFlushed& operator=(const SubnormalsFlushed&) = delete;

private:
    unsigned m_saved = 0;
};

// The rows of a block are summed together: `snapshots` holds the terms of row after row, `count` apiece. Each
// row's sum still takes its terms in array order; only the rows run side by side.
inline constexpr size_t rowsPerBlock = 8;
void sumRows(const double* snapshots, size_t count, bool subtract, double* sums);

} // namespace model
