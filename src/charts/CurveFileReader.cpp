#include "CurveFileReader.h"

#include "textio/ByteStream.h"
#include "textio/IntegerText.h"
#include "textio/TextDecoding.h"
#include "textio/TextReader.h"

#include <QFileInfo>

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <string>

namespace charts {
namespace {

constexpr size_t pieceBytes = 1 << 20;

// Fields of a well-formed file are ASCII; anything else is read the way a text file without a mark is.
QString decoded(std::string_view bytes)
{
    return textio::decodeText(QByteArrayView(bytes.data(), qsizetype(bytes.size()))).text;
}

QString notAnInteger(std::string_view text)
{
    return QStringLiteral("''%1'' is not a valid integer value").arg(decoded(text));
}

QString notAFloatingPointNumber(std::string_view text)
{
    return QStringLiteral("'%1' is not a valid floating point value").arg(decoded(text));
}

// Cuts a file's bytes into lines as textio::splitLines cuts decoded text: at CR LF, a lone CR or a lone LF,
// without an empty line after a final break; the first NUL ends the text. Holds one piece of the file at a time.
class ByteLines
{
public:
    explicit ByteLines(const QString& path)
        : m_stream(path),
          m_bytes(pieceBytes, '\0')
    {
        readMore();
        const auto marked = textio::markedEncoding(QByteArrayView(m_bytes.data(), qsizetype(m_end)));
        if (marked && marked->encoding != textio::TextEncoding::Utf8) {
            // UTF-16 is rare enough to be decoded whole and read on as UTF-8.
            const QByteArray utf8 = textio::readTextFile(path).text.toUtf8();
            m_bytes.assign(utf8.constData(), size_t(utf8.size()));
            m_end = m_bytes.size();
            m_ended = true;
        } else if (marked) {
            m_start = size_t(marked->bomLength);
        }
    }

    // The next line without its break, valid until the next call; nullopt after the last line.
    std::optional<std::string_view> next()
    {
        for (;;) {
            const char* data = m_bytes.data();
            const char* end = data + m_end;
            const char* stop = data + m_start;
            while (stop != end && *stop != '\n' && *stop != '\r' && *stop != '\0')
                ++stop;
            if (stop != end && *stop == '\0') {
                m_end = size_t(stop - data);
                m_ended = true;
                continue;
            }
            // A CR at the end of the piece may be the first half of a CR LF.
            const bool breakComplete = stop != end && (*stop == '\n' || stop + 1 != end || m_ended);
            if (breakComplete) {
                const std::string_view line(data + m_start, size_t(stop - data) - m_start);
                m_start = size_t(stop - data) + 1;
                if (*stop == '\r' && m_start < m_end && data[m_start] == '\n')
                    ++m_start;
                return line;
            }
            if (readMore())
                continue;
            if (m_start == m_end)
                return std::nullopt;
            const std::string_view last(m_bytes.data() + m_start, m_end - m_start);
            m_start = m_end;
            return last;
        }
    }

private:
    // Moves the unfinished line to the front and reads more behind it; false at the end of the text.
    bool readMore()
    {
        if (m_ended)
            return false;
        const size_t kept = m_end - m_start;
        std::memmove(m_bytes.data(), m_bytes.data() + m_start, kept);
        m_start = 0;
        m_end = kept;
        if (m_bytes.size() - kept < pieceBytes)
            m_bytes.resize(kept + pieceBytes);
        const qsizetype got = m_stream.read(m_bytes.data() + m_end, qsizetype(m_bytes.size() - m_end));
        m_end += size_t(got);
        m_ended = got == 0;
        return got > 0;
    }

    textio::ByteStream m_stream;
    std::string m_bytes;
    size_t m_start = 0;
    size_t m_end = 0;
    bool m_ended = false;
};

// Hands every TAB-ended field of `line` to `onField(field)` until it returns false. Text after the last TAB
// ends no field and is dropped.
template <typename OnField>
void forEachField(std::string_view line, OnField onField)
{
    size_t start = 0;
    for (size_t tab = line.find('\t'); tab != std::string_view::npos; tab = line.find('\t', start)) {
        if (!onField(line.substr(start, tab - start)))
            return;
        start = tab + 1;
    }
}

bool isDigit(std::string_view text, size_t i)
{
    return i < text.size() && text[i] >= '0' && text[i] <= '9';
}

size_t skipBlanks(std::string_view text, size_t i)
{
    while (i < text.size() && text[i] == ' ')
        ++i;
    return i;
}

struct IntegerField
{
    QString (*failure)(std::string_view) = notAnInteger;

    std::optional<double> operator()(std::string_view field) const
    {
        // Plain digits are nearly every value of a measured file; the rest takes the whole integer-text rule.
        if (!field.empty() && field.size() <= 9 &&
            std::all_of(field.begin(), field.end(), [](char c) { return c >= '0' && c <= '9'; })) {
            qint32 value = 0;
            for (const char c : field)
                value = value * 10 + (c - '0');
            return double(value);
        }
        if (const std::optional<qint32> value = textio::toInteger(decoded(field)))
            return double(*value);
        return std::nullopt;
    }
};

struct FloatingPointField
{
    QString (*failure)(std::string_view) = notAFloatingPointNumber;

    std::optional<double> operator()(std::string_view field) const
    {
        // Digits with at most one point, at most 15 of them, as the model file writes its values: the digits and
        // the power of ten are exact doubles, so one division rounds as the full conversion does.
        constexpr std::array<double, 16> powersOfTen = {1,   1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                        1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
        quint64 digits = 0;
        int digitCount = 0;
        int decimals = -1;
        for (const char c : field) {
            if (c >= '0' && c <= '9' && digitCount < 15) {
                digits = digits * 10 + quint64(c - '0');
                ++digitCount;
                decimals += decimals >= 0 ? 1 : 0;
            } else if (c == '.' && decimals < 0) {
                decimals = 0;
            } else {
                return toFloatingPoint(field);
            }
        }
        if (digitCount == 0)
            return toFloatingPoint(field);
        return double(digits) / powersOfTen[size_t(std::max(decimals, 0))];
    }
};

template <typename Field>
void readRows(ByteLines& lines, CurveFile& file, Field toValue)
{
    for (quint64 row = 0; const std::optional<std::string_view> line = lines.next(); ++row) {
        size_t column = 0;
        forEachField(*line, [&](std::string_view field) {
            if (column == file.columns.size())
                return false;
            const std::optional<double> value = toValue(field);
            if (!value) {
                file.failure = toValue.failure(field);
                return false;
            }
            file.columns[column++].curve.append(row, *value);
            return true;
        });
        if (file.failure)
            return;
    }
}

} // namespace

std::optional<double> toFloatingPoint(std::string_view text)
{
    // Validated here and converted by from_chars, which never looks at the locale but takes no "+".
    size_t i = skipBlanks(text, 0);
    const size_t numberStart = i < text.size() && text[i] == '+' ? i + 1 : i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;

    int digits = 0;
    bool point = false;
    for (; i < text.size(); ++i) {
        if (isDigit(text, i))
            ++digits;
        else if (text[i] == '.' && !point)
            point = true;
        else
            break;
    }
    if (digits == 0)
        return std::nullopt;

    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            ++i;
        if (!isDigit(text, i))
            return std::nullopt;
        while (isDigit(text, i))
            ++i;
    }
    const size_t numberEnd = i;
    if (skipBlanks(text, i) != text.size())
        return std::nullopt;

    double value = 0;
    const char* end = text.data() + numberEnd;
    const auto [stop, error] = std::from_chars(text.data() + numberStart, end, value);
    if (error != std::errc() || stop != end)
        return std::nullopt;
    return value;
}

CurveFile readCurveFile(const QString& path, CurveValues values)
{
    ByteLines lines(QFileInfo(path).absoluteFilePath());
    CurveFile result;

    const std::string_view densityLine = lines.next().value_or(std::string_view());
    const std::optional<qint32> density = textio::toInteger(decoded(densityLine));
    if (!density) {
        result.failure = notAnInteger(densityLine);
        return result;
    }
    result.density = quint32(*density);

    const std::optional<std::string_view> header = lines.next();
    if (!header)
        return result;
    forEachField(*header, [&](std::string_view name) {
        result.columns.push_back({decoded(name), Curve(*result.density)});
        return true;
    });
    if (result.columns.empty())
        return result;

    if (values == CurveValues::Integer)
        readRows(lines, result, IntegerField());
    else
        readRows(lines, result, FloatingPointField());
    return result;
}

} // namespace charts
