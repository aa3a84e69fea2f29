#include "DirectRows.h"

#include "DrawProbabilities.h"

#include <algorithm>
#include <cmath>

namespace model {
namespace {

__extension__ typedef __int128 SignedWide;

// What may be left out of a value on either side of the terms added: records whose terms together are below
// this.
const long double logNegligible = -36 * std::log(2.0L);
// An absence probability is carried from the record before while the factors between are few; they add 2 u each,
// at most 64 u to the evaluation the carrying started from.
constexpr quint64 carryGap = 16;
constexpr quint64 carryLimit = 32;
// The lowest classes start from the absence probability, a few exact factors (4 u each) away.
constexpr quint64 classesFromAbsence = 8;
// Records whose terms are added plainly before the sums take them with compensation.
constexpr size_t groupRecords = 32;

// A record of a row costs about six times what one of its classes does (some 30 ns against 5); a batch costs some
// 20 ms of one core at the most.
constexpr quint64 evaluationCostPerRecord = 6;
constexpr quint64 costPerBatch = 4'000'000;

} // namespace

DirectRows::DirectRows(const Spectrum& spectrum, const measure::CurveColumns& columns)
    : m_tokens(spectrum.N),
      m_ttr(columns.ttr)
{
    long double types = 0;
    quint64 highest = 0;
    for (const TInData& record : spectrum.records) {
        // A type that never occurs is absent from every part of the text.
        if (record.Freq == 0)
            continue;
        m_records.push_back({.frequency = record.Freq, .types = static_cast<long double>(record.Poc)});
        types += record.Poc;
        highest = std::max<quint64>(highest, record.Freq);
    }
    m_types = types;
    std::stable_sort(m_records.begin(), m_records.end(),
                     [](const Record& a, const Record& b) { return a.frequency < b.frequency; });
    long double upTo = 0;
    for (Record& record : m_records) {
        upTo += record.types;
        record.logFrequency = std::log(static_cast<long double>(record.frequency));
        record.logTypesUpTo = std::log(upTo);
    }
    long double from = 0;
    for (auto record = m_records.rbegin(); record != m_records.rend(); ++record) {
        from += record->types;
        record->logTypesFrom = std::log(from);
    }

    if (columns.from >= 1 && columns.to >= columns.from) {
        m_from = columns.from;
        m_last = std::min<quint64>({columns.to, highest, m_tokens});
    }
    const size_t classes = m_last >= m_from && m_from >= 1 ? m_last - m_from + 1 : 0;
    for (quint64 i = m_from; i < m_from + classes; ++i)
        m_logFactorials.push_back(std::lgamma(static_cast<long double>(i) + 1));
    m_width = (m_ttr ? 1 : 0) + classes;
}

// A type of frequency f is absent from l tokens with probability at most (1 − l/N)^f; the records are cut where
// that bound, for all the types from there on, is negligible.
size_t DirectRows::typeWindowEnd(quint64 drawn) const
{
    const long double logKept = std::log1p(-static_cast<long double>(drawn) / static_cast<long double>(m_tokens));
    const auto kept = std::partition_point(m_records.begin(), m_records.end(), [&](const Record& r) {
        return !(r.logTypesFrom + static_cast<long double>(r.frequency) * logKept <= logNegligible);
    });
    return kept - m_records.begin();
}

size_t DirectRows::recordsTakenIn(quint64 drawn) const
{
    const quint64 high = std::min(m_last, drawn);
    const size_t classes = high >= m_from && m_from >= 1 ? classWindowEnd(drawn, high) : 0;
    return std::max(m_ttr ? typeWindowEnd(drawn) : 0, classes);
}

// Classes from i on: a type occurs at least i times with probability at most E[C(X, i)] = C(f, i) (l)_i / (N)_i,
// below f^i / i! × (l/N)^i, which grows with f; the records are cut where that bound, for all the types up to
// there, is negligible.
size_t DirectRows::classWindowStart(quint64 drawn, quint64 low) const
{
    const long double logShare = std::log(static_cast<long double>(drawn) / static_cast<long double>(m_tokens));
    const long double logFactorial = m_logFactorials[low - m_from];
    const long double i = static_cast<long double>(low);
    const auto skipped = std::partition_point(m_records.begin(), m_records.end(), [&](const Record& r) {
        return r.logTypesUpTo + i * (r.logFrequency + logShare) - logFactorial <= logNegligible;
    });
    return skipped - m_records.begin();
}

// Classes up to h: once the probabilities of a type's counts rise up to h (P(h − 1) <= P(h)), a class up to h
// has probability at most P(X <= h) <= (h + 1) P(h), and P(X <= h) only falls as f grows. P(h) is below
// C(f, h) (l)_h / (N)_h ρ^(f − h) with ρ = (N − l) / (N − h), and below f^h / h! (l/N)^h ρ^(f − h), which falls
// with f once f ln(1/ρ) >= h.
size_t DirectRows::classWindowEnd(quint64 drawn, quint64 high) const
{
    if (drawn == m_tokens) {
        // Every type occurs exactly as often as in the whole text.
        return std::partition_point(m_records.begin(), m_records.end(),
                                    [&](const Record& r) { return r.frequency <= high; }) -
               m_records.begin();
    }
    const long double n = static_cast<long double>(m_tokens);
    const long double h = static_cast<long double>(high);
    const long double logShare = std::log(static_cast<long double>(drawn) / n);
    const long double logRho = std::log1p(-static_cast<long double>(drawn - high) / (n - h));
    const long double constant = std::log(h + 1) - m_logFactorials[high - m_from] + h * logShare;
    const auto kept = std::partition_point(m_records.begin(), m_records.end(), [&](const Record& r) {
        if (r.frequency < high)
            return true;
        const SignedWide rise = SignedWide(r.frequency - high + 1) * SignedWide(drawn - high + 1);
        const SignedWide fall = SignedWide(high) * (SignedWide(m_tokens) + high - r.frequency - drawn);
        const long double beyond = static_cast<long double>(r.frequency - high);
        if (rise < fall || static_cast<long double>(r.frequency) * -logRho < h)
            return true;
        const long double logBound =
            r.logTypesFrom + constant + h * r.logFrequency + (beyond == 0 ? 0.0L : beyond * logRho);
        return !(logBound <= logNegligible);
    });
    return kept - m_records.begin();
}

DirectRows::Evaluator::Evaluator(const DirectRows& rows)
    : m_rows(rows),
      m_classes(rows.m_last >= rows.m_from && rows.m_from >= 1 ? rows.m_last - rows.m_from + 1 : 0)
{}

long double DirectRows::Evaluator::absence(quint64 drawn, quint64 frequency)
{
    const quint64 tokens = m_rows.m_tokens;
    if (frequency > tokens - drawn)
        return 0;
    const Absence& previous = m_previous;
    const quint64 gap = frequency - previous.frequency;
    if (previous.probability > 0 && frequency >= previous.frequency && gap <= carryGap &&
        previous.carried + gap <= carryLimit) {
        long double probability = previous.probability;
        for (quint64 k = previous.frequency; k < frequency; ++k)
            probability *= static_cast<long double>(tokens - drawn - k) / static_cast<long double>(tokens - k);
        m_previous = {frequency, probability, previous.carried + gap};
    } else {
        m_previous = {frequency, absenceProbability(tokens, frequency, drawn), 0};
    }
    return m_previous.probability;
}

// One record's terms in the classes low..high: one probability evaluated, the others reached by exact factors.
void DirectRows::Evaluator::addClasses(quint64 drawn, size_t record, long double absent, quint64 low, quint64 high)
{
    const quint64 tokens = m_rows.m_tokens;
    const quint64 frequency = m_rows.m_records[record].frequency;
    const long double types = m_rows.m_records[record].types;
    const quint64 top = std::min(high, frequency);
    if (low > top)
        return;
    const ClassFactors factors{static_cast<long double>(tokens), static_cast<long double>(frequency),
                               static_cast<long double>(drawn)};
    quint64 base = 0;
    long double probability = 0;
    if (absent > 0 && low <= classesFromAbsence) {
        probability = absent;
        for (; base < low; ++base)
            probability *= factors.next(base);
    } else {
        // From the most likely count within reach, so that no factor has to climb out of an underflow.
        const quint64 fewest = drawn > tokens - frequency ? drawn - (tokens - frequency) : 0;
        if (fewest > top)
            return;
        __extension__ const quint64 mode =
            static_cast<quint64>((static_cast<unsigned __int128>(frequency + 1) * (drawn + 1)) / (tokens + 2));
        base = std::clamp(mode, std::max(low, fewest), top);
        probability = classProbability(tokens, frequency, drawn, base);
    }
    const auto sum = [&](quint64 cls) -> Sum& {
        return m_classes[cls - m_rows.m_from];
    };
    sum(base).add(types * probability);
    long double up = probability;
    for (quint64 i = base; i < top; ++i) {
        up *= factors.next(i);
        sum(i + 1).add(types * up);
    }
    long double down = probability;
    for (quint64 i = base; i > low; --i) {
        down *= factors.previous(i);
        sum(i - 1).add(types * down);
    }
}

void DirectRows::Evaluator::evaluate(quint64 drawn, std::span<double> values, std::optional<size_t> column)
{
    const DirectRows& rows = m_rows;
    const size_t typeColumns = rows.m_ttr ? 1 : 0;
    const bool wantType = rows.m_ttr && (!column || *column == 0);
    // The classes wanted; those beyond the step are zero.
    quint64 low = rows.m_from;
    quint64 high = std::min(rows.m_last, drawn);
    if (column) {
        low = *column < typeColumns ? 1 : rows.m_from + (*column - typeColumns);
        high = *column < typeColumns ? 0 : std::min(low, high);
    }
    const bool wantClasses = !m_classes.empty() && low <= high;

    const size_t typeEnd = wantType ? rows.typeWindowEnd(drawn) : 0;
    const size_t classStart = wantClasses ? rows.classWindowStart(drawn, low) : rows.m_records.size();
    const size_t classEnd = wantClasses ? rows.classWindowEnd(drawn, high) : 0;
    Sum absent;
    std::fill(m_classes.begin(), m_classes.end(), Sum{});
    m_previous = {};
    size_t grouped = 0;
    for (size_t j = wantType ? 0 : classStart; j < std::max(typeEnd, classEnd); ++j) {
        const Record& record = rows.m_records[j];
        const bool typeTerm = j < typeEnd;
        const bool classTerms = j >= classStart && j < classEnd && record.frequency >= low;
        if (!typeTerm && !classTerms)
            continue;
        const long double absence =
            typeTerm || low <= classesFromAbsence ? this->absence(drawn, record.frequency) : -1.0L;
        if (typeTerm)
            absent.add(record.types * absence);
        if (classTerms)
            addClasses(drawn, j, absence, low, high);
        if (++grouped == groupRecords) {
            grouped = 0;
            absent.close();
            for (Sum& sum : m_classes)
                sum.close();
        }
    }

    if (wantType)
        values[0] = static_cast<double>(rows.m_types - absent.total());
    for (size_t k = 0; k < m_classes.size(); ++k) {
        const size_t index = typeColumns + k;
        const quint64 cls = rows.m_from + k;
        if (column && *column != index)
            continue;
        values[index] = cls >= low && cls <= high ? static_cast<double>(m_classes[k].total()) : 0.0;
    }
}

void computeDirectRows(const DirectRows& rows, quint64 density, RowSink& sink, unsigned threads)
{
    if (density == 0)
        return;
    const quint64 total = rows.tokens() / density;
    const size_t width = rows.width();
    const quint64 longest =
        std::clamp<quint64>(valuesPerBatch / std::max<size_t>(width, 1), 1, std::max<quint64>(total, 1));
    std::vector<double> values(longest * width);
    for (quint64 first = 0; first < total;) {
        // A batch is kept short enough for a stop to be heard in time: the early rows take in the most records and
        // cost the most, so the first row of the batch sets its length. Each row is evaluated on its own, so the
        // length never changes a bit.
        const quint64 rowCost = rows.recordsTakenIn((first + 1) * density) * (evaluationCostPerRecord + width);
        const quint64 count =
            std::min({longest, total - first, std::max<quint64>(1, costPerBatch / std::max<quint64>(rowCost, 1))});
        const unsigned workers = static_cast<unsigned>(std::clamp<quint64>(threads, 1, count));
        // Rows dealt out in turn, since the early ones cost the most.
        const auto work = [&](unsigned worker) {
            DirectRows::Evaluator evaluator(rows);
            for (quint64 r = worker; r < count; r += workers)
                evaluator.evaluate((first + r + 1) * density, std::span(values.data() + r * width, width));
        };
        runOnThreads(workers, work);
        for (quint64 r = 0; r < count; ++r)
            sink.addRow(std::span<const double>(values.data() + r * width, width));
        first += count;
        sink.rowsComputed(first);
    }
}

} // namespace model
