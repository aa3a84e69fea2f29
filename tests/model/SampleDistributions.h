#pragma once

#include "model/Model.h"

#include <QString>

namespace model {

// About `tokens` tokens whose type frequencies fall off as 1 / rank, over at most 200000 types.
Spectrum zipfSpectrum(quint64 tokens);
// The word spectrum of a file of the corpora, cut at every character that is not a letter or digit; empty when
// the file cannot be read.
Spectrum corpusSpectrum(const QString& fileName);

} // namespace model
