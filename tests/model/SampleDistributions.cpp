#include "SampleDistributions.h"

#include <QFile>

#include <algorithm>
#include <cmath>
#include <vector>

namespace model {

Spectrum zipfSpectrum(quint64 tokens)
{
    constexpr quint64 typeCount = 200000;
    double harmonic = 0.0;
    for (quint64 r = 1; r <= typeCount; ++r)
        harmonic += 1.0 / double(r);
    std::vector<quint32> types;
    for (quint64 r = 1; r <= typeCount; ++r) {
        const auto frequency = quint32(std::lround(double(tokens) / (double(r) * harmonic)));
        if (frequency == 0)
            break;
        if (frequency >= types.size())
            types.resize(frequency + 1, 0);
        ++types[frequency];
    }
    Spectrum spectrum;
    for (quint32 f = 1; f < types.size(); ++f) {
        if (types[f] == 0)
            continue;
        spectrum.records.push_back({f, types[f]});
        spectrum.N += quint64(f) * types[f];
        spectrum.V += types[f];
    }
    return spectrum;
}

Spectrum zipfLawSpectrum(double tokens, quint64 ranks)
{
    constexpr double exponent = -1.07;
    double total = 0.0;
    for (quint64 r = 1; r <= ranks; ++r)
        total += std::pow(double(r), exponent);
    Spectrum spectrum;
    for (quint64 r = 1; r <= ranks; ++r) {
        const auto frequency = quint32(std::floor(tokens * std::pow(double(r), exponent) / total));
        if (frequency == 0)
            break;
        if (spectrum.records.empty() || spectrum.records.back().Freq != frequency)
            spectrum.records.push_back({frequency, 0});
        ++spectrum.records.back().Poc;
        spectrum.N += frequency;
        ++spectrum.V;
    }
    std::reverse(spectrum.records.begin(), spectrum.records.end());
    return spectrum;
}

Spectrum corpusSpectrum(const QString& fileName)
{
    QFile file(QStringLiteral(VOCABRIX_CORPORA "/") + fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QString text = QString::fromUtf8(file.readAll());
    measure::Slovnik slovnik;
    qsizetype start = -1;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        const bool inWord = i < text.size() && text[i].isLetterOrNumber();
        if (inWord && start < 0)
            start = i;
        if (!inWord && start >= 0) {
            ++slovnik[QStringView(text).sliced(start, i - start).toString().toStdU16String()].H;
            start = -1;
        }
    }
    return BuildSpectrum(std::move(slovnik));
}

} // namespace model
