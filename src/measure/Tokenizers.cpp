#include "Tokenizers.h"

#include "textio/LineReader.h"
#include "WordChar.h"

#include <algorithm>
#include <bit>

namespace measure {
namespace {

bool isFoldedToAlef(char16_t c)
{
    return c == 0x0622 || c == 0x0623 || c == 0x0625 || c == 0x0671;
}

bool isVowelMark(char16_t c)
{
    return c >= 0x064B && c <= 0x065E;
}

// Bit k tells whether units[k] is a word character, for up to 64 units; no branch per unit.
quint64 wordCharMask(const char16_t* units, size_t count)
{
    quint64 mask = 0;
    for (size_t k = 0; k < count; ++k)
        mask |= quint64(IsWordChar(units[k])) << k;
    return mask;
}

} // namespace

StandardTokenizer::StandardTokenizer(TokenSink& sink)
    : m_sink(sink)
{}

void StandardTokenizer::line(std::u16string_view line)
{
    // Words are found at the changes of a bit mask, 64 code units at a time, so the branches come once per
    // word instead of once per letter.
    const char16_t* const data = line.data();
    const size_t n = line.size();
    bool inWord = false;
    size_t wordStart = 0;
    for (size_t block = 0; block < n; block += 64) {
        const size_t count = std::min<size_t>(64, n - block);
        const quint64 letters = wordCharMask(data + block, count);
        const quint64 separators = ~letters & (count == 64 ? ~quint64(0) : (quint64(1) << count) - 1);

        size_t k = 0;
        for (;;) {
            const quint64 ahead = (inWord ? separators : letters) & (~quint64(0) << k);
            if (ahead == 0)
                break;
            k = size_t(std::countr_zero(ahead));
            if (inWord)
                m_sink.AddToken(std::u16string_view(data + wordStart, block + k - wordStart));
            else
                wordStart = block + k;
            inWord = !inWord;
        }
    }
    if (inWord)
        m_sink.AddToken(std::u16string_view(data + wordStart, n - wordStart));
}

ArabicTokenizer::ArabicTokenizer(TokenSink& sink)
    : m_sink(sink)
{}

void ArabicTokenizer::line(std::u16string_view line)
{
    for (const char16_t c : line) {
        if (!IsWordChar(c))
            flushWord();
        else if (isFoldedToAlef(c))
            m_word.push_back(0x0627);
        else if (!isVowelMark(c))
            m_word.push_back(c);
    }
    flushWord();
}

void ArabicTokenizer::flushWord()
{
    // A word of marks alone stays empty and is no token.
    if (m_word.empty())
        return;
    m_sink.AddToken(m_word);
    m_word.clear();
}

LineWordsTokenizer::LineWordsTokenizer(TokenSink& sink)
    : m_sink(sink)
{}

void LineWordsTokenizer::line(std::u16string_view line)
{
    m_sink.AddToken(line);
}

DelimitedTokenizer::DelimitedTokenizer(TokenSink& sink, char16_t delimiter)
    : m_sink(sink),
      m_delimiter(delimiter)
{}

void DelimitedTokenizer::line(std::u16string_view line)
{
    size_t start = 0;
    for (size_t cut = line.find(m_delimiter); cut != std::u16string_view::npos; cut = line.find(m_delimiter, start)) {
        const std::u16string_view piece = line.substr(start, cut - start);
        if (m_pending.empty()) {
            m_sink.AddToken(piece);
        } else {
            m_pending.append(piece);
            m_sink.AddToken(m_pending);
            m_pending.clear();
        }
        start = cut + 1;
    }
    m_pending.append(line.substr(start));
    m_pending.append(u"\r\n");
}

void DelimitedTokenizer::endOfFile()
{
    if (m_pending.empty())
        return;
    m_sink.AddToken(m_pending);
    m_pending.clear();
}

void tokenizeFiles(const QStringList& paths, Tokenizer& tokenizer, const FileReading& reading)
{
    for (qsizetype file = 0; file < paths.size(); ++file) {
        const QString& path = paths[file];
        textio::LineReader::ReadProgress pieceRead;
        if (reading.progress)
            pieceRead = [&reading, file](double done) {
                reading.progress(file, done);
            };
        textio::LineReader reader(path, reading.codePage, textio::LineReader::defaultPieceBytes, std::move(pieceRead));
        while (const auto line = reader.nextLine())
            tokenizer.line(*line);
        tokenizer.endOfFile();
        if (const auto warning = textio::nulStopWarning(path, reader.nulStop()); warning && reading.warn)
            reading.warn(*warning);
        if (reading.progress)
            reading.progress(file, 1.0);
    }
}

void ReadStandardText(const QStringList& paths, TokenSink& sink, const FileReading& reading)
{
    StandardTokenizer tokenizer(sink);
    tokenizeFiles(paths, tokenizer, reading);
}

void ReadArabicText(const QStringList& paths, TokenSink& sink, const FileReading& reading)
{
    ArabicTokenizer tokenizer(sink);
    tokenizeFiles(paths, tokenizer, reading);
}

void ReadLineWords(const QStringList& paths, TokenSink& sink, const FileReading& reading)
{
    LineWordsTokenizer tokenizer(sink);
    tokenizeFiles(paths, tokenizer, reading);
}

void ReadDelimitedWords(const QStringList& paths, char16_t delimiter, TokenSink& sink, const FileReading& reading)
{
    DelimitedTokenizer tokenizer(sink, delimiter);
    tokenizeFiles(paths, tokenizer, reading);
}

void readTokens(int format, const QStringList& paths, TokenSink& sink, const FileReading& reading)
{
    switch (format) {
    case 0:
        ReadStandardText(paths, sink, reading);
        break;
    case 1:
        ReadArabicText(paths, sink, reading);
        break;
    case 2:
        ReadLineWords(paths, sink, reading);
        break;
    case 3:
        ReadDelimitedWords(paths, u' ', sink, reading);
        break;
    case 4:
        ReadDelimitedWords(paths, u'\t', sink, reading);
        break;
    default:
        break;
    }
}

} // namespace measure
