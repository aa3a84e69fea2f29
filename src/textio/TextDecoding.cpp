#include "TextDecoding.h"

#include <cstring>

namespace textio {
namespace {

// Windows-1252 differs from Latin-1 only in 80..9F; its five unassigned bytes keep their Latin-1 code point.
constexpr char16_t cp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

bool isContinuation(uchar byte)
{
    return (byte & 0xC0) == 0x80;
}

// The length of the sequence a lead byte starts, 0 for a byte that starts none: C0 and C1 can only start
// overlong forms, F5..FF only values beyond U+10FFFF.
qsizetype utf8SequenceLength(uchar lead)
{
    if (lead < 0xC2 || lead > 0xF4)
        return 0;
    return lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
}

char16_t* decodeWindows1252(QByteArrayView bytes, char16_t* out)
{
    for (const char byte : bytes) {
        const auto b = static_cast<uchar>(byte);
        *out++ = (b >= 0x80 && b < 0xA0) ? cp1252High[b - 0x80] : char16_t(b);
    }
    return out;
}

char16_t* decodeUtf16(QByteArrayView bytes, bool bigEndian, char16_t* out)
{
    const auto* p = reinterpret_cast<const uchar*>(bytes.data());
    const qsizetype units = bytes.size() / 2;
    for (qsizetype i = 0; i < units; ++i, p += 2)
        *out++ = bigEndian ? char16_t(p[0] << 8 | p[1]) : char16_t(p[1] << 8 | p[0]);
    if (bytes.size() % 2 != 0)
        *out++ = 0xFFFD;
    return out;
}

} // namespace

bool isValidUtf8(QByteArrayView bytes)
{
    const auto* p = reinterpret_cast<const uchar*>(bytes.data());
    const uchar* const end = p + bytes.size();
    while (p < end) {
        while (end - p >= 8) {
            quint64 word;
            std::memcpy(&word, p, sizeof word);
            if (word & 0x8080808080808080ull)
                break;
            p += 8;
        }
        if (p == end)
            break;
        const uchar lead = *p;
        if (lead < 0x80) {
            ++p;
            continue;
        }
        const qsizetype length = utf8SequenceLength(lead);
        if (length == 0)
            return false;
        constexpr char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
        char32_t code = lead & (0x7F >> length);
        if (end - p < length)
            return false;
        for (qsizetype k = 1; k < length; ++k) {
            if (!isContinuation(p[k]))
                return false;
            code = code << 6 | (p[k] & 0x3F);
        }
        if (code < smallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        p += length;
    }
    return true;
}

std::optional<DetectedEncoding> markedEncoding(QByteArrayView bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return DetectedEncoding{TextEncoding::Utf8, 3};
    if (bytes.startsWith("\xFF\xFE"))
        return DetectedEncoding{TextEncoding::Utf16LE, 2};
    if (bytes.startsWith("\xFE\xFF"))
        return DetectedEncoding{TextEncoding::Utf16BE, 2};
    return std::nullopt;
}

DetectedEncoding detectEncoding(QByteArrayView bytes)
{
    if (const auto marked = markedEncoding(bytes))
        return *marked;
    return {isValidUtf8(bytes) ? TextEncoding::Utf8 : TextEncoding::Windows1252, 0};
}

qsizetype completeLength(TextEncoding encoding, QByteArrayView bytes)
{
    const qsizetype size = bytes.size();
    switch (encoding) {
    case TextEncoding::Utf8: {
        qsizetype start = size;
        while (start > 0 && size - start < 3 && isContinuation(uchar(bytes[start - 1])))
            --start;
        const qsizetype lead = start - 1;
        if (lead >= 0 && size - lead < utf8SequenceLength(uchar(bytes[lead])))
            return lead;
        return size;
    }
    case TextEncoding::Utf16LE:
    case TextEncoding::Utf16BE:
        return size - size % 2;
    case TextEncoding::Windows1252:
        break;
    }
    return size;
}

PieceDecoder::PieceDecoder(TextEncoding encoding)
    : m_encoding(encoding),
      // The caller has skipped the byte-order mark; a second one is text.
      m_utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom)
{}

char16_t* PieceDecoder::decode(QByteArrayView piece, char16_t* out)
{
    switch (m_encoding) {
    case TextEncoding::Utf8:
        return reinterpret_cast<char16_t*>(m_utf8.appendToBuffer(reinterpret_cast<QChar*>(out), piece));
    case TextEncoding::Utf16LE:
    case TextEncoding::Utf16BE:
        return decodeUtf16(piece, m_encoding == TextEncoding::Utf16BE, out);
    case TextEncoding::Windows1252:
        break;
    }
    return decodeWindows1252(piece, out);
}

} // namespace textio
