#pragma once

#include "ModelRows.h"

#include <optional>
#include <span>
#include <thread>
#include <vector>

namespace model {

// The model's values at any step, each evaluated on its own from the spectrum in extended precision: every term
// is a draw probability (DrawProbabilities.h), the terms no printed digit depends on are left out under a bound,
// and the rest are added with compensation. The README bounds the error (below 3.5 × 10^-10 for 10^9 tokens and
// 8 × 10^6 types, before the value is rounded to a double).
class DirectRows
{
public:
    DirectRows(const Spectrum& spectrum, const measure::CurveColumns& columns);

    // Values a row: the type curve when on, then the classes from `from` up to the last that can differ from zero.
    size_t width() const { return m_width; }
    quint64 tokens() const { return m_tokens; }
    // The records a row after `drawn` tokens takes in at most, the measure of what evaluating it costs.
    size_t recordsTakenIn(quint64 drawn) const;

    // One thread's evaluations.
    class Evaluator
    {
    public:
        explicit Evaluator(const DirectRows& rows);
        // The row after `drawn` tokens (at most N); with `column`, only that value.
        void evaluate(quint64 drawn, std::span<double> values, std::optional<size_t> column = {});

    private:
        // Terms are added plainly in groups of a few records and the groups' totals with compensation (Knuth's
        // two-sum): the total is within (groupRecords + 2) u of the sum of the terms' sizes, whatever their number.
        struct Sum
        {
            long double group = 0;
            long double value = 0;
            long double compensation = 0;
            void add(long double term) { group += term; }
            void close()
            {
                const long double sum = value + group;
                const long double back = sum - value;
                compensation += (value - (sum - back)) + (group - back);
                value = sum;
                group = 0;
            }
            long double total()
            {
                close();
                return value + compensation;
            }
        };
        struct Absence
        {
            quint64 frequency = 0;
            long double probability = 0;
            quint64 carried = 0; // factors since the last evaluation of its own
        };

        long double absence(quint64 drawn, quint64 frequency);
        // `absent` is the record's absence probability, or negative when it was not evaluated.
        void addClasses(quint64 drawn, size_t record, long double absent, quint64 low, quint64 high);

        const DirectRows& m_rows;
        Absence m_previous;
        std::vector<Sum> m_classes;
    };

private:
    struct Record
    {
        quint64 frequency = 0;
        long double types = 0;
        long double logFrequency = 0;
        long double logTypesFrom = 0; // of this record and all after it
        long double logTypesUpTo = 0; // of this record and all before it
    };

    size_t typeWindowEnd(quint64 drawn) const;
    size_t classWindowStart(quint64 drawn, quint64 low) const;
    size_t classWindowEnd(quint64 drawn, quint64 high) const;

    std::vector<Record> m_records;            // ascending frequency
    std::vector<long double> m_logFactorials; // of the classes from..last
    quint64 m_tokens = 0;
    long double m_types = 0;
    bool m_ttr = false;
    quint64 m_from = 0;
    quint64 m_last = 0; // below m_from: no classes
    size_t m_width = 0;
};

// Values evaluated between two hand-overs to the sink.
inline constexpr size_t valuesPerBatch = size_t(1) << 18;

// Every `density`-th row from the direct evaluation; `threads` share the rows, which keeps the bits.
void computeDirectRows(const DirectRows& rows, quint64 density, RowSink& sink, unsigned threads);

// Runs work(worker) for worker = 0..workers − 1, each on a thread of its own (the first on this one).
template <typename Work>
void runOnThreads(unsigned workers, const Work& work)
{
    std::vector<std::jthread> helpers;
    for (unsigned worker = 1; worker < workers; ++worker)
        helpers.emplace_back([&work, worker] { work(worker); });
    work(0);
}

} // namespace model
