#include "ClassTermStart.h"

#include "DrawProbabilities.h"

#include <cfloat>

namespace model {
namespace {

// n × C(f, i) / C(N, i) as a running product of the factors (f + k − i) / (N + k − i), k = 1..i.
double productStart(quint64 frequency, quint32 types, quint64 tokens, quint64 cls)
{
    double term = types;
    const double f = frequency;
    const double n = static_cast<double>(tokens);
    const double i = static_cast<double>(cls);
    for (quint64 k = 1; k <= cls; ++k)
        term = term * (f + static_cast<double>(k) - i) / (n + static_cast<double>(k) - i);
    return term;
}

// Whether the term grows from step l to l + 1; true up to its mode, false after (the terms are unimodal in l).
bool growsAfter(quint64 frequency, quint64 tokens, quint64 cls, quint64 step)
{
    // Exact for texts below 2^32 tokens; beyond that only the mode may move by a step.
    const long double rise = static_cast<long double>(tokens - frequency - (step - cls)) * (step + 1);
    const long double fall = static_cast<long double>(step + 1 - cls) * (tokens - step);
    return rise >= fall;
}

double normalValueAt(quint64 frequency, quint32 types, quint64 tokens, quint64 cls, quint64 step)
{
    const double value = static_cast<double>(types * classProbability(tokens, frequency, step, cls));
    return value >= DBL_MIN ? value : 0.0;
}

} // namespace

std::optional<ClassTermStart> classTermStart(quint64 frequency, quint32 types, quint64 tokens, quint64 cls)
{
    if (frequency < cls || cls > tokens)
        return std::nullopt;
    const double start = productStart(frequency, types, tokens, cls);
    if (start >= DBL_MIN)
        return ClassTermStart{cls, start};

    // The product underflowed: the term is far below its mode here. Find the mode, then the first step of the
    // rising side where the term is a normal double; a term that never gets there stays zero.
    const quint64 lastStep = tokens - frequency + cls;
    quint64 low = cls;
    quint64 high = lastStep;
    while (low < high) {
        const quint64 middle = low + (high - low) / 2;
        if (growsAfter(frequency, tokens, cls, middle))
            low = middle + 1;
        else
            high = middle;
    }
    if (normalValueAt(frequency, types, tokens, cls, low) == 0.0)
        return std::nullopt;
    high = low;
    low = cls;
    while (low < high) {
        const quint64 middle = low + (high - low) / 2;
        if (normalValueAt(frequency, types, tokens, cls, middle) != 0.0)
            high = middle;
        else
            low = middle + 1;
    }
    return ClassTermStart{low, normalValueAt(frequency, types, tokens, cls, low)};
}

} // namespace model
