#include "TextDecoding.h"

#include <QtEndian>

#include <bit>

namespace textio {
namespace {

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

char16_t* decodeUtf16(QByteArrayView bytes, bool bigEndian, char16_t* out)
{
    const auto* p = reinterpret_cast<const uchar*>(bytes.data());
    const qsizetype units = bytes.size() / 2;
    for (qsizetype i = 0; i < units; ++i, p += 2)
        *out++ = bigEndian ? qFromBigEndian<char16_t>(p) : qFromLittleEndian<char16_t>(p);
    if (bytes.size() % 2 != 0)
        *out++ = 0xFFFD;
    return out;
}

char16_t* decodeUtf32(QByteArrayView bytes, bool bigEndian, char16_t* out)
{
    const auto* p = reinterpret_cast<const uchar*>(bytes.data());
    const qsizetype units = bytes.size() / 4;
    for (qsizetype i = 0; i < units; ++i, p += 4) {
        const char32_t c = bigEndian ? qFromBigEndian<quint32>(p) : qFromLittleEndian<quint32>(p);
        if (QChar::requiresSurrogates(c) && c <= QChar::LastValidCodePoint) {
            *out++ = QChar::highSurrogate(c);
            *out++ = QChar::lowSurrogate(c);
        } else {
            *out++ = c < 0x10000 && !QChar::isSurrogate(c) ? char16_t(c) : char16_t(0xFFFD);
        }
    }
    if (bytes.size() % 4 != 0)
        *out++ = 0xFFFD;
    return out;
}

} // namespace

void Utf8Check::add(QByteArrayView bytes)
{
    const auto* p = reinterpret_cast<const uchar*>(bytes.data());
    const uchar* const end = p + bytes.size();
    while (p < end && m_valid) {
        if (m_continuations > 0) {
            m_valid = *p >= m_low && *p <= m_high;
            m_low = 0x80;
            m_high = 0xBF;
            --m_continuations;
            ++p;
            continue;
        }
        while (end - p >= 8 && (qFromUnaligned<quint64>(p) & 0x8080808080808080ull) == 0)
            p += 8;
        if (p == end)
            break;
        const uchar lead = *p++;
        if (lead < 0x80)
            continue;
        // The second byte's range excludes overlong forms, surrogates and values beyond U+10FFFF.
        m_continuations = int(utf8SequenceLength(lead)) - 1;
        m_valid = m_continuations > 0;
        if (lead == 0xE0)
            m_low = 0xA0;
        else if (lead == 0xED)
            m_high = 0x9F;
        else if (lead == 0xF0)
            m_low = 0x90;
        else if (lead == 0xF4)
            m_high = 0x8F;
    }
}

bool isValidUtf8(QByteArrayView bytes)
{
    Utf8Check check;
    check.add(bytes);
    return check.valid();
}

EncodingGuess::EncodingGuess(const CodePage& codePage)
    : m_codePage(codePage)
{}

void EncodingGuess::add(QByteArrayView bytes)
{
    m_utf8.add(bytes);
    countZeros(bytes);
    if (m_codePage.isAutomatic())
        m_sample.add(bytes);
}

void EncodingGuess::countZeros(QByteArrayView bytes)
{
    const auto* p = reinterpret_cast<const uchar*>(bytes.data());
    const uchar* const end = p + bytes.size();
    // Byte by byte up to a position that is a multiple of 4; from there byte k of each eight lies at a
    // position that is k modulo 4.
    for (; p < end && m_size % 4 != 0; ++p, ++m_size)
        m_zeros[m_size % 4] += *p == 0 ? 1 : 0;
    constexpr quint64 low7 = 0x7F7F7F7F7F7F7F7Full;
    for (; end - p >= 8; p += 8, m_size += 8) {
        const quint64 word = qFromLittleEndian<quint64>(p);
        // 0x80 in each byte that is zero, nothing elsewhere; the sum never carries from one byte to the next.
        const quint64 zeroBytes = ~(((word & low7) + low7) | word | low7);
        if (zeroBytes == 0)
            continue;
        for (int k = 0; k < 4; ++k)
            m_zeros[k] +=
                quint64(std::popcount(zeroBytes & (quint64(0x80) << (8 * k) | quint64(0x80) << (8 * k + 32))));
    }
    for (; p < end; ++p, ++m_size)
        m_zeros[m_size % 4] += *p == 0 ? 1 : 0;
}

TextEncoding EncodingGuess::encoding() const
{
    std::array<quint64, 4> bytes{}; // bytes at each position modulo 4
    for (quint64 k = 0; k < 4; ++k)
        bytes[k] = m_size > k ? (m_size - k + 3) / 4 : 0;
    const auto allZero = [&](int k) {
        return m_zeros[k] == bytes[k];
    };
    const auto mostlyZero = [](quint64 zeros, quint64 of) {
        return zeros * 10 >= of * 9;
    };
    const auto halfZero = [](quint64 zeros, quint64 of) {
        return zeros * 2 >= of;
    };
    const auto rarelyZero = [](quint64 zeros, quint64 of) {
        return zeros * 10 <= of;
    };

    // UTF-32 leaves the top byte of every unit zero, and the next one too but for characters beyond U+FFFF; a
    // text of NULs alone is no UTF-32.
    if (m_size >= 4) {
        if (allZero(3) && mostlyZero(m_zeros[2], bytes[2]) && !(allZero(0) && allZero(1)))
            return TextEncoding::Utf32LE;
        if (allZero(0) && mostlyZero(m_zeros[1], bytes[1]) && !(allZero(2) && allZero(3)))
            return TextEncoding::Utf32BE;
    }
    // UTF-16 of a Latin text has a zero high byte in most units (all but quotes, dashes and the like) and a zero
    // low byte in hardly any; 8-bit text has hardly any zero byte at all.
    if (m_size >= 2) {
        const quint64 evenZeros = m_zeros[0] + m_zeros[2];
        const quint64 oddZeros = m_zeros[1] + m_zeros[3];
        const quint64 evenBytes = bytes[0] + bytes[2];
        const quint64 oddBytes = bytes[1] + bytes[3];
        if (halfZero(oddZeros, oddBytes) && rarelyZero(evenZeros, evenBytes))
            return TextEncoding::Utf16LE;
        if (halfZero(evenZeros, evenBytes) && rarelyZero(oddZeros, oddBytes))
            return TextEncoding::Utf16BE;
    }
    return m_utf8.valid() ? TextEncoding::Utf8 : TextEncoding::EightBit;
}

DetectedEncoding EncodingGuess::detected() const
{
    const TextEncoding guessed = encoding();
    if (guessed != TextEncoding::EightBit)
        return {guessed, 0, {}};
    return {guessed, 0, m_codePage.isAutomatic() ? m_sample.guess() : m_codePage};
}

std::optional<DetectedEncoding> markedEncoding(QByteArrayView bytes)
{
    // UTF-32 LE before UTF-16 LE: its mark begins with the other's.
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return DetectedEncoding{TextEncoding::Utf8, 3, {}};
    if (bytes.startsWith(QByteArrayView("\xFF\xFE\0\0", 4)))
        return DetectedEncoding{TextEncoding::Utf32LE, 4, {}};
    if (bytes.startsWith(QByteArrayView("\0\0\xFE\xFF", 4)))
        return DetectedEncoding{TextEncoding::Utf32BE, 4, {}};
    if (bytes.startsWith("\xFF\xFE"))
        return DetectedEncoding{TextEncoding::Utf16LE, 2, {}};
    if (bytes.startsWith("\xFE\xFF"))
        return DetectedEncoding{TextEncoding::Utf16BE, 2, {}};
    return std::nullopt;
}

DetectedEncoding detectEncoding(QByteArrayView bytes, const CodePage& codePage)
{
    if (const auto marked = markedEncoding(bytes))
        return *marked;
    EncodingGuess guess(codePage);
    guess.add(bytes);
    return guess.detected();
}

qsizetype unitBytes(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf16LE:
    case TextEncoding::Utf16BE:
        return 2;
    case TextEncoding::Utf32LE:
    case TextEncoding::Utf32BE:
        return 4;
    case TextEncoding::Utf8:
    case TextEncoding::EightBit:
        break;
    }
    return 1;
}

qsizetype firstNulUnit(TextEncoding encoding, QByteArrayView bytes)
{
    const qsizetype unit = unitBytes(encoding);
    for (qsizetype i = 0; i + unit <= bytes.size(); i += unit) {
        if (bytes.sliced(i, unit).count('\0') == unit)
            return i;
    }
    return -1;
}

qsizetype completeLength(TextEncoding encoding, QByteArrayView bytes)
{
    const qsizetype size = bytes.size();
    if (encoding != TextEncoding::Utf8)
        return size - size % unitBytes(encoding);
    qsizetype start = size;
    while (start > 0 && size - start < 3 && isContinuation(uchar(bytes[start - 1])))
        --start;
    const qsizetype lead = start - 1;
    if (lead >= 0 && size - lead < utf8SequenceLength(uchar(bytes[lead])))
        return lead;
    return size;
}

PieceDecoder::PieceDecoder(const DetectedEncoding& detected)
    : m_encoding(detected.encoding),
      // The caller has skipped the byte-order mark; a second one is text.
      m_utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom),
      m_codePage(detected.codePage)
{}

char16_t* PieceDecoder::decode(QByteArrayView piece, char16_t* out)
{
    switch (m_encoding) {
    case TextEncoding::Utf8:
        return reinterpret_cast<char16_t*>(m_utf8.appendToBuffer(reinterpret_cast<QChar*>(out), piece));
    case TextEncoding::Utf16LE:
    case TextEncoding::Utf16BE:
        return decodeUtf16(piece, m_encoding == TextEncoding::Utf16BE, out);
    case TextEncoding::Utf32LE:
    case TextEncoding::Utf32BE:
        return decodeUtf32(piece, m_encoding == TextEncoding::Utf32BE, out);
    case TextEncoding::EightBit:
        break;
    }
    return m_codePage.decode(piece, out);
}

} // namespace textio
