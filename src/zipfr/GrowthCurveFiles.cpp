#include "GrowthCurveFiles.h"

#include "textio/ErrorMessage.h"
#include "textio/IntegerText.h"
#include "textio/LineReader.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zipfr {
namespace {

constexpr quint64 linesPerCheckpoint = 1 << 14;
// read.vgc knows the classes V1 to V9.
constexpr int mostClasses = 9;

// One curve file read line by line: its density, its column names, then the fields of each row as text.
class CurveLines
{
public:
    CurveLines(const QString& path, const std::function<void()>& checkpoint)
        : m_path(path),
          m_checkpoint(checkpoint),
          m_lines(path)
    {
        std::vector<std::string> fields;
        m_densityText = nextLine(fields) ? m_line : std::string();
        const std::optional<qint32> density = textio::toInteger(QString::fromStdString(m_densityText));
        if (!density || *density < 1)
            fail(QStringLiteral("''%1'' is not a density").arg(QString::fromStdString(m_densityText)));
        m_density = quint64(*density);
        if (nextLine(fields))
            m_names = fields;
    }

    const QString& path() const { return m_path; }
    quint64 density() const { return m_density; }
    // Line 1 as written, and the column names of line 2.
    const std::string& densityText() const { return m_densityText; }
    const std::vector<std::string>& names() const { return m_names; }

    // The TAB-ended fields of the next row; false after the last.
    bool nextRow(std::vector<std::string>& fields)
    {
        if (!nextLine(fields))
            return false;
        if (fields.size() < m_names.size())
            fail(QStringLiteral("the row has %1 of its %2 values").arg(fields.size()).arg(m_names.size()));
        return true;
    }

    [[noreturn]] void fail(const QString& reason) const
    {
        throw textio::ErrorMessage(QStringLiteral("%1 (line %2 of \"%3\")").arg(reason).arg(m_lineNumber).arg(m_path));
    }

private:
    bool nextLine(std::vector<std::string>& fields)
    {
        const std::optional<std::u16string_view> line = m_lines.nextLine();
        if (!line)
            return false;
        if (++m_lineNumber % linesPerCheckpoint == 0 && m_checkpoint)
            m_checkpoint();
        m_line = QStringView(*line).toUtf8().toStdString();
        fields.clear();
        // Text after the last TAB ends no field, as the charts read it.
        size_t start = 0;
        for (size_t tab = m_line.find('\t'); tab != std::string::npos; tab = m_line.find('\t', start)) {
            fields.push_back(m_line.substr(start, tab - start));
            start = tab + 1;
        }
        return true;
    }

    QString m_path;
    const std::function<void()>& m_checkpoint;
    textio::LineReader m_lines;
    quint64 m_lineNumber = 0;
    std::string m_line;
    std::string m_densityText;
    quint64 m_density = 1;
    std::vector<std::string> m_names;
};

// Where V, V1, V2, ... stand in a row of a curve file: the type column, then the classes from 1 on without a gap.
std::vector<size_t> growthColumns(const CurveLines& file)
{
    const std::vector<std::string>& names = file.names();
    const auto find = [&](const std::string& name) {
        return std::find(names.begin(), names.end(), name);
    };
    std::vector<size_t> columns;
    for (int m = 0; m <= mostClasses; ++m) {
        std::string className = "T";
        if (m > 0)
            className += std::to_string(m);
        className += "TR";
        const auto name = find(className);
        if (name == names.end())
            break;
        columns.push_back(size_t(name - names.begin()));
    }
    if (columns.empty())
        throw textio::ErrorMessage(
            QStringLiteral("\"%1\" has no TTR column, and a growth curve for R needs one.").arg(file.path()));
    return columns;
}

void appendNames(std::string& line, const char* stem, size_t classes)
{
    // Appended piece by piece: GCC 12 warns of an overlap that is not there in "\t" + stem + number.
    for (size_t m = 1; m <= classes; ++m) {
        line += '\t';
        line += stem;
        line += std::to_string(m);
    }
}

std::string header(size_t classes, bool variances)
{
    std::string line = "N\tV";
    appendNames(line, "V", classes);
    if (variances) {
        line += "\tVV";
        appendNames(line, "VV", classes);
    }
    line += '\n';
    return line;
}

bool isDigits(std::string_view text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A decimal number as digits with at most one point, and digits on at least one side of it.
struct PlainDecimal
{
    std::string_view whole;
    std::string_view fraction;
};

std::optional<PlainDecimal> plainDecimal(std::string_view text)
{
    const size_t point = text.find('.');
    const PlainDecimal number{text.substr(0, point), point == std::string_view::npos ? "" : text.substr(point + 1)};
    const auto digitsOrEmpty = [](std::string_view part) {
        return part.empty() || isDigits(part);
    };
    if (!digitsOrEmpty(number.whole) || !digitsOrEmpty(number.fraction) ||
        number.whole.size() + number.fraction.size() == 0)
        return std::nullopt;
    return number;
}

// Any other number text the model file may hold: blanks, a sign, an exponent.
std::optional<double> otherDecimal(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

void appendShortest(std::string& line, double value)
{
    char text[32];
    line.append(text, std::to_chars(text, text + sizeof text, value).ptr);
}

void appendMeasured(std::string& line, const std::string& field, const CurveLines& file)
{
    if (isDigits(field)) {
        line += field;
        return;
    }
    const std::optional<qint32> value = textio::toInteger(QString::fromStdString(field));
    if (!value)
        file.fail(QStringLiteral("''%1'' is not a valid integer value").arg(QString::fromStdString(field)));
    line += std::to_string(*value);
}

[[noreturn]] void failFloatingPoint(const std::string& field, const CurveLines& file)
{
    file.fail(QStringLiteral("'%1' is not a valid floating point value").arg(QString::fromStdString(field)));
}

void appendModel(std::string& line, const std::string& field, const CurveLines& file)
{
    if (plainDecimal(field)) {
        line += field;
        return;
    }
    const std::optional<double> value = otherDecimal(field);
    if (!value)
        failFloatingPoint(field, file);
    appendShortest(line, *value);
}

// The square of a standard deviation. Printed with three decimals it squares exactly to six: the variance is
// then the very number R gets by squaring the deviation it reads.
void appendSquare(std::string& line, const std::string& field, const CurveLines& file)
{
    // Nine digits square within 64 bits.
    const std::optional<PlainDecimal> number = plainDecimal(field);
    if (!number || number->whole.size() + number->fraction.size() > 9) {
        const std::optional<double> value = otherDecimal(field);
        if (!value)
            failFloatingPoint(field, file);
        appendShortest(line, *value * *value);
        return;
    }
    quint64 mantissa = 0;
    for (const std::string_view part : {number->whole, number->fraction}) {
        for (const char c : part)
            mantissa = mantissa * 10 + quint64(c - '0');
    }
    std::string digits = std::to_string(mantissa * mantissa);
    const size_t decimals = 2 * number->fraction.size();
    if (digits.size() <= decimals)
        digits.insert(0, decimals + 1 - digits.size(), '0');
    std::string fraction = digits.substr(digits.size() - decimals);
    while (!fraction.empty() && fraction.back() == '0')
        fraction.pop_back();
    line.append(digits, 0, digits.size() - decimals);
    if (!fraction.empty()) {
        line += '.';
        line += fraction;
    }
}

using AppendValue = void (*)(std::string&, const std::string&, const CurveLines&);

void appendColumns(std::string& line, const std::vector<std::string>& fields, const std::vector<size_t>& columns,
                   const CurveLines& file, AppendValue append)
{
    for (const size_t column : columns) {
        line += '\t';
        append(line, fields[column], file);
    }
}

} // namespace

textio::StagedFile writeMeasuredGrowth(const QString& path, const QString& measuredPath,
                                       const std::function<void()>& checkpoint)
{
    CurveLines measured(measuredPath, checkpoint);
    const std::vector<size_t> columns = growthColumns(measured);
    textio::FileWriter file(path);
    file.write(header(columns.size() - 1, false));
    std::vector<std::string> fields;
    std::string line;
    for (quint64 tokens = measured.density(); measured.nextRow(fields); tokens += measured.density()) {
        line = std::to_string(tokens);
        appendColumns(line, fields, columns, measured, appendMeasured);
        line += '\n';
        file.write(line);
    }
    return file.finish();
}

textio::StagedFile writeModelGrowth(const QString& path, const QString& modelPath, const QString& deviationsPath,
                                    const std::function<void()>& checkpoint)
{
    CurveLines model(modelPath, checkpoint);
    const std::vector<size_t> columns = growthColumns(model);
    std::optional<CurveLines> deviations;
    const auto mismatch = [&] {
        return textio::ErrorMessage(
            QStringLiteral("\"%1\" does not hold the standard deviations of the model in \"%2\": its density, "
                           "columns or number of rows differ.")
                .arg(deviationsPath, modelPath));
    };
    if (!deviationsPath.isEmpty()) {
        deviations.emplace(deviationsPath, checkpoint);
        if (deviations->densityText() != model.densityText() || deviations->names() != model.names())
            throw mismatch();
    }
    textio::FileWriter file(path);
    file.write(header(columns.size() - 1, deviations.has_value()));
    std::vector<std::string> fields;
    std::vector<std::string> deviationFields;
    std::string line;
    for (quint64 tokens = model.density();; tokens += model.density()) {
        const bool modelRow = model.nextRow(fields);
        if (deviations && deviations->nextRow(deviationFields) != modelRow)
            throw mismatch();
        if (!modelRow)
            break;
        line = std::to_string(tokens);
        appendColumns(line, fields, columns, model, appendModel);
        if (deviations)
            appendColumns(line, deviationFields, columns, *deviations, appendSquare);
        line += '\n';
        file.write(line);
    }
    return file.finish();
}

} // namespace zipfr
