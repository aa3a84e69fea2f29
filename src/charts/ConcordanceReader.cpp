#include "ConcordanceReader.h"

#include "measure/Concordance.h"

#include <QFileInfo>

#include <algorithm>

namespace charts {
namespace {

ConcordanceEntry parseEntry(QStringView line)
{
    const measure::ConcordanceLine parsed = measure::parseConcordanceLine(line);
    return {parsed.type, std::max(parsed.frequency.value_or(0), 0)};
}

} // namespace

int CompareByFrequency(const ConcordanceEntry& a, const ConcordanceEntry& b)
{
    if (a.frequency > 0 && b.frequency > 0)
        return b.frequency - a.frequency;
    if (a.frequency > 0)
        return -1;
    if (b.frequency > 0)
        return 1;
    return 0;
}

RankFrequency readRankFrequency(const QString& path)
{
    RankFrequency result;
    result.source = textio::readTextFile(QFileInfo(path).absoluteFilePath());

    std::vector<ConcordanceEntry>& entries = result.ranked;
    entries.reserve(result.source.lines.size());
    for (const QStringView line : result.source.lines)
        entries.push_back(parseEntry(line));

    // Stable, so types of equal frequency keep the order of the file.
    std::stable_sort(entries.begin(), entries.end(),
                     [](const ConcordanceEntry& a, const ConcordanceEntry& b) { return CompareByFrequency(a, b) < 0; });
    const auto unranked =
        std::find_if(entries.begin(), entries.end(), [](const ConcordanceEntry& e) { return e.frequency <= 0; });
    entries.erase(unranked, entries.end());
    return result;
}

} // namespace charts
