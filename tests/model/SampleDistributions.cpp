#include "SampleDistributions.h"

#include <QFile>
#include <QHash>
#include <QStringView>

#include <algorithm>
#include <cmath>
#include <map>
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

std::vector<quint32> corpusTokens(const QString& fileName)
{
    QFile file(QStringLiteral(VOCABRIX_CORPORA "/") + fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QString text = QString::fromUtf8(file.readAll());
    QHash<QStringView, quint32> types;
    std::vector<quint32> tokens;
    qsizetype start = -1;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        const bool inWord = i < text.size() && text[i].isLetterOrNumber();
        if (inWord && start < 0)
            start = i;
        if (!inWord && start >= 0) {
            const QStringView word = QStringView(text).sliced(start, i - start);
            auto type = types.constFind(word);
            if (type == types.cend())
                type = types.insert(word, quint32(types.size()));
            tokens.push_back(type.value());
            start = -1;
        }
    }
    return tokens;
}

Spectrum corpusSpectrum(const QString& fileName)
{
    std::vector<quint32> frequencies;
    for (const quint32 type : corpusTokens(fileName)) {
        if (type >= frequencies.size())
            frequencies.resize(type + 1, 0);
        ++frequencies[type];
    }
    std::map<quint32, quint32> counts;
    for (const quint32 frequency : frequencies)
        ++counts[frequency];
    Spectrum spectrum;
    for (const auto& [frequency, types] : counts) {
        spectrum.records.push_back({frequency, types});
        spectrum.N += quint64(frequency) * types;
        spectrum.V += types;
    }
    return spectrum;
}

} // namespace model
