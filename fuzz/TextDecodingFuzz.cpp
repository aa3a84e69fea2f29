// Text decoding and the five tokenizers: reading a file piece by piece gives what decoding it whole gives, and
// every tokenizer cuts the text as its format says.
#include "FuzzSupport.h"

#include "measure/Tokenizers.h"
#include "measure/WordChar.h"
#include "textio/LineReader.h"
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

Tokens tokensOf(int format, const QStringList& paths)
{
    RecordingSink sink;
    measure::readTokens(format, paths, sink);
    return sink.tokens;
}

std::u16string joined(const Tokens& tokens, std::u16string_view separator)
{
    std::u16string text;
    for (size_t i = 0; i < tokens.size(); ++i)
        text.append(i == 0 ? u"" : separator).append(tokens[i]);
    return text;
}

void checkTokenizers(const QString& path, const std::vector<QStringView>& lines)
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

    const Tokens standard = tokensOf(0, {path});
    for (const std::u16string& token : standard) {
        FUZZ_CHECK(!token.empty());
        for (const char16_t c : token)
            FUZZ_CHECK(measure::IsWordChar(c));
    }
    FUZZ_CHECK(joined(standard, u"") == letters);

    for (const std::u16string& token : tokensOf(1, {path})) {
        FUZZ_CHECK(!token.empty());
        for (const char16_t c : token)
            FUZZ_CHECK(measure::IsWordChar(c) && !(c >= 0x064B && c <= 0x065E) && c != 0x0622 && c != 0x0623 &&
                       c != 0x0625 && c != 0x0671);
    }

    FUZZ_CHECK(tokensOf(2, {path}) == lineTokens);
    FUZZ_CHECK(joined(tokensOf(3, {path}), u" ") == delimitedText);
    const Tokens tabs = tokensOf(4, {path});
    FUZZ_CHECK(joined(tabs, u"\t") == delimitedText);

    // Two files are one stream: the second's tokens follow the first's.
    Tokens twice = tabs;
    twice.insert(twice.end(), tabs.begin(), tabs.end());
    FUZZ_CHECK(tokensOf(4, {path, path}) == twice);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView bytes = fuzz::bytesOf(data, size);
    const fuzz::MemoryFile file(bytes);
    const textio::DecodedText whole = textio::decodeText(bytes);
    FUZZ_CHECK(!whole.text.contains(QChar(0)));
    if (whole.nulStop)
        FUZZ_CHECK(whole.nulStop->offset >= 0 && whole.nulStop->bytesAfter >= 0 &&
                   whole.nulStop->offset + whole.nulStop->bytesAfter < qint64(size));
    const std::vector<QStringView> lines = textio::splitLines(whole.text);

    const qsizetype smallPiece = 4 + (size == 0 ? 0 : data[size / 2] % 29);
    for (const qsizetype piece : {smallPiece, qsizetype(1) << 16}) {
        textio::LineReader reader(file.path(), {}, piece);
        size_t count = 0;
        while (const auto line = reader.nextLine()) {
            FUZZ_CHECK(count < lines.size());
            FUZZ_CHECK(QStringView(line->data(), qsizetype(line->size())) == lines[count]);
            ++count;
        }
        FUZZ_CHECK(count == lines.size());
        FUZZ_CHECK(reader.nulStop() == whole.nulStop);
    }
    checkTokenizers(file.path(), lines);
    return 0;
}
