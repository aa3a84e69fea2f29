#pragma once

#include <QtGlobal>

namespace model {

// Probabilities for one type of frequency f when l of the N tokens of a text are drawn without replacement, in
// extended precision. For N below 2^40 each is within 2^-50 of its value relatively where P > e^-50, and within
// 10^-12 where P > 10^-4000 (DrawProbabilities.cpp counts the roundings); below about 10^-4900 it may come out
// as 0. The arguments must satisfy f <= N and l <= N.

// C(N − f, l) / C(N, l): the type does not occur among the l tokens.
long double absenceProbability(quint64 tokens, quint64 frequency, quint64 drawn);

// C(f, i) × C(N − f, l − i) / C(N, l): the type occurs exactly i times among them.
long double classProbability(quint64 tokens, quint64 frequency, quint64 drawn, quint64 count);

// ln C(n, k) for k <= n, within (6 |ln C(n, k)| + 90) 2^-64 of its value.
long double logBinomialCoefficient(quint64 n, quint64 k);

// Neighbouring class probabilities are exact ratios of integers, so a run of classes costs one evaluation and a
// few roundings per class: P(i + 1) = P(i) × nextClassFactor(i) and P(i − 1) = P(i) × previousClassFactor(i),
// each factor adding at most four roundings. Defined where P(i) > 0.
struct ClassFactors
{
    long double tokens = 0;
    long double frequency = 0;
    long double drawn = 0;

    long double next(quint64 count) const
    {
        const long double i = static_cast<long double>(count);
        return (frequency - i) * (drawn - i) / ((i + 1) * (tokens - frequency - drawn + i + 1));
    }
    long double previous(quint64 count) const
    {
        const long double i = static_cast<long double>(count);
        return i * (tokens - frequency - drawn + i) / ((frequency - i + 1) * (drawn - i + 1));
    }
};

} // namespace model
