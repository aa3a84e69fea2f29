// Text decoding and the five tokenizers: reading a file piece by piece gives what decoding it whole gives, in a
// code page guessed or named, and every tokenizer cuts the text as its format says.
#include "FuzzSupport.h"

#include "measure/Tokenizers.h"
#include "measure/WordChar.h"
#include "textio/LineReader.h"
#include "textio/TextDecoding.h"
#include "textio/TextReader.h"

#include <string>
#include <vector>

namespace {

using Tokens = std::vector<std::u16string>;

struct RecordingSink final : measure::TokenSink
{
    void AddToken(std::u16string_view token) override { tokens.emplace_back(token); }
    Tokens tokens;
};

Tokens tokensOf(int format, const QStringList& paths, const textio::CodePage& codePage)
{
    RecordingSink sink;
    measure::readTokens(format, paths, sink, {.codePage = codePage});
    return sink.tokens;
}

// Automatic for half the inputs, a named code page for the others, chosen by the input's last byte.
textio::CodePage codePageFor(QByteArrayView bytes)
{
    static const std::vector<textio::CodePage> named = [] {
        std::vector<textio::CodePage> pages;
        for (const char* name : {"KOI8-R", "CP866", "ISO-8859-7", "windows-1250"})
            pages.push_back(textio::CodePage::named(QString::fromLatin1(name)).value());
        return pages;
    }();
    const size_t pick = bytes.isEmpty() ? 0 : uchar(bytes.back()) % (2 * named.size());
    return pick < named.size() ? named[pick] : textio::CodePage();
}

std::u16string joined(const Tokens& tokens, std::u16string_view separator)
{
    std::u16string text;
    for (size_t i = 0; i < tokens.size(); ++i)
        text.append(i == 0 ? u"" : separator).append(tokens[i]);
    return text;
}

void checkTokenizers(const QString& path, const std::vector<QStringView>& lines, const textio::CodePage& codePage)
{
    std::u16string letters;
    std::u16string delimitedText;
    Tokens lineTokens;
    for (const QStringView line : lines) {
        for (const QChar c : line)
            if (measure::IsWordChar(c.unicode()))
                letters += c.unicode();
        delimitedText.append(reinterpret_cast<const char16_t*>(line.utf16()), size_t(line.size())).append(u"\r\n");
        lineTokens.emplace_back(reinterpret_cast<const char16_t*>(line.utf16()), size_t(line.size()));
    }

    const Tokens standard = tokensOf(0, {path}, codePage);
    for (const std::u16string& token : standard) {
        FUZZ_CHECK(!token.empty());
        for (const char16_t c : token)
            FUZZ_CHECK(measure::IsWordChar(c));
    }
    FUZZ_CHECK(joined(standard, u"") == letters);

    for (const std::u16string& token : tokensOf(1, {path}, codePage)) {
        FUZZ_CHECK(!token.empty());
        for (const char16_t c : token)
            FUZZ_CHECK(measure::IsWordChar(c) && !(c >= 0x064B && c <= 0x065E) && c != 0x0622 && c != 0x0623 &&
                       c != 0x0625 && c != 0x0671);
    }

    FUZZ_CHECK(tokensOf(2, {path}, codePage) == lineTokens);
    FUZZ_CHECK(joined(tokensOf(3, {path}, codePage), u" ") == delimitedText);
    const Tokens tabs = tokensOf(4, {path}, codePage);
    FUZZ_CHECK(joined(tabs, u"\t") == delimitedText);

    // Two files are one stream: the second's tokens follow the first's.
    Tokens twice = tabs;
    twice.insert(twice.end(), tabs.begin(), tabs.end());
    FUZZ_CHECK(tokensOf(4, {path, path}, codePage) == twice);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView bytes = fuzz::bytesOf(data, size);
    const fuzz::MemoryFile file(bytes);
    const textio::CodePage codePage = codePageFor(bytes);
    const textio::DecodedText whole = textio::decodeText(bytes, codePage);
    FUZZ_CHECK(!whole.text.contains(QChar(0)));
    if (whole.nulStop)
        FUZZ_CHECK(whole.nulStop->offset >= 0 && whole.nulStop->bytesAfter >= 0 &&
                   whole.nulStop->offset + whole.nulStop->bytesAfter < qint64(size));
    // A code page gives each byte one character, and the one named is the one used.
    const textio::DetectedEncoding detected = textio::detectEncoding(bytes, codePage);
    if (detected.encoding == textio::TextEncoding::EightBit) {
        FUZZ_CHECK(whole.text.size() == (whole.nulStop ? whole.nulStop->offset : qsizetype(size)));
        FUZZ_CHECK(codePage.isAutomatic() || detected.codePage == codePage);
    }
    const std::vector<QStringView> lines = textio::splitLines(whole.text);

    const qsizetype smallPiece = 4 + (size == 0 ? 0 : data[size / 2] % 29);
    for (const qsizetype piece : {smallPiece, qsizetype(1) << 16}) {
        textio::LineReader reader(file.path(), codePage, piece);
        size_t count = 0;
        while (const auto line = reader.nextLine()) {
            FUZZ_CHECK(count < lines.size());
            FUZZ_CHECK(QStringView(line->data(), qsizetype(line->size())) == lines[count]);
            ++count;
        }
        FUZZ_CHECK(count == lines.size());
        FUZZ_CHECK(reader.nulStop() == whole.nulStop);
    }
    checkTokenizers(file.path(), lines, codePage);
    return 0;
}
