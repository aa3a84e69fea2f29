#include "ConcordanceReader.h"

#include "measure/Concordance.h"

#include <QFileInfo>

#include <algorithm>

namespace charts {
namespace {

ConcordanceEntry parseEntry(QStringView line, const QString& path, qsizetype lineNumber)
{
    const measure::ConcordanceLine parsed = measure::parseConcordanceLine(line, path, lineNumber);
    return {parsed.type, std::max<qint64>(parsed.frequency.value_or(0), 0)};
}

} // namespace

int CompareByFrequency(const ConcordanceEntry& a, const ConcordanceEntry& b)
{
    // The sign of b - a, which need not fit an int.
    if (a.frequency > 0 && b.frequency > 0)
        return (b.frequency > a.frequency) - (b.frequency < a.frequency);
    if (a.frequency > 0)
        return -1;
    if (b.frequency > 0)
        return 1;
    return 0;
}

RankFrequency readRankFrequency(const QString& path)
{
    RankFrequency result;
    const QString absolutePath = QFileInfo(path).absoluteFilePath();
    result.source = textio::readTextFile(absolutePath);

    std::vector<ConcordanceEntry>& entries = result.ranked;
    entries.reserve(result.source.lines.size());
    for (size_t i = 0; i < result.source.lines.size(); ++i)
        entries.push_back(parseEntry(result.source.lines[i], absolutePath, qsizetype(i + 1)));

    // Stable, so types of equal frequency keep the order of the file.
    std::stable_sort(entries.begin(), entries.end(),
                     [](const ConcordanceEntry& a, const ConcordanceEntry& b) { return CompareByFrequency(a, b) < 0; });
    const auto unranked =
        std::find_if(entries.begin(), entries.end(), [](const ConcordanceEntry& e) { return e.frequency <= 0; });
    entries.erase(unranked, entries.end());
    return result;
}

} // namespace charts
