#include "LineReader.h"

#include <algorithm>
#include <cstring>

namespace textio {

LineReader::LineReader(const QString& path, const CodePage& codePage, qsizetype pieceBytes, ReadProgress progress)
    : m_progress(std::move(progress)),
      m_stream(path),
      // Four bytes hold any byte-order mark and any character, so a piece never shrinks to nothing.
      m_bytes(std::max<qsizetype>(pieceBytes, 4), Qt::Uninitialized),
      m_decoder(settleEncoding(codePage))
{}

DetectedEncoding LineReader::settleEncoding(const CodePage& codePage)
{
    readMore();
    if (const auto marked = markedEncoding(QByteArrayView(m_bytes).first(m_byteEnd))) {
        m_byteStart = marked->bomLength;
        m_readings = 1;
        reportProgress();
        return *marked;
    }
    m_readings = 2;
    reportProgress();
    const DetectedEncoding guessed = guessEncoding(codePage);
    m_stream.rewind();
    m_reading = 1;
    m_byteStart = m_byteEnd = 0;
    m_bytesOffset = 0;
    m_bytesExhausted = false;
    return guessed;
}

DetectedEncoding LineReader::guessEncoding(const CodePage& codePage)
{
    EncodingGuess guess(codePage);
    guess.add(QByteArrayView(m_bytes).first(m_byteEnd));
    while (!m_bytesExhausted) {
        m_byteStart = m_byteEnd;
        readMore();
        guess.add(QByteArrayView(m_bytes).first(m_byteEnd));
    }
    return guess.detected();
}

bool LineReader::readMore()
{
    const qsizetype kept = m_byteEnd - m_byteStart;
    std::memmove(m_bytes.data(), m_bytes.constData() + m_byteStart, size_t(kept));
    m_bytesOffset += m_byteStart;
    m_byteStart = 0;
    m_byteEnd = kept;
    while (!m_bytesExhausted && m_byteEnd < m_bytes.size()) {
        const qsizetype got = m_stream.read(m_bytes.data() + m_byteEnd, m_bytes.size() - m_byteEnd);
        m_byteEnd += got;
        m_bytesExhausted = got == 0;
    }
    reportProgress();
    return !m_bytesExhausted;
}

void LineReader::reportProgress() const
{
    if (!m_progress || m_readings == 0)
        return;
    const double size = double(std::max<qint64>(m_stream.size(), 1));
    const double read = std::min(double(m_bytesOffset + m_byteEnd), size) / size;
    // Learning the encoding goes some eight times faster than decoding and counting the tokens.
    constexpr double guessShare = 0.125;
    if (m_readings == 1)
        m_progress(read);
    else
        m_progress(m_reading == 0 ? guessShare * read : guessShare + (1 - guessShare) * read);
}

std::optional<std::u16string_view> LineReader::nextLine()
{
    for (;;) {
        const char16_t* text = m_text.data();
        const qsizetype size = qsizetype(m_text.size());
        qsizetype i = m_searchFrom;
        while (i < size && text[i] != u'\n' && text[i] != u'\r')
            ++i;
        // A CR at the end of what is decoded so far may be the first half of a CR LF.
        const bool breakFound = i < size && (text[i] == u'\n' || i + 1 < size || m_textComplete);
        if (breakFound) {
            const std::u16string_view line(text + m_lineStart, size_t(i - m_lineStart));
            const bool crLf = text[i] == u'\r' && i + 1 < size && text[i + 1] == u'\n';
            m_lineStart = m_searchFrom = i + (crLf ? 2 : 1);
            return line;
        }
        if (m_textComplete) {
            if (m_lineStart == size)
                return std::nullopt;
            const std::u16string_view line(text + m_lineStart, size_t(size - m_lineStart));
            m_lineStart = m_searchFrom = size;
            return line;
        }
        m_searchFrom = i;
        decodeNextPiece();
    }
}

void LineReader::decodeNextPiece()
{
    // Only the unfinished line is kept, so the text stays about one piece long.
    m_text.erase(0, size_t(m_lineStart));
    m_searchFrom -= m_lineStart;
    m_lineStart = 0;

    const bool more = readMore();
    const QByteArrayView bytes = QByteArrayView(m_bytes).first(m_byteEnd);
    const qsizetype pieceEnd = more ? completeLength(m_decoder.encoding(), bytes) : bytes.size();
    const size_t decodedBefore = m_text.size();
    m_text.resize(decodedBefore + size_t(pieceEnd) + 1);
    char16_t* const begin = m_text.data() + decodedBefore;
    char16_t* const end = m_decoder.decode(bytes.first(pieceEnd), begin);
    m_byteStart = pieceEnd;

    // The text ends at its first U+0000.
    char16_t* const nul = std::find(begin, end, u'\0');
    m_text.resize(size_t(nul - m_text.data()));
    m_textComplete = nul != end || !more;
    if (nul != end) {
        const qint64 offset = m_bytesOffset + firstNulUnit(m_decoder.encoding(), bytes.first(pieceEnd));
        m_nulStop = NulStop{offset, m_stream.size() - offset - unitBytes(m_decoder.encoding())};
    }
}

} // namespace textio
