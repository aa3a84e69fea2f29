#include "Concordance.h"

#include "textio/FileWriter.h"
#include "textio/ErrorMessage.h"
#include "textio/IntegerText.h"

#include <QCollator>
#include <QCollatorSortKey>
#include <QStringEncoder>

#include <algorithm>
#include <charconv>
#include <string>
#include <utility>
#include <vector>

namespace measure {
namespace {

using Entry = Slovnik::value_type;
using KeyedEntry = std::pair<QCollatorSortKey, const Entry*>;
using Progress = std::function<void(double done)>;

// Steps between two reports of progress: a few milliseconds of work.
constexpr size_t stepsPerReport = 1 << 12;

// Reports every stepsPerReport calls; the sort, whose length is not known ahead, reports only that it goes on.
class Reporter
{
public:
    Reporter(const Progress& progress, size_t total)
        : m_progress(progress),
          m_total(2.0 * double(std::max<size_t>(total, 1)))
    {}

    // One of the `total` keys made or lines written.
    void step()
    {
        if (++m_done % stepsPerReport == 0 && m_progress)
            m_progress(double(m_done) / m_total);
    }
    // One comparison of the sort.
    void compared()
    {
        if (++m_comparisons % stepsPerReport == 0 && m_progress)
            m_progress(double(m_done) / m_total);
    }

private:
    const Progress& m_progress;
    double m_total;
    size_t m_done = 0;
    size_t m_comparisons = 0;
};

QCollator caseInsensitiveCollator(const QLocale& locale)
{
    // For the C locale Qt compares code points and ignores the case setting. English has no tailoring of its
    // own: its collation is the language-neutral root collation.
    QCollator collator(locale.language() == QLocale::C ? QLocale(QLocale::English) : locale);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    return collator;
}

void setLine(QString& line, const Entry& entry)
{
    line.resize(0);
    line.append(QStringView(entry.first.data(), qsizetype(entry.first.size())));
    line.append(u'\t');
    char digits[16];
    const char* end = std::to_chars(digits, digits + sizeof digits, entry.second.H).ptr;
    line.append(QLatin1StringView(digits, end - digits));
}

QString lineOf(const Entry& entry)
{
    QString line;
    setLine(line, entry);
    return line;
}

// A sort key per line, made once: comparing lines pairwise would collate each line anew at every comparison.
std::vector<KeyedEntry> sortedByCollation(const Slovnik& slovnik, const QLocale& locale, Reporter& reporter)
{
    const QCollator collator = caseInsensitiveCollator(locale);
    std::vector<KeyedEntry> order;
    order.reserve(slovnik.size());
    QString line;
    for (const Entry& entry : slovnik) {
        setLine(line, entry);
        order.emplace_back(collator.sortKey(line), &entry);
        reporter.step();
    }
    // Lines the collation finds equal ("The\t1", "the\t1") would come in the dictionary's hash order; their code
    // units decide instead. Such ties are rare, so their lines are made again only when they occur.
    std::sort(order.begin(), order.end(), [&reporter](const KeyedEntry& a, const KeyedEntry& b) {
        reporter.compared();
        const int collated = a.first.compare(b.first);
        return collated != 0 ? collated < 0 : lineOf(*a.second) < lineOf(*b.second);
    });
    return order;
}

void appendLine(std::string& out, QStringEncoder& utf8, const Entry& entry)
{
    const std::u16string& type = entry.first;
    const size_t start = out.size();
    out.resize(start + type.size() * 3 + 16);
    char* end = utf8.appendToBuffer(out.data() + start, QStringView(type.data(), qsizetype(type.size())));
    *end++ = '\t';
    end = std::to_chars(end, out.data() + out.size(), entry.second.H).ptr;
    *end++ = '\r';
    *end++ = '\n';
    out.resize(size_t(end - out.data()));
}

} // namespace

textio::StagedFile SaveConcordance(const Slovnik& slovnik, const QString& path, const QLocale& locale,
                                   const Progress& progress)
{
    Reporter reporter(progress, slovnik.size());
    std::vector<KeyedEntry> order = sortedByCollation(slovnik, locale, reporter);
    textio::FileWriter file(path);
    file.write("\xEF\xBB\xBFType\tFrequency\r\n");
    // Each type on its own: a lone surrogate at the end of one must not pair with the start of the next.
    QStringEncoder utf8(QStringEncoder::Utf8, QStringEncoder::Flag::Stateless);
    std::string line;
    for (const KeyedEntry& keyed : order) {
        line.clear();
        appendLine(line, utf8, *keyed.second);
        file.write(line);
        reporter.step();
    }
    textio::StagedFile written = file.finish();

    // Half a million keys freed in sorted order jump about the heap; freed in the order they were made
    // (the dictionary's order) they go several times faster.
    std::sort(order.begin(), order.end(), [&reporter](const KeyedEntry& a, const KeyedEntry& b) {
        reporter.compared();
        return a.second < b.second;
    });
    return written;
}

ConcordanceLine parseConcordanceLine(QStringView line, const QString& path, qsizetype lineNumber)
{
    // The last TAB, not the first: a type of the line-word and space-delimited formats may hold a TAB, and its
    // frequency is always the text after the last one.
    const qsizetype tab = line.lastIndexOf(u'\t');
    if (tab < 0)
        return {line, std::nullopt};
    try {
        return {line.first(tab), textio::frequencyFromText(line.sliced(tab + 1))};
    } catch (const textio::ErrorMessage& error) {
        throw textio::ErrorMessage(
            QStringLiteral("%1 (line %2 of \"%3\")").arg(error.text()).arg(lineNumber).arg(path));
    }
}

} // namespace measure
