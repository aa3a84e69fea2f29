// The model's reading of a concordance file: a spectrum that adds up, which agrees with the chart's reading of
// the same lines, and a concordance the program wrote reads back as the dictionary it came from.
#include "FuzzSupport.h"

#include "charts/ConcordanceReader.h"
#include "measure/Concordance.h"
#include "model/Model.h"
#include "textio/ErrorMessage.h"

#include <QLocale>

#include <algorithm>
#include <map>
#include <vector>

namespace {

std::map<quint64, quint64> countsOf(const model::Spectrum& spectrum)
{
    std::map<quint64, quint64> counts;
    for (const model::TInData& record : spectrum.records)
        counts[record.Freq] += record.Poc;
    return counts;
}

void checkSpectrum(const model::Spectrum& spectrum)
{
    unsigned __int128 tokens = 0;
    quint64 types = 0;
    for (size_t i = 0; i < spectrum.records.size(); ++i) {
        const model::TInData& record = spectrum.records[i];
        FUZZ_CHECK(record.Freq >= 1 && record.Poc >= 1);
        FUZZ_CHECK(i == 0 || spectrum.records[i - 1].Freq < record.Freq);
        tokens += (unsigned __int128)record.Freq * record.Poc;
        types += record.Poc;
    }
    FUZZ_CHECK(tokens == spectrum.N && types == spectrum.V);
}

// The chart ranks every line, the header too; the model skips the first line. Otherwise the two read alike.
void checkAgainstTheChart(const QString& path, const model::Spectrum& spectrum)
{
    const charts::RankFrequency chart = charts::readRankFrequency(path);
    std::map<quint64, quint64> counts;
    for (const charts::ConcordanceEntry& entry : chart.ranked)
        ++counts[quint64(entry.frequency)];
    if (!chart.source.lines.empty()) {
        const auto first = measure::parseConcordanceLine(chart.source.lines.front(), path, 1).frequency;
        if (first && *first > 0 && --counts[quint64(*first)] == 0)
            counts.erase(quint64(*first));
    }
    FUZZ_CHECK(counts == countsOf(spectrum));
}

void checkReadingBack(fuzz::ByteSource& source)
{
    static const QTemporaryDir folder = fuzz::scratchFolder();
    const QString path = folder.filePath(QStringLiteral("Concordance.txt"));
    measure::Slovnik slovnik = fuzz::dictionaryFrom(source);
    measure::SaveConcordance(slovnik, path, QLocale(QLocale::English)).commit();
    const model::Spectrum fromFile = model::BuildSpectrum(path);
    FUZZ_CHECK(countsOf(fromFile) == countsOf(model::BuildSpectrum(std::move(slovnik))));
    checkSpectrum(fromFile);
}

void checkReading(const QString& path, QByteArrayView)
{
    try {
        const model::Spectrum spectrum = model::BuildSpectrum(path);
        checkSpectrum(spectrum);
        checkAgainstTheChart(path, spectrum);
    } catch (const textio::ErrorMessage& error) {
        // Only a frequency beyond 64 bits, or a sum of them, stops the reading.
        FUZZ_CHECK(error.text().startsWith(u"''") || error.text().startsWith(u"The frequencies up to line"));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return fuzz::readOrReadBack(data, size, checkReadingBack, checkReading);
}
