#include "Model.h"

#include "measure/Concordance.h"
#include "textio/TextReader.h"

#include <absl/container/flat_hash_map.h>

#include <algorithm>

namespace model {
namespace {

using FrequencyCounts = absl::flat_hash_map<quint32, quint32>;

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

Spectrum BuildSpectrum(const QString& concordancePath)
{
    const textio::TextLines file = textio::readTextFile(concordancePath);
    FrequencyCounts counts;
    quint64 tokens = 0;
    for (size_t i = 1; i < file.lines.size(); ++i) {
        const std::optional<qint32> frequency = measure::parseConcordanceLine(file.lines[i]).frequency;
        if (!frequency || *frequency < 1)
            continue;
        ++counts[static_cast<quint32>(*frequency)];
        tokens += static_cast<quint32>(*frequency);
    }
    return toSpectrum(counts, tokens);
}

} // namespace model
