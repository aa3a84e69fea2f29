#include "TextReader.h"

#include "ByteStream.h"
#include "ErrorMessage.h"
#include "TextDecoding.h"

#include <cerrno>
#include <cstdio>
#include <memory>
#include <sys/stat.h>

namespace textio {

QString decodeText(QByteArrayView bytes)
{
    const DetectedEncoding detected = detectEncoding(bytes);
    const QByteArrayView encoded = bytes.sliced(detected.bomLength);
    QString text(encoded.size() + 1, Qt::Uninitialized);
    auto* begin = reinterpret_cast<char16_t*>(text.data());
    text.truncate(PieceDecoder(detected.encoding).decode(encoded, begin) - begin);
    const qsizetype nul = text.indexOf(QChar(0));
    if (nul >= 0)
        text.truncate(nul);
    return text;
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

    // One byte more than the file holds: a short read then tells the end without growing a large buffer.
    // A file without a size (a pipe) or one still growing doubles the buffer as it goes.
    QByteArray bytes(qsizetype(status.st_size) + 1, Qt::Uninitialized);
    qsizetype filled = 0;
    for (;;) {
        filled += qsizetype(std::fread(bytes.data() + filled, 1, size_t(bytes.size() - filled), file.get()));
        if (filled < bytes.size())
            break;
        bytes.resize(bytes.size() * 2);
    }
    bytes.truncate(filled);
    if (std::ferror(file.get()))
        throwCannotRead(path, errno ? errno : EIO);
    return bytes;
}

TextLines readTextFile(const QString& path)
{
    TextLines result;
    result.text = decodeText(readFileBytes(path));
    result.lines = splitLines(result.text);
    return result;
}

} // namespace textio
