#include "ZipfrFiles.h"

#include "measure/FileWriter.h"

#include <charconv>
#include <cmath>
#include <string>

namespace zipfr {
namespace {

void appendNumber(std::string& line, double value)
{
    // R's missing value; no value this program computes should ever need it.
    if (!std::isfinite(value)) {
        line += "NA";
        return;
    }
    char text[32];
    line.append(text, std::to_chars(text, text + sizeof text, value).ptr);
}

void appendInteger(std::string& line, quint64 value)
{
    line += std::to_string(value);
}

} // namespace

FileNames fileNames(const QString& prefix)
{
    return {prefix + QStringLiteral(".spc"), prefix + QStringLiteral(".tfl"), prefix + QStringLiteral(".emp.vgc"),
            prefix + QStringLiteral(".exp.vgc")};
}

void writeSpectrum(const QString& path, const model::Spectrum& spectrum)
{
    measure::FileWriter file(path);
    file.write("m\tVm\n");
    std::string line;
    for (const model::TInData& record : spectrum.records) {
        line.clear();
        appendInteger(line, record.Freq);
        line += '\t';
        appendInteger(line, record.Poc);
        line += '\n';
        file.write(line);
    }
    file.finish();
}

void writeTypeList(const QString& path, std::span<const TypeFrequency> types)
{
    measure::FileWriter file(path);
    file.write("f\ttype\n");
    std::string line;
    for (const TypeFrequency& entry : types) {
        line.clear();
        appendInteger(line, entry.frequency);
        line += '\t';
        QString type;
        for (const QChar c : entry.type) {
            switch (c.unicode()) {
            case u'\\':
                type += QStringLiteral("\\\\");
                break;
            case u'\t':
                type += QStringLiteral("\\t");
                break;
            case u'\r':
                type += QStringLiteral("\\r");
                break;
            case u'\n':
                type += QStringLiteral("\\n");
                break;
            default:
                type += c;
            }
        }
        line += type.toStdString();
        line += '\n';
        file.write(line);
    }
    file.finish();
}

void writeGrowthCurve(const QString& path, const GrowthCurve& curve)
{
    measure::FileWriter file(path);
    std::string line = "N\tV";
    const auto names = [&](const char* stem) {
        for (quint32 i = 1; i <= curve.classes; ++i) {
            line += '\t';
            line += stem;
            line += std::to_string(i);
        }
    };
    names("V");
    if (!curve.variances.empty()) {
        line += "\tVV";
        names("VV");
    }
    line += '\n';
    file.write(line);
    // Values after the end of a row are zero, as in the rows of the model.
    const auto appendColumns = [&](const std::vector<double>& row) {
        for (size_t i = 0; i <= curve.classes; ++i) {
            line += '\t';
            appendNumber(line, i < row.size() ? row[i] : 0.0);
        }
    };
    for (size_t r = 0; r < curve.rows.size(); ++r) {
        line.clear();
        appendInteger(line, (r + 1) * curve.density);
        appendColumns(curve.rows[r]);
        if (!curve.variances.empty())
            appendColumns(curve.variances[r]);
        line += '\n';
        file.write(line);
    }
    file.finish();
}

std::optional<quint32> growthClasses(const measure::CurveColumns& columns)
{
    if (!columns.ttr)
        return std::nullopt;
    if (!columns.hasClasses() || columns.from != 1)
        return 0;
    return std::min<quint32>(columns.to, 9);
}

} // namespace zipfr
