#pragma once

#include "textio/CodePage.h"
#include "textio/FileWriter.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <stop_token>
#include <vector>

namespace zipfr {

// The files of one run the R files are made from; an empty name leaves out what is made from it.
struct Sources
{
    QString concordance;       // PREFIX.spc (m, Vm) and PREFIX.tfl (f, type)
    QString measured;          // PREFIX.emp.vgc (N, V, V1..Vk)
    QString model;             // PREFIX.exp.vgc (N, V, V1..Vk, and VV, VV1..VVk when `deviations` is given)
    QString deviations;        // the model's companion file of standard deviations
    textio::CodePage codePage; // how the run reads the concordance
};

// The names writeForR may write for these sources, for checks against the run's inputs and outputs.
QStringList outputNames(const QString& prefix, const Sources& sources);

// Reads the sources and writes the files the R package zipfR loads (TAB-separated, a header line, UTF-8, LF) as
// staged files in the order of outputNames; the caller commits them, together, once its own outputs are in place.
// Once `stop` is asked the work stops within a few thousand lines: then nothing, and no file was changed. Throws
// textio::ErrorMessage when a file cannot be read or written, when a curve file has no TTR column (every growth
// curve needs V), or when the deviations do not belong to the model file (another density, other columns or
// another number of rows).
std::optional<std::vector<textio::StagedFile>> writeForR(const QString& prefix, const Sources& sources,
                                                         std::stop_token stop = {});

} // namespace zipfr
