// The rank-frequency chart's reading of a concordance file: ranks in falling frequency, ties in file order, and a
// concordance the program wrote gives back every type with its frequency.
#include "FuzzSupport.h"

#include "charts/ConcordanceReader.h"
#include "measure/Concordance.h"
#include "textio/ErrorMessage.h"

#include <QLocale>

#include <map>

namespace {

void checkRanks(const charts::RankFrequency& chart)
{
    const QString& text = chart.source.text;
    for (size_t i = 0; i < chart.ranked.size(); ++i) {
        const charts::ConcordanceEntry& entry = chart.ranked[i];
        FUZZ_CHECK(entry.frequency > 0);
        FUZZ_CHECK(entry.type.data() >= text.data() &&
                   entry.type.data() + entry.type.size() <= text.data() + text.size());
        if (i > 0) {
            const charts::ConcordanceEntry& before = chart.ranked[i - 1];
            FUZZ_CHECK(before.frequency >= entry.frequency);
            FUZZ_CHECK(before.frequency > entry.frequency || before.type.data() < entry.type.data());
        }
    }
    FUZZ_CHECK(chart.ranked.size() <= chart.source.lines.size());
}

void checkReadingBack(fuzz::ByteSource& source)
{
    static const QTemporaryDir folder = fuzz::scratchFolder();
    const QString path = folder.filePath(QStringLiteral("Concordance.txt"));
    const measure::Slovnik slovnik = fuzz::dictionaryFrom(source);
    measure::SaveConcordance(slovnik, path, QLocale(QLocale::English)).commit();
    const charts::RankFrequency chart = charts::readRankFrequency(path);
    checkRanks(chart);
    std::map<std::u16string, qint64> read;
    for (const charts::ConcordanceEntry& entry : chart.ranked)
        read[entry.type.toString().toStdU16String()] = entry.frequency;
    std::map<std::u16string, qint64> written;
    for (const auto& [type, counter] : slovnik)
        written[type] = counter.H;
    FUZZ_CHECK(read == written);
}

void checkReading(const QString& path, QByteArrayView)
{
    try {
        checkRanks(charts::readRankFrequency(path));
    } catch (const textio::ErrorMessage& error) {
        FUZZ_CHECK(error.text().startsWith(u"''"));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return fuzz::readOrReadBack(data, size, checkReadingBack, checkReading);
}
