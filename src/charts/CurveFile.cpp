#include "CurveFile.h"

#include "textio/IntegerText.h"
#include "textio/TextReader.h"

#include <QFileInfo>

#include <charconv>
#include <string>

namespace charts {
namespace {

QString notAnInteger(QStringView text)
{
    return QStringLiteral("''%1'' is not a valid integer value").arg(text);
}

QString notAFloatingPointNumber(QStringView text)
{
    return QStringLiteral("'%1' is not a valid floating point value").arg(text);
}

std::optional<double> toValue(QStringView field, CurveValues values)
{
    if (values == CurveValues::FloatingPoint)
        return toFloatingPoint(field);
    if (const auto value = textio::toInteger(field))
        return double(*value);
    return std::nullopt;
}

// Hands every TAB-ended field of `line` to `onField(index, field)` until it returns false. Text after the
// last TAB ends no field and is dropped.
template <typename OnField>
void forEachField(QStringView line, OnField onField)
{
    qsizetype start = 0;
    int index = 0;
    for (qsizetype tab = line.indexOf(u'\t'); tab >= 0; tab = line.indexOf(u'\t', start)) {
        if (!onField(index++, line.sliced(start, tab - start)))
            return;
        start = tab + 1;
    }
}

bool isDigit(QStringView text, qsizetype i)
{
    return i < text.size() && text[i] >= u'0' && text[i] <= u'9';
}

qsizetype skipBlanks(QStringView text, qsizetype i)
{
    while (i < text.size() && text[i] == u' ')
        ++i;
    return i;
}

} // namespace

std::optional<double> toFloatingPoint(QStringView text)
{
    // Validated here and converted by from_chars, which never looks at the locale.
    std::string number;
    qsizetype i = skipBlanks(text, 0);
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        if (text[i] == u'-')
            number += '-';
        ++i;
    }

    int digits = 0;
    bool point = false;
    for (; i < text.size(); ++i) {
        if (isDigit(text, i)) {
            ++digits;
        } else if (text[i] == u'.' && !point) {
            point = true;
        } else {
            break;
        }
        number += char(text[i].unicode());
    }
    if (digits == 0)
        return std::nullopt;

    if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        number += 'e';
        ++i;
        if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
            number += char(text[i++].unicode());
        if (!isDigit(text, i))
            return std::nullopt;
        while (isDigit(text, i))
            number += char(text[i++].unicode());
    }
    if (skipBlanks(text, i) != text.size())
        return std::nullopt;

    double value = 0;
    const char* end = number.data() + number.size();
    const auto [stop, error] = std::from_chars(number.data(), end, value);
    if (error != std::errc() || stop != end)
        return std::nullopt;
    return value;
}

CurveFile readCurveFile(const QString& path, CurveValues values)
{
    const textio::TextLines file = textio::readTextFile(QFileInfo(path).absoluteFilePath());
    const std::vector<QStringView>& lines = file.lines;
    CurveFile result;

    const QStringView densityLine = lines.empty() ? QStringView() : lines[0];
    const std::optional<qint32> density = textio::toInteger(densityLine);
    if (!density) {
        result.failure = notAnInteger(densityLine);
        return result;
    }
    result.density = quint32(*density);
    if (lines.size() < 2)
        return result;

    forEachField(lines[1], [&](int, QStringView name) {
        result.columns.push_back({name.toString(), {}});
        return true;
    });
    const size_t columnCount = result.columns.size();
    if (columnCount == 0)
        return result;

    for (CurveColumn& column : result.columns)
        column.points.reserve(lines.size() - 2);
    quint32 x = 0;
    for (size_t row = 2; row < lines.size() && !result.failure; ++row) {
        x += *result.density;
        forEachField(lines[row], [&](int column, QStringView field) {
            if (size_t(column) >= columnCount)
                return false;
            const std::optional<double> value = toValue(field, values);
            if (!value) {
                result.failure = values == CurveValues::Integer ? notAnInteger(field) : notAFloatingPointNumber(field);
                return false;
            }
            result.columns[size_t(column)].points.push_back({double(x), *value});
            return true;
        });
    }
    return result;
}

} // namespace charts
