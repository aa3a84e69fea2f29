#include "textio/LineReader.h"
#include "textio/CodePage.h"
#include "textio/ErrorMessage.h"
#include "textio/TextDecoding.h"
#include "textio/TextReader.h"

#include "QtPrinting.h"
#include "TestFiles.h"
#include "WorkingDirectory.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QStringList>

#include <algorithm>
#include <vector>

namespace {

using namespace Qt::Literals::StringLiterals;

using textio::decodeText;

QStringList linesOf(const QString& text)
{
    QStringList lines;
    for (const QStringView line : textio::splitLines(text))
        lines.append(line.toString());
    return lines;
}

QStringList linesRead(const QString& path, qsizetype pieceBytes, std::optional<textio::NulStop>* nulStop = nullptr,
                      const textio::CodePage& codePage = {})
{
    textio::LineReader reader(path, codePage, pieceBytes);
    QStringList lines;
    while (const auto line = reader.nextLine())
        lines.append(QString::fromUtf16(line->data(), qsizetype(line->size())));
    if (nulStop)
        *nulStop = reader.nulStop();
    return lines;
}

QStringList fileLines(const QString& path)
{
    return linesRead(path, 1 << 16);
}

const QByteArray utf32LeBom = literalBytes("\xFF\xFE\0\0");

struct DecodeCase
{
    const char* name;
    QByteArray bytes;
    QString text;
};

TEST(DecodeText, ChoosesTheEncodingAndCutsAtTheFirstNul)
{
    const DecodeCase cases[] = {
        {"empty", "", u""_s},
        {"utf8 without mark", "na\xC3\xAFve", u"na\u00EFve"_s},
        {"invalid utf8 is windows-1252", "caf\xE9 \x80\x9F", u"caf\u00E9 \u20AC\u0178"_s},
        {"too few bytes above 7f to guess from", "Bront\xEB", u"Bront\u00EB"_s},
        {"windows-1252 holes keep latin-1", "\x81\x8D\x8F\x90\x9D", u"\u0081\u008D\u008F\u0090\u009D"_s},
        {"utf8 mark is skipped", utf8Bom + "a", u"a"_s},
        {"second utf8 mark is text", utf8Bom + utf8Bom + "a", u"\uFEFFa"_s},
        {"marked utf8 with invalid bytes", utf8Bom + "ab\xFFz", u"ab\uFFFDz"_s},
        {"utf16le", utf16LeBom + literalBytes("a\0\x16\x04"), u"a\u0416"_s},
        {"utf16be", utf16BeBom + literalBytes("\0a\x04\x16"), u"a\u0416"_s},
        {"utf16 odd length", utf16LeBom + literalBytes("a\0b"), u"a\uFFFD"_s},
        {"utf16 pair kept", utf16LeBom + literalBytes("\x3D\xD8\x00\xDE"), u"\U0001F600"_s},
        {"nul ends the text", literalBytes("ab\0cd"), u"ab"_s},
        {"only nul bytes", QByteArray(4, '\0'), u""_s},
        {"nul in utf16", utf16LeBom + literalBytes("a\0\0\0b\0"), u"a"_s},
        {"utf32le mark before utf16le", utf32LeBom + literalBytes("a\0\0\0\0\xF6\x01\0"), u"a\U0001F600"_s},
        {"utf32be mark", literalBytes("\0\0\xFE\xFF\0\0\x04\x16"), u"\u0416"_s},
        {"utf32 beyond unicode or a surrogate", utf32LeBom + literalBytes("\0\0\x11\0\0\xD8\0\0"), u"\uFFFD\uFFFD"_s},
        {"utf32 incomplete last unit", utf32LeBom + literalBytes("a\0\0\0b"), u"a\uFFFD"_s},
        {"utf16le without mark, a few units beyond latin-1",
         QStringEncoder(QStringConverter::Utf16LE)(u"l\u2019\u00E9t\u00E9 \u2013 \u00E0 Paris"_s),
         u"l\u2019\u00E9t\u00E9 \u2013 \u00E0 Paris"_s},
        {"utf16be without mark", literalBytes("\0h\0i"), u"hi"_s},
        {"utf32le without mark", literalBytes("h\0\0\0i\0\0\0"), u"hi"_s},
        {"utf32be without mark", literalBytes("\0\0\0h\0\0\0i"), u"hi"_s},
        {"a stray nul leaves 8-bit text 8-bit", literalBytes("caf\xE9\0 au lait"), u"caf\u00E9"_s},
    };
    for (const DecodeCase& c : cases)
        EXPECT_EQ(decodeText(c.bytes).text, c.text) << c.name;
}

// The warning names the byte where the NUL character starts and the bytes left unread behind it.
TEST(DecodeText, TellsWhereANulEndedTheText)
{
    const std::pair<QByteArray, std::optional<textio::NulStop>> cases[] = {
        {"no nul", std::nullopt},
        {literalBytes("ab\0cd"), textio::NulStop{2, 2}},
        {utf16LeBom + literalBytes("a\0\0\0b\0"), textio::NulStop{4, 2}},
        {utf32LeBom + literalBytes("a\0\0\0\0\0\0\0b\0\0\0"), textio::NulStop{8, 4}},
        {utf8Bom + literalBytes("\xE2\0ab"), textio::NulStop{4, 2}},
    };
    for (const auto& [bytes, stop] : cases)
        EXPECT_EQ(decodeText(bytes).nulStop, stop) << bytes.toHex().toStdString();
    EXPECT_EQ(textio::nulStopWarning(u"a.txt"_s, textio::NulStop{3, 8}), std::nullopt);
    EXPECT_EQ(textio::nulStopWarning(u"a.txt"_s, textio::NulStop{3, 9}),
              u"Warning: the text of file \"a.txt\" ends at a NUL character at byte 3; the 9 bytes after it were not "
              "read."_s);
}

// An unmarked file is decoded as UTF-8 only when all of it is well formed, so the check must agree with the
// decoder on every sequence, including the ones just inside and just outside the rules.
TEST(IsValidUtf8, AgreesWithTheDecoder)
{
    const std::pair<QByteArray, bool> cases[] = {
        {"", true},
        {"plain ascii, longer than eight bytes", true},
        {"\xC2\x80 \xDF\xBF \xE0\xA0\x80 \xEF\xBF\xBF \xF0\x90\x80\x80 \xF4\x8F\xBF\xBF", true},
        {"\xEF\xB7\x90", true},
        {"\xC0\x80", false},
        {"\xC1\xBF", false},
        {"\xE0\x9F\xBF", false},
        {"\xF0\x8F\xBF\xBF", false},
        {"\xED\xA0\x80", false},
        {"\xED\xBF\xBF", false},
        {"\xF4\x90\x80\x80", false},
        {"\xF5\x80\x80\x80", false},
        {"\x80", false},
        {"abcdefgh\xE2\x82", false},
        {"\xE2\x82x", false},
        {"caf\xE9", false},
    };
    for (const auto& [bytes, valid] : cases) {
        QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
        const QString decoded = decoder.decode(bytes);
        EXPECT_EQ(textio::isValidUtf8(bytes), valid) << bytes.toHex().toStdString();
        EXPECT_EQ(!decoder.hasError(), valid) << bytes.toHex().toStdString();
    }
}

TEST(SplitLines, EndsLinesAtCrLfLoneCrAndLoneLf)
{
    const std::pair<QString, QStringList> cases[] = {
        {u""_s, {}},
        {u"a"_s, {u"a"_s}},
        {u"a\r\n"_s, {u"a"_s}},
        {u"a\r\nb"_s, {u"a"_s, u"b"_s}},
        {u"a\rb\nc"_s, {u"a"_s, u"b"_s, u"c"_s}},
        {u"a\n\rb"_s, {u"a"_s, u""_s, u"b"_s}},
        {u"\r\n\r\n"_s, {u""_s, u""_s}},
        {u"a\r\r\n"_s, {u"a"_s, u""_s}},
        {u"\n"_s, {u""_s}},
    };
    for (const auto& [text, lines] : cases)
        EXPECT_EQ(linesOf(text), lines) << text.toStdString();
}

// The reader decodes piece by piece; cutting anywhere must not change a line, a character or a line end, nor the
// code page guessed from the text.
TEST(LineReader, ReadsLikeTheWholeFileForEveryPieceSize)
{
    const ScopedTemporaryWorkingDirectory folder;
    const textio::CodePage automatic;
    const textio::CodePage koi8r = textio::CodePage::named(u"KOI8-R"_s).value();
    // More Russian than the guess samples, after a line of plain ASCII and with a NUL near the end.
    QByteArray russian = "ASCII, which tells nothing about a code page\r\n";
    const QString pangram =
        u"\u0421\u044A\u0435\u0448\u044C \u0436\u0435 \u0435\u0449\u0451 \u044D\u0442\u0438\u0445 "
        u"\u043C\u044F\u0433\u043A\u0438\u0445 \u0444\u0440\u0430\u043D\u0446\u0443\u0437\u0441\u043A\u0438\u0445 "
        u"\u0431\u0443\u043B\u043E\u043A, \u0434\u0430 \u0432\u044B\u043F\u0435\u0439 \u0447\u0430\u044E"_s;
    for (int line = 0; line < 300; ++line)
        russian += QByteArray(QStringEncoder("windows-1251")(pangram + (line % 3 == 0 ? u"\r"_s : u"\r\n"_s)));
    russian += literalBytes("\n\0\xE0");
    const std::pair<QByteArray, textio::CodePage> samples[] = {
        {utf8Bom + "\xC5\xBE\xC3\xA1k\r\n\xE2\x82\xAC\xF0\x9F\x98\x80x\ry\n\rz\r\n", automatic},
        {"caf\xE9\r\n\x80\r\r\n", automatic},
        {utf8Bom + "a\xE2\x82\r\nb\xF0\x9F", automatic},
        {utf16LeBom + literalBytes("a\0\r\0\n\0\x3D\xD8\x00\xDE\r\0b"), automatic},
        {utf16BeBom + literalBytes("\0a\0\r\0\n\0b\0"), automatic},
        {literalBytes("one\r\ntwo\0three\r\n"), automatic},
        {utf32LeBom + literalBytes("a\0\0\0\r\0\0\0\0\xF6\x01\0\n\0\0\0\0\0\0\0b\0\0\0c"), automatic},
        {literalBytes("\0\0\0a\0\0\0\r\0\0\0b"), automatic},
        {literalBytes("a\0\r\0\n\0\xE9\0"), automatic},
        {"", automatic},
        {"\r\n", automatic},
        {russian, automatic},
        {russian, koi8r},
        {"caf\xE9\r\n\x80\r\r\n", koi8r},
    };
    int sample = 0;
    for (const auto& [bytes, codePage] : samples) {
        const QString path = folder.filePath(QStringLiteral("sample%1.txt").arg(++sample));
        writeTestFile(path, bytes);
        const textio::DecodedText whole = decodeText(bytes, codePage);
        for (const qsizetype piece : {4, 5, 6, 7, 9, 1 << 16}) {
            std::optional<textio::NulStop> stop;
            EXPECT_EQ(linesRead(path, piece, &stop, codePage), linesOf(whole.text))
                << "sample " << sample << ", piece " << piece;
            EXPECT_EQ(stop, whole.nulStop) << "sample " << sample << ", piece " << piece;
        }
    }
    EXPECT_TRUE(decodeText(russian).text.contains(u"\u0421\u044A\u0435\u0448\u044C"_s));
    EXPECT_TRUE(decodeText(russian, koi8r).text.contains(u"\u044F\u0417\u0415\u042C\u042D"_s));
}

// A code page decodes a streamed text only if every byte alone decodes to one character, as it does among others.
TEST(CodePage, TakesSingleByteCodePagesByNameOnly)
{
    const std::pair<QString, bool> names[] = {
        {u"windows-1250"_s, true},
        {u"windows-1251"_s, true},
        {u"windows-1252"_s, true},
        {u"windows-1253"_s, true},
        {u"windows-1254"_s, true},
        {u"windows-1256"_s, true},
        {u"ISO-8859-1"_s, true},
        {u"ISO-8859-2"_s, true},
        {u"ISO-8859-5"_s, true},
        {u"ISO-8859-7"_s, true},
        {u"ISO-8859-15"_s, true},
        {u"KOI8-R"_s, true},
        {u"KOI8-U"_s, true},
        {u"CP866"_s, true},
        {u"cp437"_s, true},
        {u"UTF-8"_s, false},
        {u"UTF-16LE"_s, false},
        {u"UTF-7"_s, false},
        {u"Shift_JIS"_s, false},
        {u"ISO-2022-JP"_s, false},
        {u"US-ASCII"_s, false},
        {u"auto"_s, false},
        {u""_s, false},
        {u"windows-9999"_s, false},
    };
    for (const auto& [name, taken] : names)
        EXPECT_EQ(textio::CodePage::named(name).has_value(), taken) << name.toStdString();
    EXPECT_EQ(textio::CodePage::named(u"CP866"_s), textio::CodePage::named(u"IBM866"_s));
    EXPECT_EQ(textio::CodePage::named(u"windows-1252"_s), textio::CodePage::windows1252());
}

// Text in UTF-16 or UTF-32, with or without a mark, reads as its UTF-8 version does.
TEST(LineReader, ReadsUnicodeWithoutAMarkLikeItsUtf8Version)
{
    const ScopedTemporaryWorkingDirectory folder;
    const QString corpus = QStringLiteral(VOCABRIX_CORPORA "/fr-candide-excerpt");
    const QStringList expected = fileLines(corpus + u".utf8.txt"_s);
    ASSERT_EQ(expected.size(), 510);
    EXPECT_EQ(fileLines(corpus + u".utf16le-nobom.txt"_s), expected);

    const QString text = decodeText(readTestFile(corpus + u".utf8.txt"_s)).text;
    QByteArray utf32be;
    for (const char32_t c : text.toUcs4()) {
        const char unit[] = {char(c >> 24), char(c >> 16), char(c >> 8), char(c)};
        utf32be.append(unit, 4);
    }
    writeTestFile(u"utf32be.txt"_s, utf32be);
    writeTestFile(u"utf32be-marked.txt"_s, literalBytes("\0\0\xFE\xFF") + utf32be);
    writeTestFile(u"utf16be.txt"_s, QStringEncoder(QStringConverter::Utf16BE)(text));
    for (const QString& name : {u"utf32be.txt"_s, u"utf32be-marked.txt"_s, u"utf16be.txt"_s})
        EXPECT_EQ(fileLines(name), expected) << name.toStdString();
}

TEST(LineReader, ReadsARealCorpusLikeTheWholeFile)
{
    const QString path = QStringLiteral(VOCABRIX_CORPORA "/ru-fortunes-amur.utf8-crlf.txt");
    const textio::TextLines whole = textio::readTextFile(path);
    QStringList expected;
    for (const QStringView line : whole.lines)
        expected.append(line.toString());
    EXPECT_EQ(linesRead(path, 1000), expected);
    EXPECT_EQ(expected.size(), 136); // 135 line breaks and a last line without one
}

// The progress rises piece by piece to the whole, over both readings of a file without a byte-order mark, and a
// progress that throws stops the reading.
TEST(LineReader, ReportsItsProgressPieceByPiece)
{
    const QString corpora = QStringLiteral(VOCABRIX_CORPORA);
    for (const QString& name : {u"/en-sexam-readme.utf8-bom.txt"_s, u"/ru-fortunes-amur.utf8-crlf.txt"_s}) {
        std::vector<double> reports;
        textio::LineReader reader(corpora + name, {}, 100, [&reports](double done) { reports.push_back(done); });
        while (reader.nextLine()) {
        }
        const qint64 pieces = (QFileInfo(corpora + name).size() + 99) / 100;
        EXPECT_GE(qint64(reports.size()), name.contains(u"bom"_s) ? pieces : 2 * pieces) << name.toStdString();
        EXPECT_TRUE(std::is_sorted(reports.begin(), reports.end())) << name.toStdString();
        EXPECT_EQ(reports.back(), 1.0) << name.toStdString();
    }
    struct Stopped
    {
    };
    EXPECT_THROW(textio::LineReader(corpora + u"/en-gnu-gpl-3.ascii.txt"_s, {}, 100, [](double) { throw Stopped{}; }),
                 Stopped);
}

TEST(ReadFileBytes, NamesTheFileAndTheReasonWhenItCannotBeRead)
{
    const ScopedTemporaryWorkingDirectory folder;
    QDir().mkdir(QStringLiteral("folder"));
    const std::pair<QString, QString> cases[] = {
        {u"missing.txt"_s, u"Cannot open file \"missing.txt\". No such file or directory"_s},
        {u"folder"_s, u"Cannot open file \"folder\". Is a directory"_s},
        {u"/proc/self/mem"_s, u"Cannot read file \"/proc/self/mem\". Input/output error"_s},
    };
    for (const auto& [path, message] : cases) {
        try {
            textio::readFileBytes(path);
            ADD_FAILURE() << "no error for " << path.toStdString();
        } catch (const textio::ErrorMessage& error) {
            EXPECT_EQ(error.text(), message);
        }
    }
}

} // namespace
