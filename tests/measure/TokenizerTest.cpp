#include "textio/CodePage.h"
#include "textio/TextReader.h"
#include "measure/Tokenizers.h"
#include "measure/WordChar.h"

#include "QtPrinting.h"
#include "TestFiles.h"
#include "WorkingDirectory.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>
#include <QStringList>

#include <iconv.h>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace Qt::Literals::StringLiterals;
using Tokens = std::vector<std::u16string>;

class RecordingSink final : public measure::TokenSink
{
public:
    void AddToken(std::u16string_view token) override { tokens.emplace_back(token); }
    Tokens tokens;
};

// Feeds the lines of a text, cut as a file's lines are, to a fresh tokenizer of the given kind.
template <typename Tokenizer, typename... Arguments>
Tokens tokenize(const QString& text, Arguments... arguments)
{
    RecordingSink sink;
    Tokenizer tokenizer(sink, arguments...);
    for (const QStringView line : textio::splitLines(text))
        tokenizer.line(std::u16string_view(line.utf16(), size_t(line.size())));
    tokenizer.endOfFile();
    return sink.tokens;
}

TEST(IsWordChar, IsTrueExactlyInsideTheLetterRanges)
{
    // Each range of the table with the code units just outside it.
    const std::pair<char16_t, char16_t> ranges[] = {
        {0x0041, 0x005A}, {0x0061, 0x007A}, {0x00C0, 0x00D6}, {0x00D8, 0x00F6}, {0x00F8, 0x01BF}, {0x01C4, 0x02B8},
        {0x037B, 0x037D}, {0x0384, 0x0481}, {0x0561, 0x0587}, {0x05D0, 0x05EA}, {0x05F0, 0x05F1}, {0x0621, 0x063F},
        {0x0641, 0x065E}, {0x066E, 0x066F}, {0x0671, 0x0673}, {0x0675, 0x06D3}, {0x06EE, 0x06EF}, {0x06FA, 0x06FF},
        {0x070F, 0x072E}, {0x0750, 0x076D}, {0x0780, 0x07B1}, {0x07CA, 0x07E4},
    };
    for (const auto& [first, last] : ranges) {
        EXPECT_FALSE(measure::IsWordChar(first - 1)) << std::hex << first - 1;
        EXPECT_TRUE(measure::IsWordChar(first)) << std::hex << int(first);
        EXPECT_TRUE(measure::IsWordChar(last)) << std::hex << int(last);
        EXPECT_FALSE(measure::IsWordChar(last + 1)) << std::hex << last + 1;
    }
    for (const char16_t single : {0x008A, 0x008C, 0x008E, 0x009A, 0x009C, 0x009E, 0x009F})
        EXPECT_TRUE(measure::IsWordChar(single)) << std::hex << int(single);
    for (const char16_t other : {0x0000, 0x0030, 0x0027, 0x002D, 0x0089, 0x008B, 0x009D, 0x00A0, 0x0300, 0x0531, 0x0670,
                                 0x0674, 0xD800, 0xDFFF, 0xFEFF, 0xFFFD, 0xFFFF})
        EXPECT_FALSE(measure::IsWordChar(other)) << std::hex << int(other);
}

TEST(StandardTokenizer, CutsRunsOfWordCharacters)
{
    const std::pair<QString, Tokens> cases[] = {
        {u"Hello, world! 2012 don't"_s, {u"Hello", u"world", u"don", u"t"}},
        {u"nai\u0308ve na\u00EFve"_s, {u"nai", u"ve", u"na\u00EFve"}},
        {u"\u0443\u0447\u0451\u0431\u0430 \u0430\u0493\u0431"_s,
         {u"\u0443\u0447\u0451\u0431\u0430", u"\u0430", u"\u0431"}},
        {u"\u05E9\u05B8\u05C1\u05DC"_s, {u"\u05E9", u"\u05DC"}},
        {u"end\r\nof line"_s, {u"end", u"of", u"line"}},
        {u"The the THE"_s, {u"The", u"the", u"THE"}},
        {u"  \t 42 "_s, {}},
    };
    for (const auto& [text, tokens] : cases)
        EXPECT_EQ(tokenize<measure::StandardTokenizer>(text), tokens) << text.toStdString();
}

// The tokenizer classifies 64 code units at a time; words that meet or cross those block edges must come out
// as a plain scan cuts them.
TEST(StandardTokenizer, AgreesWithAPlainScanAcrossBlockEdges)
{
    const auto plainScan = [](const QString& line) {
        Tokens tokens;
        std::u16string word;
        for (const QChar c : line) {
            if (measure::IsWordChar(c.unicode())) {
                word.push_back(c.unicode());
            } else if (!word.empty()) {
                tokens.push_back(word);
                word.clear();
            }
        }
        if (!word.empty())
            tokens.push_back(word);
        return tokens;
    };
    QRandomGenerator random(20240611);
    const char16_t alphabet[] = {u'a', u'Z', u'\u00E9', u'\u0416', u' ', u'1', u'\u0300', u'\uFFFD'};
    for (int round = 0; round < 500; ++round) {
        QString line;
        const int length = int(random.bounded(200));
        for (int i = 0; i < length; ++i)
            line.append(QChar(alphabet[random.bounded(int(std::size(alphabet)))]));
        EXPECT_EQ(tokenize<measure::StandardTokenizer>(line), plainScan(line)) << line.toStdString();
    }
}

TEST(ArabicTokenizer, FoldsAlefFormsAndDropsVowelMarks)
{
    const std::pair<QString, Tokens> cases[] = {
        {u"\u0623\u064E\u062D\u0652\u0645\u064E\u062F"_s, {u"\u0627\u062D\u0645\u062F"}},
        {u"\u0622\u0625\u0671\u0627"_s, {u"\u0627\u0627\u0627\u0627"}},
        {u"\u0643\u0640\u062A\u0628"_s, {u"\u0643", u"\u062A\u0628"}},
        {u"\u0647\u0670\u0630\u0627"_s, {u"\u0647", u"\u0630\u0627"}},
        {u"\u064E\u0650 \u0628"_s, {u"\u0628"}},
        {u"\u0628\u064E\r\n\u064F\u062A"_s, {u"\u0628", u"\u062A"}},
    };
    for (const auto& [text, tokens] : cases)
        EXPECT_EQ(tokenize<measure::ArabicTokenizer>(text), tokens) << text.toStdString();
}

TEST(LineWordsTokenizer, MakesEveryLineATokenEmptyOnesToo)
{
    EXPECT_EQ(tokenize<measure::LineWordsTokenizer>(u"a\n\na\n"_s), (Tokens{u"a", u"", u"a"}));
    EXPECT_EQ(tokenize<measure::LineWordsTokenizer>(u" two words \r\n\u0416"_s), (Tokens{u" two words ", u"\u0416"}));
}

TEST(DelimitedTokenizer, SplitsOnlyAtTheDelimiterAndKeepsLineEndsInTokens)
{
    const std::tuple<QString, char16_t, Tokens> cases[] = {
        {u"a  b\n"_s, u' ', {u"a", u"", u"b\r\n"}},
        {u"x\ty\nz\tw"_s, u'\t', {u"x", u"y\r\nz", u"w\r\n"}},
        {u"\n"_s, u' ', {u"\r\n"}},
        {u"a b\n\nc d\n"_s, u' ', {u"a", u"b\r\n\r\nc", u"d\r\n"}},
        {u" a\n"_s, u' ', {u"", u"a\r\n"}},
        {u"a \n"_s, u' ', {u"a", u"\r\n"}},
        {u"a b"_s, u'\t', {u"a b\r\n"}},
        {u""_s, u' ', {}},
    };
    for (const auto& [text, delimiter, tokens] : cases)
        EXPECT_EQ(tokenize<measure::DelimitedTokenizer>(text, delimiter), tokens) << text.toStdString();
}

// Files are one stream: nothing marks the boundary, except that the delimited formats end a file's last token.
TEST(ReadTokens, ReadsTheFilesOneAfterAnotherInEveryFormat)
{
    const ScopedTemporaryWorkingDirectory folder;
    writeTestFile(u"one.txt"_s, utf8Bom + "ab\xFF" + "cd x\r\n");
    writeTestFile(u"two.txt"_s, "y z");
    writeTestFile(u"empty.txt"_s, "");
    const QStringList files{u"one.txt"_s, u"empty.txt"_s, u"two.txt"_s};
    const std::pair<int, Tokens> cases[] = {
        {0, {u"ab", u"cd", u"x", u"y", u"z"}},  {1, {u"ab", u"cd", u"x", u"y", u"z"}},
        {2, {u"ab\uFFFDcd x", u"y z"}},         {3, {u"ab\uFFFDcd", u"x\r\n", u"y", u"z\r\n"}},
        {4, {u"ab\uFFFDcd x\r\n", u"y z\r\n"}}, {5, {}},
    };
    for (const auto& [format, tokens] : cases) {
        RecordingSink sink;
        measure::readTokens(format, files, sink);
        EXPECT_EQ(sink.tokens, tokens) << "format " << format;
    }
}

struct ConvertedLines
{
    QByteArray from;
    QByteArray to;
};

// The lines of `text` that iconv converts whole, in both encodings; a line with a character the other encoding
// lacks is left out of both.
ConvertedLines convertLines(const QByteArray& text, const char* from, const char* to)
{
    const iconv_t converter = iconv_open(to, from);
    if (converter == iconv_t(-1))
        qFatal("iconv cannot convert from %s to %s", from, to);
    ConvertedLines converted;
    for (qsizetype start = 0; start < text.size();) {
        const qsizetype lineEnd = text.indexOf('\n', start);
        const qsizetype end = lineEnd < 0 ? text.size() : lineEnd + 1;
        QByteArray line = text.sliced(start, end - start);
        start = end;
        QByteArray out(line.size() * 4, Qt::Uninitialized);
        char* in = line.data();
        size_t inLeft = size_t(line.size());
        char* written = out.data();
        size_t outLeft = size_t(out.size());
        iconv(converter, nullptr, nullptr, nullptr, nullptr);
        if (iconv(converter, &in, &inLeft, &written, &outLeft) == size_t(-1))
            continue;
        converted.from += line;
        converted.to += out.first(written - out.data());
    }
    iconv_close(converter);
    return converted;
}

Tokens tokensOf(int format, const QString& path, const textio::CodePage& codePage)
{
    RecordingSink sink;
    measure::readTokens(format, {path}, sink, {.codePage = codePage});
    return sink.tokens;
}

// Legacy copies of real texts give the tokens of their UTF-8 versions, with the code page named and with it
// guessed. iconv makes the copies, independently of the converters the program decodes with.
TEST(ReadTokens, LegacyCodePagesGiveTheTokensOfTheUtf8Text)
{
    const ScopedTemporaryWorkingDirectory folder;
    struct Row
    {
        const char* name;
        const char* preamble; // a text of plain ASCII before it, or empty
        const char* file;
        const char* fileEncoding;
        const char* otherEncoding; // the legacy one or UTF-8
        QString codePage;
        int format;
    };
    const Row rows[] = {
        {"Russian in CP866", "", "ru-fortunes-love.utf8.txt", "UTF-8", "CP866", u"CP866"_s, 0},
        {"Russian in Windows-1251", "", "ru-fortunes-knowledge.utf8.txt", "UTF-8", "CP1251", u"windows-1251"_s, 0},
        {"Czech in Windows-1250", "", "cs-fortunes-klasik-cz.utf8.txt", "UTF-8", "CP1250", u"windows-1250"_s, 0},
        {"Greek word list in ISO-8859-7", "", "el-wordlist-hunspell.iso-8859-7.txt", "ISO-8859-7", "UTF-8",
         u"ISO-8859-7"_s, 2},
        // The guess takes it for KOI8-R, which has box-drawing characters where KOI8-U has і, ї, є and ґ.
        {"Ukrainian in KOI8-U", "", "uk-ui-messages.utf8.txt", "UTF-8", "KOI8-U", u"KOI8-U"_s, 0},
        // Far more ASCII than the guess samples comes first.
        {"Russian after a licence", "en-gnu-gpl-3.ascii.txt", "ru-fortunes-amur.utf8-crlf.txt", "UTF-8", "CP1251",
         u"windows-1251"_s, 0},
    };
    const QString corpora = QStringLiteral(VOCABRIX_CORPORA "/");
    for (const Row& row : rows) {
        const QByteArray preamble = *row.preamble ? readTestFile(corpora + QLatin1StringView(row.preamble)) : "";
        const ConvertedLines copy = convertLines(preamble + readTestFile(corpora + QLatin1StringView(row.file)),
                                                 row.fileEncoding, row.otherEncoding);
        const bool fromUtf8 = std::string_view(row.fileEncoding) == "UTF-8";
        writeTestFile(u"utf8.txt"_s, fromUtf8 ? copy.from : copy.to);
        writeTestFile(u"legacy.txt"_s, fromUtf8 ? copy.to : copy.from);
        const Tokens expected = tokensOf(row.format, u"utf8.txt"_s, {});
        ASSERT_GT(expected.size(), 700u) << row.name;
        // Compared whole: a token list of a million tokens is no failure message.
        EXPECT_TRUE(tokensOf(row.format, u"legacy.txt"_s, textio::CodePage::named(row.codePage).value()) == expected)
            << row.name << ", named";
        EXPECT_TRUE(tokensOf(row.format, u"legacy.txt"_s, {}) == expected) << row.name << ", guessed";
    }
}

} // namespace
