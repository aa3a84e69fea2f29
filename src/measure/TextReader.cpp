#include "TextReader.h"

#include "PlatformError.h"

#include <QStringDecoder>

#include <cerrno>
#include <cstdio>
#include <memory>

namespace measure {
namespace {

// Windows-1252 differs from Latin-1 only in 80..9F; its five unassigned bytes keep their Latin-1 code point.
constexpr char16_t cp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

QString decodeWindows1252(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    for (const char byte : bytes) {
        const auto b = static_cast<unsigned char>(byte);
        *out++ = (b >= 0x80 && b < 0xA0) ? cp1252High[b - 0x80] : char16_t(b);
    }
    return text;
}

QString decodeWith(QStringConverter::Encoding encoding, QByteArrayView bytes, bool* failed = nullptr)
{
    QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (failed)
        *failed = decoder.hasError();
    return text;
}

QString decodeUnmarked(QByteArrayView bytes)
{
    bool failed = false;
    QString text = decodeWith(QStringConverter::Utf8, bytes, &failed);
    if (!failed)
        return text;
    return decodeWindows1252(bytes);
}

QString decodeMarked(QByteArrayView bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return decodeWith(QStringConverter::Utf8, bytes.sliced(3));
    if (bytes.startsWith("\xFF\xFE"))
        return decodeWith(QStringConverter::Utf16LE, bytes.sliced(2));
    if (bytes.startsWith("\xFE\xFF"))
        return decodeWith(QStringConverter::Utf16BE, bytes.sliced(2));
    return decodeUnmarked(bytes);
}

struct FileCloser
{
    void operator()(std::FILE* file) const { std::fclose(file); }
};

} // namespace

QString decodeText(QByteArrayView bytes)
{
    QString text = decodeMarked(bytes);
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
    const QByteArray name = path.toLocal8Bit();
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(name.constData(), "rb"));
    if (!file)
        throwCannotOpen(path, errno);

    QByteArray bytes;
    char chunk[1 << 16];
    for (;;) {
        const size_t got = std::fread(chunk, 1, sizeof chunk, file.get());
        bytes.append(chunk, qsizetype(got));
        if (got < sizeof chunk)
            break;
    }
    if (std::ferror(file.get()))
        throwCannotOpen(path, errno ? errno : EIO);
    return bytes;
}

TextLines readTextFile(const QString& path)
{
    TextLines result;
    result.text = decodeText(readFileBytes(path));
    result.lines = splitLines(result.text);
    return result;
}

} // namespace measure
