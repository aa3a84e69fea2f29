#include "ModelRows.h"

#include "DirectRows.h"
#include "ModelNumber.h"
#include "SteppedRows.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace model {
namespace {

// Costs in nanoseconds of one core of the project's machine (Release build); only their ratios matter.
constexpr double stepCost = 0.07;       // one term moved on by one token
constexpr double laneStepCost = 13;     // a column's factors for one token
constexpr double checkCost = 10;        // a stepped value checked against its error bound
constexpr double rowCost = 1000;        // finding the records a direct row needs
constexpr double carriedCost = 13;      // a record's absence probability carried one factor from the record before
constexpr double evaluatedCost = 250;   // a record's absence probability evaluated on its own
constexpr double classCost = 5;         // one class of a record
constexpr double highClassesCost = 700; // the first of classes that do not start from the absence probability
constexpr quint64 carriedGap = 16;      // as DirectRows carries absence probabilities

// Direct rows take a record while l f / N stays below about this (the absence probability falls as e^(−l f / N)).
constexpr double reachOfAbsence = 40;

// Direct evaluations of a record's terms between two chances to stop, some 25 ms of one core at the most.
constexpr size_t recordEvaluationsPerTurn = size_t(1) << 17;

// Steps at which the curves are estimated to foresee the rechecks of stepped values.
constexpr int estimateSteps = 16;

// The share of stepped values a direct evaluation replaces: those whose error bound, 3 l u times the absent types
// or 4 l u times a class (steppingErrorBound), reaches a rounding boundary a thousandth away. The curves are
// estimated as if the tokens were drawn with replacement; classes above 8 are left out.
double recheckedShare(const std::vector<TInData>& records, double tokens, double types, bool ttr, quint64 from,
                      quint64 last)
{
    const quint64 lowTop = std::min<quint64>(last, 8);
    const double width = (ttr ? 1 : 0) + static_cast<double>(last >= from ? last - from + 1 : 0);
    const double unit = 0x1p-53;
    std::vector<double> classes(lowTop + 1);
    double share = 0;
    for (int k = 0; k < estimateSteps; ++k) {
        const double p = (k + 0.5) / estimateSteps;
        const double l = p * tokens;
        double absent = 0;
        std::fill(classes.begin(), classes.end(), 0.0);
        for (const TInData& record : records) {
            const double f = record.Freq;
            double binomial = std::exp(f * std::log1p(-p));
            absent += record.Poc * binomial;
            for (quint64 i = 1; i <= lowTop; ++i) {
                binomial *= (f - static_cast<double>(i) + 1) / static_cast<double>(i) * p / (1 - p);
                classes[i] += record.Poc * binomial;
            }
        }
        const auto rechecked = [](double bound) {
            return std::min(1.0, 2 * bound / 0.001);
        };
        if (ttr)
            share += rechecked(3 * l * unit * absent + 2 * static_cast<double>(records.size()) * unit * types);
        for (quint64 i = std::max<quint64>(from, 1); i <= lowTop; ++i)
            share += rechecked(4 * l * unit * std::max(classes[i], 0.0));
    }
    return width > 0 ? share / (estimateSteps * width) : 0;
}

// Passes stepped rows on; a value whose error bound reaches a rounding boundary is evaluated directly instead,
// so that no printed digit is one the rounding of the steps could have changed. The rows wait in batches, whose
// rechecks `threads` share.
class CheckedRows final : public RowSink
{
public:
    CheckedRows(const Spectrum& spectrum, const measure::CurveColumns& columns, quint64 density,
                const DirectRows& direct, RowSink& sink, unsigned threads)
        : m_density(density),
          m_ttr(columns.ttr),
          m_types(static_cast<double>(spectrum.V)),
          m_records(spectrum.records.size()),
          m_threads(threads),
          m_direct(direct),
          m_sink(sink)
    {}

    void addRow(std::span<const double> values) override
    {
        m_width = values.size();
        m_values.insert(m_values.end(), values.begin(), values.end());
        ++m_rows;
        if (m_values.size() >= valuesPerBatch)
            finish();
    }

    void rowsComputed(quint64 rows) override
    {
        m_computed = rows;
        m_sink.rowsComputed(rows);
    }

    // Hands the rows still waiting on.
    void finish()
    {
        struct Cell
        {
            quint64 row;
            size_t column;
        };
        std::vector<Cell> rechecks;
        for (quint64 row = 0; row < m_rows; ++row) {
            for (size_t column = 0; column < m_width; ++column) {
                const double value = m_values[row * m_width + column];
                const bool typeCurve = m_ttr && column == 0;
                if (!printsAlikeWithin(value, steppingErrorBound(value, drawn(row), typeCurve, m_types, m_records)))
                    rechecks.push_back({row, column});
            }
        }
        // The rechecks go in turns short enough for a stop to be heard in time; each value is evaluated on its own,
        // so the turns do not change a bit.
        const size_t perTurn = std::max<size_t>(1, recordEvaluationsPerTurn / std::max<size_t>(m_records, 1));
        for (size_t begin = 0; begin < rechecks.size(); begin += perTurn) {
            const size_t count = std::min(perTurn, rechecks.size() - begin);
            const unsigned workers = static_cast<unsigned>(std::clamp<size_t>(m_threads, 1, count));
            runOnThreads(workers, [&](unsigned worker) {
                DirectRows::Evaluator evaluator(m_direct);
                for (size_t k = begin + worker; k < begin + count; k += workers) {
                    const Cell& cell = rechecks[k];
                    evaluator.evaluate(drawn(cell.row), std::span(m_values.data() + cell.row * m_width, m_width),
                                       cell.column);
                }
            });
            if (begin + count < rechecks.size())
                m_sink.rowsComputed(m_computed);
        }
        for (quint64 row = 0; row < m_rows; ++row)
            m_sink.addRow(std::span<const double>(m_values.data() + row * m_width, m_width));
        m_firstRow += m_rows;
        m_rows = 0;
        m_values.clear();
    }

private:
    quint64 drawn(quint64 row) const { return (m_firstRow + row + 1) * m_density; }

    quint64 m_density = 1;
    bool m_ttr = false;
    double m_types = 0;
    size_t m_records = 0;
    unsigned m_threads = 1;
    const DirectRows& m_direct;
    RowSink& m_sink;
    quint64 m_firstRow = 0;
    quint64 m_rows = 0;
    quint64 m_computed = 0;
    size_t m_width = 0;
    std::vector<double> m_values;
};

} // namespace

ModelMethod chooseModelMethod(const Spectrum& spectrum, const measure::CurveColumns& columns, quint64 density)
{
    std::vector<TInData> records;
    for (const TInData& record : spectrum.records) {
        if (record.Freq > 0)
            records.push_back(record);
    }
    if (records.empty() || density == 0 || spectrum.N < density)
        return ModelMethod::Stepping;
    std::sort(records.begin(), records.end(), [](const TInData& a, const TInData& b) { return a.Freq < b.Freq; });
    const bool classes = columns.from >= 1 && columns.to >= columns.from;
    const quint64 last = classes ? std::min<quint64>({columns.to, records.back().Freq, spectrum.N}) : 0;
    const double classCount = classes && last >= columns.from ? static_cast<double>(last - columns.from + 1) : 0;
    const double width = (columns.ttr ? 1 : 0) + classCount;
    const double tokens = static_cast<double>(spectrum.N);
    const double rows = std::floor(tokens / static_cast<double>(density));

    double terms = columns.ttr ? static_cast<double>(records.size()) : 0;
    for (quint64 i = columns.from; classCount > 0 && i <= last; ++i) {
        terms += static_cast<double>(records.end() -
                                     std::lower_bound(records.begin(), records.end(), i,
                                                      [](const TInData& r, quint64 f) { return r.Freq < f; }));
    }

    // A record takes part in the rows up to l = reach N / f; the classes reach further than the absence.
    const double reach = reachOfAbsence + (classCount > 0 ? static_cast<double>(last) + 4 * std::sqrt(last) : 0);
    const double perRecord = classCount * classCost + (columns.from > 8 && classCount > 0 ? highClassesCost : 0);
    double direct = rows * rowCost;
    quint64 previous = 0;
    for (const TInData& record : records) {
        const double takenRows =
            std::min(rows, std::floor(reach * tokens / (static_cast<double>(record.Freq) * density)));
        const quint64 gap = record.Freq - previous;
        direct +=
            takenRows * ((gap <= carriedGap ? carriedCost * static_cast<double>(gap) : evaluatedCost) + perRecord);
        previous = record.Freq;
    }
    const double share = recheckedShare(records, tokens, static_cast<double>(spectrum.V), columns.ttr,
                                        classCount > 0 ? columns.from : 1, last);
    const double stepping =
        tokens * (terms * stepCost + width * laneStepCost) + rows * width * checkCost + share * direct;
    return direct < stepping ? ModelMethod::Direct : ModelMethod::Stepping;
}

void computeModelRows(const Spectrum& spectrum, const measure::CurveColumns& columns, quint64 density, RowSink& sink,
                      unsigned threads)
{
    if (density == 0 || spectrum.N < density)
        return;
    const DirectRows direct(spectrum, columns);
    if (chooseModelMethod(spectrum, columns, density) == ModelMethod::Direct) {
        computeDirectRows(direct, density, sink, threads);
        return;
    }
    CheckedRows checked(spectrum, columns, density, direct, sink, threads);
    computeSteppedRows(spectrum, columns, density, checked, threads);
    checked.finish();
}

} // namespace model
