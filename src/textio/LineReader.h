#pragma once

#include "ByteStream.h"
#include "TextDecoding.h"
#include "TextReader.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace textio {

// Hands out the lines of a text file one by one, decoded and cut as readTextFile does it, while it holds one
// piece of the file at a time. A file without a byte-order mark is read twice: once to learn its encoding from
// all of its bytes, once to decode it.
class LineReader
{
public:
    // Hears after every piece read how much of the reading is done, from 0 to 1, the reading that learns the encoding
    // of a file without a byte-order mark counted at its share of the time. It may stop the reading by throwing.
    using ReadProgress = std::function<void(double done)>;

    static constexpr qsizetype defaultPieceBytes = 1 << 16;

    // `codePage` decodes a file without a byte-order mark that is not Unicode. Throws ErrorMessage
    // "Cannot open file \"path\". reason".
    explicit LineReader(const QString& path, const CodePage& codePage = {}, qsizetype pieceBytes = defaultPieceBytes,
                        ReadProgress progress = {});

    // The next line without its line break, valid until the next call; nullopt after the last line.
    // Throws ErrorMessage when the file cannot be read.
    std::optional<std::u16string_view> nextLine();

    // Where the text ended at a U+0000, once the reader has got there.
    const std::optional<NulStop>& nulStop() const { return m_nulStop; }

private:
    // Reads the file's first bytes and settles the encoding; the bytes after a byte-order mark stay buffered.
    DetectedEncoding settleEncoding(const CodePage& codePage);
    DetectedEncoding guessEncoding(const CodePage& codePage);
    // Moves the bytes not decoded yet to the front and reads more behind them; false at the end of the file.
    bool readMore();
    void decodeNextPiece();
    void reportProgress() const;

    // Comes first: reading starts in the constructor.
    ReadProgress m_progress;
    int m_readings = 0; // 1 or 2, once the encoding is known
    int m_reading = 0;
    ByteStream m_stream;
    QByteArray m_bytes;
    qint64 m_bytesOffset = 0; // where m_bytes begins in the file
    qsizetype m_byteStart = 0;
    qsizetype m_byteEnd = 0;
    bool m_bytesExhausted = false;
    // Initialised by reading the file's start, so it comes after the byte buffer.
    PieceDecoder m_decoder;
    // Keeps its capacity from piece to piece: decoding never allocates after the first pieces.
    std::u16string m_text;
    qsizetype m_lineStart = 0;
    qsizetype m_searchFrom = 0;
    bool m_textComplete = false;
    std::optional<NulStop> m_nulStop;
};

} // namespace textio
