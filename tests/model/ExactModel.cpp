#include "ExactModel.h"

#include "model/ModelNumber.h"

#include <quadmath.h>

#include <algorithm>
#include <string>

namespace model::test {
namespace {

__float128 logFactorial(quint64 n)
{
    return lgammaq(static_cast<__float128>(n) + 1);
}

std::string printed(double value)
{
    char text[maxModelNumberLength];
    return std::string(text, formatModelNumber(value, text));
}

// From the step at 0.001 and the halves of thousandths above it.
double distanceToRoundingBoundary(__float128 exact)
{
    const __float128 magnitude = fabsq(exact);
    const __float128 scaled = magnitude * 1000;
    const __float128 toHalf = scaled >= 1.5 ? fabsq(scaled - floorq(scaled) - static_cast<__float128>(0.5)) : 1;
    return static_cast<double>(std::min(fabsq(scaled - 1), toHalf) / 1000);
}

} // namespace

__float128 exactClassProbability(quint64 tokens, quint64 frequency, quint64 drawn, quint64 count)
{
    if (count > frequency || count > drawn || drawn - count > tokens - frequency)
        return 0;
    return expq(logFactorial(frequency) - logFactorial(count) - logFactorial(frequency - count) +
                logFactorial(tokens - frequency) - logFactorial(drawn - count) -
                logFactorial(tokens - frequency - drawn + count) - logFactorial(tokens) + logFactorial(drawn) +
                logFactorial(tokens - drawn));
}

ExactModel::ExactModel(const Spectrum& spectrum, const measure::CurveColumns& columns)
    : m_tokens(spectrum.N),
      m_types(spectrum.V),
      m_columns(columns)
{
    for (const TInData& record : spectrum.records) {
        m_records.push_back(
            {record.Freq, record.Poc, logFactorial(record.Freq), logFactorial(spectrum.N - record.Freq)});
    }
}

std::vector<__float128> ExactModel::row(quint64 drawn) const
{
    const quint64 n = m_tokens;
    const bool classes = m_columns.from >= 1 && m_columns.to >= m_columns.from;
    const size_t first = m_columns.ttr ? 1 : 0;
    std::vector<__float128> row(first + (classes ? m_columns.to - m_columns.from + 1 : 0), 0);
    const __float128 logDraws = logFactorial(n) - logFactorial(drawn) - logFactorial(n - drawn);
    __float128 absent = 0;
    for (const Record& record : m_records) {
        const quint64 f = record.frequency;
        if (f == 0) {
            absent += record.types;
            continue;
        }
        quint64 i = drawn > n - f ? drawn - (n - f) : 0;
        __float128 probability =
            expq(record.logFactorial - logFactorial(i) - logFactorial(f - i) + record.logFactorialOther -
                 logFactorial(drawn - i) - logFactorial(n - f - drawn + i) - logDraws);
        if (i == 0)
            absent += record.types * probability;
        const quint64 top = classes ? std::min<quint64>({m_columns.to, f, drawn}) : 0;
        for (; i <= top; ++i) {
            if (classes && i >= m_columns.from)
                row[first + i - m_columns.from] += record.types * probability;
            probability *= static_cast<__float128>(f - i) * (drawn - i) /
                           (static_cast<__float128>(i + 1) * (n - f - drawn + i + 1));
        }
    }
    if (m_columns.ttr)
        row[0] = m_types - absent;
    return row;
}

namespace {

__float128 binomial(quint64 n, quint64 k)
{
    __float128 value = 1;
    for (quint64 j = 0; j < k; ++j)
        value = value * (n - j) / (j + 1);
    return value;
}

// C(N − g, l − k) / C(N, l) at g = 0, ..., last (zero once g passes N − l + k). Beyond the most likely g, where
// the probability C(g, k) C(N − g, l − k) / C(N, l) of k among g only falls, the ratios of the probabilities
// below 10^-60 count as zero: the weights they meet are below C(g, k) 10^30.
std::vector<__float128> drawRatios(quint64 tokens, quint64 drawn, quint64 k, quint64 last)
{
    std::vector<__float128> ratios(last + 1, 0);
    if (drawn < k)
        return ratios;
    __float128 ratio = 1;
    for (quint64 j = 0; j < k; ++j)
        ratio = ratio * (drawn - j) / (tokens - drawn + k - j);
    const __float128 negligible = 1e-60;
    const quint64 likeliest = static_cast<quint64>(static_cast<long double>(k) * tokens / drawn) + 1;
    __float128 ways = 1; // C(g, k) from g = k on
    for (quint64 g = 0; g <= last && g + drawn <= tokens + k; ++g) {
        ratios[g] = ratio;
        if (g > k)
            ways = ways * g / (g - k);
        if (g > likeliest && ways * ratio < negligible)
            break;
        ratio = ratio * static_cast<__float128>(tokens - g - (drawn - k)) / (tokens - g);
    }
    return ratios;
}

} // namespace

ExactDeviations::ExactDeviations(const Spectrum& spectrum, const measure::CurveColumns& columns)
    : m_tokens(spectrum.N),
      m_columns(columns)
{
    quint64 highest = 0;
    for (const TInData& record : spectrum.records) {
        if (record.Freq > 0) {
            m_records.emplace_back(record.Freq, record.Poc);
            highest = std::max<quint64>(highest, record.Freq);
        }
    }
    std::vector<quint64> classes;
    if (columns.ttr)
        classes.push_back(0);
    for (quint64 i = columns.from; columns.hasClasses() && i <= columns.to; ++i)
        classes.push_back(i);
    for (const quint64 i : classes) {
        std::vector<__float128>& sums = m_pairSums.emplace_back(2 * highest + 1, 0);
        std::vector<__float128> parts;
        for (const auto& [f, types] : m_records)
            parts.push_back(types * binomial(f, i));
        for (size_t x = 0; x < m_records.size(); ++x) {
            const auto [a, typesA] = m_records[x];
            sums[2 * a] += (typesA - 1) * parts[x] * binomial(a, i);
            for (size_t y = x + 1; y < m_records.size(); ++y)
                sums[a + m_records[y].first] += 2 * parts[x] * parts[y];
        }
    }
}

std::vector<__float128> ExactDeviations::variances(quint64 drawn) const
{
    std::vector<__float128> variances;
    quint64 highest = 0;
    for (const auto& record : m_records)
        highest = std::max(highest, record.first);
    size_t column = 0;
    const auto add = [&](quint64 i) {
        const std::vector<__float128> singles = drawRatios(m_tokens, drawn, i, highest);
        const std::vector<__float128> pairs = drawRatios(m_tokens, drawn, 2 * i, 2 * highest);
        __float128 mean = 0;
        for (const auto& [f, types] : m_records) {
            if (singles[f] != 0)
                mean += types * binomial(f, i) * singles[f];
        }
        __float128 pairSum = 0;
        for (quint64 g = 0; g <= 2 * highest; ++g)
            pairSum += m_pairSums[column][g] * pairs[g];
        variances.push_back(mean + pairSum - mean * mean);
        ++column;
    };
    if (m_columns.ttr)
        add(0);
    for (quint64 i = m_columns.from; m_columns.hasClasses() && i <= m_columns.to; ++i)
        add(i);
    return variances;
}

testing::AssertionResult printsAsExact(double value, __float128 exact)
{
    const double expected = static_cast<double>(exact);
    if (printed(value) == printed(expected) || distanceToRoundingBoundary(exact) <= 1e-9)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "prints " << printed(value) << " for " << std::to_string(expected);
}

} // namespace model::test
