#pragma once

#include "CodePage.h"
#include "CodePageGuess.h"

#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>

#include <array>
#include <optional>

namespace textio {

enum class TextEncoding
{
    Utf8,
    Utf16LE,
    Utf16BE,
    Utf32LE,
    Utf32BE,
    // A single-byte code page, which DetectedEncoding names.
    EightBit,
};

struct DetectedEncoding
{
    TextEncoding encoding = TextEncoding::Utf8;
    qsizetype bomLength = 0;
    CodePage codePage; // for 8-bit text, a named one
};

// The encoding a byte-order mark at the start of the bytes selects (EF BB BF, FF FE 00 00, 00 00 FE FF, FF FE,
// FE FF, tested in that order), or nullopt.
std::optional<DetectedEncoding> markedEncoding(QByteArrayView bytes);

// Checks UTF-8 fed in pieces of any size: the verdict is the same as for the whole.
class Utf8Check
{
public:
    void add(QByteArrayView bytes);
    bool valid() const { return m_valid && m_continuations == 0; }

private:
    bool m_valid = true;
    int m_continuations = 0; // continuation bytes the current sequence still needs
    uchar m_low = 0x80;      // the range of the next continuation byte
    uchar m_high = 0xBF;
};

bool isValidUtf8(QByteArrayView bytes);

// Tells the encoding of a text without a byte-order mark from all of its bytes, fed in pieces of any size.
// A text whose every fourth byte is zero is UTF-32, one with a zero in every second byte (of most units) is
// UTF-16: 8-bit text holds no zero bytes but for a stray NUL. Otherwise the text is UTF-8 when it is valid UTF-8,
// else 8-bit, in the code page given or, when that is automatic, in the one guessed from the text.
class EncodingGuess
{
public:
    explicit EncodingGuess(const CodePage& codePage = {});

    void add(QByteArrayView bytes);
    // With the guessed code page for 8-bit text and no byte-order mark.
    DetectedEncoding detected() const;

private:
    TextEncoding encoding() const;
    void countZeros(QByteArrayView bytes);

    Utf8Check m_utf8;
    quint64 m_size = 0;
    std::array<quint64, 4> m_zeros{}; // zero bytes by position modulo 4
    CodePage m_codePage;
    CodePageSample m_sample; // only for an automatic code page
};

// A byte-order mark decides; without one EncodingGuess does.
DetectedEncoding detectEncoding(QByteArrayView bytes, const CodePage& codePage = {});

// The length of the longest start of `bytes` that ends between two characters, so that the rest can wait for
// the bytes that follow it. A sequence that can never be completed counts as ended.
qsizetype completeLength(TextEncoding encoding, QByteArrayView bytes);

// Bytes per code unit: where in the bytes an encoding's U+0000 can start.
qsizetype unitBytes(TextEncoding encoding);

// The offset in `bytes` (a text without its mark) of the text's first U+0000: its first all-zero code unit, or
// -1. Only there can a decoder yield U+0000.
qsizetype firstNulUnit(TextEncoding encoding, QByteArrayView bytes);

// Decodes a text piece by piece; pieces cut where completeLength() allows decode exactly as the whole would.
// Invalid sequences become U+FFFD, an incomplete last unit of UTF-16 or UTF-32 too.
class PieceDecoder
{
public:
    explicit PieceDecoder(const DetectedEncoding& detected);

    TextEncoding encoding() const { return m_encoding; }
    // Writes the decoded piece to `out`, which has room for one code unit more than the piece has bytes (no
    // encoding yields more, except for the replacement of an incomplete last unit). Returns the end.
    char16_t* decode(QByteArrayView piece, char16_t* out);

private:
    TextEncoding m_encoding;
    QStringDecoder m_utf8;
    CodePage m_codePage;
};

} // namespace textio
