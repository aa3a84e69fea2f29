#pragma once

#include "model/Model.h"

#include <QString>

#include <vector>

namespace model {

// About `tokens` tokens whose type frequencies fall off as 1 / rank, over at most 200000 types.
Spectrum zipfSpectrum(quint64 tokens);
// The frequencies ⌊T r^−1.07 / Σ r^−1.07⌋ of the ranks r = 1..R, those of 0 left out, in ascending order.
Spectrum zipfLawSpectrum(double tokens, quint64 ranks);
// The words of a file of the corpora, cut at every character that is not a letter or digit, each as the number of
// its type in the order types first occur; empty when the file cannot be read.
std::vector<quint32> corpusTokens(const QString& fileName);
// Their spectrum.
Spectrum corpusSpectrum(const QString& fileName);

} // namespace model
