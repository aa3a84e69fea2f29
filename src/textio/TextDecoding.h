#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>

#include <optional>

namespace textio {

enum class TextEncoding
{
    Utf8,
    Utf16LE,
    Utf16BE,
    Windows1252,
};

struct DetectedEncoding
{
    TextEncoding encoding = TextEncoding::Utf8;
    qsizetype bomLength = 0;
};

// The encoding a byte-order mark at the start of the bytes selects (EF BB BF, FF FE, FE FF, tested in that
// order), or nullopt.
std::optional<DetectedEncoding> markedEncoding(QByteArrayView bytes);

// A byte-order mark decides; without one the bytes are UTF-8 when they are valid UTF-8, Windows-1252 otherwise.
DetectedEncoding detectEncoding(QByteArrayView bytes);

bool isValidUtf8(QByteArrayView bytes);

// The length of the longest start of `bytes` that ends between two characters, so that the rest can wait for
// the bytes that follow it. A sequence that can never be completed counts as ended.
qsizetype completeLength(TextEncoding encoding, QByteArrayView bytes);

// Decodes a text piece by piece; pieces cut where completeLength() allows decode exactly as the whole would.
// Invalid sequences become U+FFFD, an odd last byte of UTF-16 too.
class PieceDecoder
{
public:
    explicit PieceDecoder(TextEncoding encoding);

    TextEncoding encoding() const { return m_encoding; }
    // Writes the decoded piece to `out`, which has room for one code unit more than the piece has bytes (no
    // encoding yields more, except for the replacement of an odd last UTF-16 byte). Returns the end.
    char16_t* decode(QByteArrayView piece, char16_t* out);

private:
    TextEncoding m_encoding;
    QStringDecoder m_utf8;
};

} // namespace textio
