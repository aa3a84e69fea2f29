#pragma once

#include "run/RunSequence.h"

#include <QString>

#include <stop_token>

namespace cli {

// The files for R come from a run's outputs once they are in place: the concordance (written by the run, or read
// by it when it does not measure), the measured file, and the model with its companion file.

// Refuses, before the run writes anything, files for R that are an input or another output of the run, and a run
// without the type column, which every growth curve needs. Throws textio::ErrorMessage.
void checkZipfrFiles(const QString& prefix, const run::RunSettings& settings);

// Writes the files for R of a run that is done and puts them in place together. Returns false when `stop` ended
// the work, with no file for R changed. Throws textio::ErrorMessage.
bool writeZipfrFiles(const QString& prefix, const run::RunSettings& settings, std::stop_token stop);

} // namespace cli
