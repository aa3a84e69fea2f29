#pragma once

#include "measure/CurveFile.h"
#include "model/Model.h"

#include <QString>
#include <QStringView>

#include <optional>
#include <span>
#include <vector>

namespace zipfr {

// The files the R package zipfR loads (read.spc, read.tfl, read.vgc): TAB-separated text with a header line,
// UTF-8 without a byte-order mark, LF line ends, numbers R reads exactly (integers in decimal, other values as
// the shortest text that reads back as the same double). Each writer throws measure::PlatformError when its
// file cannot be written.

struct FileNames
{
    QString spectrum; // PREFIX.spc
    QString typeList; // PREFIX.tfl
    QString measured; // PREFIX.emp.vgc
    QString model;    // PREFIX.exp.vgc
};
FileNames fileNames(const QString& prefix);

// "m" and "Vm": each frequency of the spectrum and its number of types, frequencies ascending.
void writeSpectrum(const QString& path, const model::Spectrum& spectrum);

struct TypeFrequency
{
    QStringView type;
    quint64 frequency = 0;
};
// "f" and "type", one line a type in the order given. read.tfl splits at every TAB and line break and knows no
// quoting, so a type's backslash, TAB, CR and LF are written as \\, \t, \r and \n: every type keeps one line of
// its own and can be told apart from every other.
void writeTypeList(const QString& path, std::span<const TypeFrequency> types);

// A vocabulary growth curve: N, the tokens read, then V and V1..Vk (k <= 9), and for the model the variances
// VV and VV1..VVk. A row may hold a run's columns beyond k, which are left out, or end early, where the values
// missing are zero.
struct GrowthCurve
{
    quint64 density = 1;                        // row r is after (r + 1) × density tokens
    quint32 classes = 0;                        // k
    std::vector<std::vector<double>> rows;      // V, V1..Vk
    std::vector<std::vector<double>> variances; // empty, or for each row VV, VV1..VVk
};
void writeGrowthCurve(const QString& path, const GrowthCurve& curve);

// The classes 1..k a growth curve of a run's columns can hold: those from 1 on that were counted, at most 9, and
// none when the classes do not start at 1. Nothing when the run has no type curve, which every curve needs.
std::optional<quint32> growthClasses(const measure::CurveColumns& columns);

} // namespace zipfr
