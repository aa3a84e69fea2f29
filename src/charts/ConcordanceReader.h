#pragma once

#include "textio/TextReader.h"

#include <QString>
#include <QStringView>

#include <vector>

namespace charts {

// One line of a concordance file: the text before its last TAB and the frequency read from the rest.
struct ConcordanceEntry
{
    QStringView type;
    qint64 frequency = 0; // never negative
};

// Sort order of the rank-frequency plot; negative when `a` comes first. Higher positive frequencies come
// first; an entry without a positive frequency comes after every entry with one.
int CompareByFrequency(const ConcordanceEntry& a, const ConcordanceEntry& b);

// The ranked types of a concordance file: `ranked[i]` has rank i + 1. Lines without a positive frequency
// (the header among them) take no rank. The types are views into `source`.
struct RankFrequency
{
    textio::TextLines source;
    std::vector<ConcordanceEntry> ranked;
};

// Throws textio::ErrorMessage when the file cannot be read or when the digits of a frequency do not fit a signed
// 64-bit integer (the messages name its full path).
RankFrequency readRankFrequency(const QString& path);

} // namespace charts
