#include "Model.h"

#include "measure/Concordance.h"
#include "textio/ErrorMessage.h"
#include "textio/TextReader.h"

#include <absl/container/flat_hash_map.h>

#include <algorithm>
#include <limits>

namespace model {
namespace {

using FrequencyCounts = absl::flat_hash_map<quint64, quint32>;

// Some milliseconds of reading.
constexpr size_t linesPerCheckpoint = 1 << 14;

Spectrum toSpectrum(const FrequencyCounts& counts, quint64 tokens)
{
    Spectrum spectrum;
    spectrum.N = tokens;
    spectrum.records.reserve(counts.size());
    for (const auto& [frequency, types] : counts) {
        spectrum.records.push_back({frequency, types});
        spectrum.V += types;
    }
    std::sort(spectrum.records.begin(), spectrum.records.end(),
              [](const TInData& a, const TInData& b) { return a.Freq < b.Freq; });
    return spectrum;
}

} // namespace

Spectrum BuildSpectrum(measure::Slovnik&& slovnik)
{
    FrequencyCounts counts;
    quint64 tokens = 0;
    for (const auto& [type, counter] : slovnik) {
        ++counts[counter.H];
        tokens += counter.H;
    }
    measure::Slovnik().swap(slovnik);
    return toSpectrum(counts, tokens);
}

Spectrum BuildSpectrum(const QString& concordancePath, const textio::Warn& warn, const textio::CodePage& codePage,
                       const std::function<void()>& checkpoint)
{
    const textio::TextLines file = textio::readTextFile(concordancePath, codePage);
    if (const auto warning = textio::nulStopWarning(concordancePath, file.nulStop); warning && warn)
        warn(*warning);
    FrequencyCounts counts;
    quint64 tokens = 0;
    for (size_t i = 1; i < file.lines.size(); ++i) {
        if (i % linesPerCheckpoint == 0 && checkpoint)
            checkpoint();
        const std::optional<qint64> frequency =
            measure::parseConcordanceLine(file.lines[i], concordancePath, qsizetype(i + 1)).frequency;
        if (!frequency || *frequency < 1)
            continue;
        if (__builtin_add_overflow(tokens, quint64(*frequency), &tokens))
            throw textio::ErrorMessage(
                QStringLiteral("The frequencies up to line %1 of \"%2\" add up to more than %3 tokens.")
                    .arg(i + 1)
                    .arg(concordancePath)
                    .arg(std::numeric_limits<quint64>::max()));
        ++counts[quint64(*frequency)];
    }
    return toSpectrum(counts, tokens);
}

} // namespace model
