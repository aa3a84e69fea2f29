#include "TextReader.h"

#include "ByteStream.h"
#include "ErrorMessage.h"
#include "TextDecoding.h"

#include <sys/stat.h>
#include <utility>

namespace textio {

std::optional<QString> nulStopWarning(const QString& path, const std::optional<NulStop>& stop)
{
    // A NUL as the last character, or before a last line break even in UTF-32, costs no text worth a word.
    constexpr qint64 fewBytes = 8;
    if (!stop || stop->bytesAfter <= fewBytes)
        return std::nullopt;
    return QStringLiteral("Warning: the text of file \"%1\" ends at a NUL character at byte %2; the %3 bytes after "
                          "it were not read.")
        .arg(path)
        .arg(stop->offset)
        .arg(stop->bytesAfter);
}

DecodedText decodeText(QByteArrayView bytes, const CodePage& codePage)
{
    const DetectedEncoding detected = detectEncoding(bytes, codePage);
    const QByteArrayView encoded = bytes.sliced(detected.bomLength);
    DecodedText result;
    QString& text = result.text;
    text.resize(encoded.size() + 1);
    auto* begin = reinterpret_cast<char16_t*>(text.data());
    text.truncate(PieceDecoder(detected).decode(encoded, begin) - begin);
    const qsizetype nul = text.indexOf(QChar(0));
    if (nul >= 0) {
        text.truncate(nul);
        const qsizetype unit = firstNulUnit(detected.encoding, encoded);
        result.nulStop = NulStop{detected.bomLength + unit, encoded.size() - unit - unitBytes(detected.encoding)};
    }
    return result;
}

std::vector<QStringView> splitLines(QStringView text)
{
    std::vector<QStringView> lines;
    const char16_t* data = text.utf16();
    const qsizetype n = text.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = data[i];
        if (c != u'\n' && c != u'\r')
            continue;
        lines.emplace_back(data + start, i - start);
        if (c == u'\r' && i + 1 < n && data[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.emplace_back(data + start, n - start);
    return lines;
}

QByteArray readFileBytes(const QString& path)
{
    struct stat status = {};
    const OpenFile file = openForReading(path, status);
    return readRest(file.get(), path, qint64(status.st_size));
}

TextLines readTextFile(const QString& path, const CodePage& codePage)
{
    DecodedText decoded = decodeText(readFileBytes(path), codePage);
    TextLines result;
    result.text = std::move(decoded.text);
    result.nulStop = decoded.nulStop;
    result.lines = splitLines(result.text);
    return result;
}

} // namespace textio
