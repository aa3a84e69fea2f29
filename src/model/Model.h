#pragma once

#include "measure/CurveFileHeader.h"
#include "measure/Slovnik.h"
#include "textio/FileWriter.h"
#include "textio/TextReader.h"

#include <QString>

#include <functional>
#include <vector>

namespace model {

// One distinct frequency of the text's spectrum.
struct TInData
{
    quint64 Freq = 0; // a frequency that occurs; a concordance file may hold more than 32 bits
    quint32 Poc = 0;  // how many types occur that often
};

// Records in ascending order of frequency, so a run's file does not depend on hash order. N and V are 64-bit:
// a corpus joined from many files can pass 2^32 tokens long before any single frequency does.
struct Spectrum
{
    std::vector<TInData> records;
    quint64 N = 0; // tokens
    quint64 V = 0; // types
};

// From the run's dictionary, which the spectrum consumes.
Spectrum BuildSpectrum(measure::Slovnik&& slovnik);
// From a concordance file, read with the run's code page; `warn` hears of a text cut short by a NUL, and
// `checkpoint`, called every few thousand lines, may stop the reading by throwing. Throws textio::ErrorMessage when
// the file cannot be read or a frequency overflows.
Spectrum BuildSpectrum(const QString& concordancePath, const textio::Warn& warn = {},
                       const textio::CodePage& codePage = {}, const std::function<void()>& checkpoint = {});

// Hears, between batches, how many rows of the model file are computed; it stops the computation by throwing.
using RowsProgress = std::function<void(quint64 rowsComputed)>;

// Writes the model file, which takes its place on commit(); throws textio::ErrorMessage when it cannot be written.
[[nodiscard]] textio::StagedFile ComputeModel(const Spectrum& spectrum, const measure::CurveSettings& settings,
                                              const QString& modelPath, const RowsProgress& progress = {});

// The file of the standard deviations beside a model file: the file name with ".sd" before its extension, the
// part from its last dot ("C.txt" gives "C.sd.txt", "run.2.txt" "run.2.sd.txt", "C" and ".C" "C.sd" and ".C.sd").
QString deviationFilePath(const QString& modelPath);

// The model file and its companion, each to take its place on commit().
struct ModelFiles
{
    textio::StagedFile model;
    textio::StagedFile deviations;
};

// Writes the model file as ComputeModel does and beside it the standard deviations of the model's values under
// random order, in the layout and number format of the model file with the same density, columns and rows. The
// deviations are computed on a thread of their own while the model is, at a lower priority;
// `modelProgress` hears the model's rows, then `deviationProgress` the deviations', both on the calling thread, and
// either stops both computations by throwing. Throws textio::ErrorMessage when a file cannot be written.
[[nodiscard]] ModelFiles ComputeModelWithDeviations(const Spectrum& spectrum, const measure::CurveSettings& settings,
                                                    const QString& modelPath, const QString& deviationPath,
                                                    const RowsProgress& modelProgress = {},
                                                    const RowsProgress& deviationProgress = {});

} // namespace model
