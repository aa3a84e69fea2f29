#pragma once

#include "textio/CodePage.h"
#include "textio/TextReader.h"

#include <QStringList>

#include <functional>
#include <string>
#include <string_view>

namespace measure {

// Receives every token in text order. The view is valid only during the call.
class TokenSink
{
public:
    virtual ~TokenSink() = default;
    virtual void AddToken(std::u16string_view token) = 0;
};

// Cuts the lines of one file after another into tokens. Lines come without their line breaks.
class Tokenizer
{
public:
    virtual ~Tokenizer() = default;
    virtual void line(std::u16string_view line) = 0;
    virtual void endOfFile() {}
};

// Standard text: runs of word characters (IsWordChar); a word never runs across a line break.
class StandardTokenizer final : public Tokenizer
{
public:
    explicit StandardTokenizer(TokenSink& sink);
    void line(std::u16string_view line) override;

private:
    TokenSink& m_sink;
};

// Arabic text: as standard text, with the hamza and madda alef forms and the wasla folded to the plain alef
// and the vowel marks U+064B..U+065E left out without ending the word.
class ArabicTokenizer final : public Tokenizer
{
public:
    explicit ArabicTokenizer(TokenSink& sink);
    void line(std::u16string_view line) override;

private:
    void flushWord();

    TokenSink& m_sink;
    std::u16string m_word;
};

// Words delimited by new lines: every line is a token, an empty line the empty token.
class LineWordsTokenizer final : public Tokenizer
{
public:
    explicit LineWordsTokenizer(TokenSink& sink);
    void line(std::u16string_view line) override;

private:
    TokenSink& m_sink;
};

// Words delimited by one character: the file is read as its lines each followed by CR LF, and only the
// delimiter separates. Two delimiters in a row give the empty token; CR LF stays inside the tokens.
class DelimitedTokenizer final : public Tokenizer
{
public:
    DelimitedTokenizer(TokenSink& sink, char16_t delimiter);
    void line(std::u16string_view line) override;
    void endOfFile() override;

private:
    TokenSink& m_sink;
    char16_t m_delimiter;
    // The token begun on earlier lines; a token that starts and ends in one line is handed out as a view.
    std::u16string m_pending;
};

// Hears after every piece read which file of the list is read (its index) and how much of its reading is done,
// from 0 to 1; it may stop the reading by throwing.
using ReadProgress = std::function<void(qsizetype file, double done)>;

// How the input files are read: `warn` hears of a file whose text a NUL cut short, `codePage` decodes a file
// without a byte-order mark that is not Unicode, and `progress` hears how far the reading has come.
struct FileReading
{
    textio::Warn warn = {};
    textio::CodePage codePage = {};
    ReadProgress progress = {};
};

// Hands the lines of every file, in list order, to the tokenizer as one stream. Throws ErrorMessage when a file
// cannot be read.
void tokenizeFiles(const QStringList& paths, Tokenizer& tokenizer, const FileReading& reading = {});

void ReadStandardText(const QStringList& paths, TokenSink& sink, const FileReading& reading = {});
void ReadArabicText(const QStringList& paths, TokenSink& sink, const FileReading& reading = {});
void ReadLineWords(const QStringList& paths, TokenSink& sink, const FileReading& reading = {});
void ReadDelimitedWords(const QStringList& paths, char16_t delimiter, TokenSink& sink, const FileReading& reading = {});

// The reader of the input format with this index of the format list: 0 standard text, 1 Arabic text,
// 2 words delimited by new lines, 3 by spaces, 4 by tabs. Any other index reads nothing.
void readTokens(int format, const QStringList& paths, TokenSink& sink, const FileReading& reading = {});

} // namespace measure
