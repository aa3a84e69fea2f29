#include "ZipfrFiles.h"

#include "GrowthCurveFiles.h"

#include "measure/Concordance.h"
#include "textio/LineReader.h"

#include <array>
#include <functional>
#include <map>
#include <string>

namespace zipfr {
namespace {

constexpr qsizetype linesPerCheckpoint = 1 << 14;

struct Names
{
    QString spectrum;
    QString typeList;
    QString measured;
    QString model;
};

Names namesOf(const QString& prefix)
{
    return {prefix + QStringLiteral(".spc"), prefix + QStringLiteral(".tfl"), prefix + QStringLiteral(".emp.vgc"),
            prefix + QStringLiteral(".exp.vgc")};
}

// read.tfl reads with read.delim: a field in double quotes may hold TABs and line breaks, and a quote inside is
// doubled. Every type is quoted, so none can split its line or be taken for a number.
std::string quoted(QStringView type)
{
    std::string text = "\"";
    for (const char c : type.toUtf8()) {
        if (c == '"')
            text += '"';
        text += c;
    }
    return text + '"';
}

// The spectrum ("m", "Vm") and the type list ("f", "type") from one reading of the concordance; the spectrum is
// counted while the list is written.
std::array<textio::StagedFile, 2> writeConcordanceFiles(const Names& names, const Sources& sources,
                                                        const std::function<void()>& checkpoint)
{
    textio::LineReader lines(sources.concordance, sources.codePage);
    textio::FileWriter spectrumFile(names.spectrum);
    textio::FileWriter typeListFile(names.typeList);
    typeListFile.write("f\ttype\n");
    std::map<quint64, quint64> typesOfFrequency;
    // A type holding a line break spans several lines of the concordance; the lines without a frequency before a
    // type's last line belong to it. The header line comes first and is no type.
    QString pending;
    qsizetype number = 0;
    while (const std::optional<std::u16string_view> line = lines.nextLine()) {
        if (++number % linesPerCheckpoint == 0 && checkpoint)
            checkpoint();
        if (number == 1)
            continue;
        const measure::ConcordanceLine entry = measure::parseConcordanceLine(*line, sources.concordance, number);
        if (!entry.frequency) {
            pending.append(QStringView(*line)).append(u"\r\n");
            continue;
        }
        // The model leaves out what occurs no time; so does the list, which then sums to the spectrum's tokens.
        if (*entry.frequency >= 1) {
            ++typesOfFrequency[quint64(*entry.frequency)];
            typeListFile.write(std::to_string(*entry.frequency) + '\t' + quoted(pending.append(entry.type)) + '\n');
        }
        pending.clear();
    }
    spectrumFile.write("m\tVm\n");
    for (const auto& [frequency, types] : typesOfFrequency)
        spectrumFile.write(std::to_string(frequency) + '\t' + std::to_string(types) + '\n');
    return {spectrumFile.finish(), typeListFile.finish()};
}

} // namespace

QStringList outputNames(const QString& prefix, const Sources& sources)
{
    const Names names = namesOf(prefix);
    QStringList list;
    if (!sources.concordance.isEmpty())
        list << names.spectrum << names.typeList;
    if (!sources.measured.isEmpty())
        list << names.measured;
    if (!sources.model.isEmpty())
        list << names.model;
    return list;
}

std::optional<std::vector<textio::StagedFile>> writeForR(const QString& prefix, const Sources& sources,
                                                         std::stop_token stop)
{
    struct Stopped
    {
    };
    // Every few thousand lines.
    const std::function<void()> checkpoint = [&stop] {
        if (stop.stop_requested())
            throw Stopped{};
    };
    const Names names = namesOf(prefix);
    std::vector<textio::StagedFile> files;
    try {
        if (!sources.concordance.isEmpty()) {
            for (textio::StagedFile& file : writeConcordanceFiles(names, sources, checkpoint))
                files.push_back(std::move(file));
        }
        if (!sources.measured.isEmpty())
            files.push_back(writeMeasuredGrowth(names.measured, sources.measured, checkpoint));
        if (!sources.model.isEmpty())
            files.push_back(writeModelGrowth(names.model, sources.model, sources.deviations, checkpoint));
    } catch (const Stopped&) {
        return std::nullopt;
    }
    return files;
}

} // namespace zipfr
