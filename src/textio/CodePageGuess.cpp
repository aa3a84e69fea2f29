#include "CodePageGuess.h"

#include <uchardet.h>

#include <algorithm>
#include <memory>
#include <optional>

using namespace Qt::StringLiterals;

namespace textio {
namespace {

// The detector decides within a few hundred bytes of such lines, and it is slow: 8 KiB of Greek cost it 3 ms,
// a megabyte a third of a second.
constexpr qsizetype sampleBytes = 8 * 1024;
// With fewer bytes above 7F the detector's statistics have too little to go on: "na\xEFve" alone is taken for
// IBM852, which has no "ï".
constexpr qsizetype leastHighBytes = 16;

// Answers whose superset decodes every letter alike and more: Windows-1252 and -1254 have letters and punctuation
// where ISO-8859-1 and -9 have control codes, and KOI8-U has the Ukrainian letters where KOI8-R has box-drawing
// characters. The detector tells a Windows text with no byte in 80..9F for ISO, and knows no KOI8-U at all.
const std::pair<QString, QString> supersets[] = {
    {u"ISO-8859-1"_s, u"windows-1252"_s},
    {u"ISO-8859-9"_s, u"windows-1254"_s},
    {u"KOI8-R"_s, u"KOI8-U"_s},
};

qsizetype highBytesIn(std::string_view bytes)
{
    return std::ranges::count_if(bytes, [](char byte) { return uchar(byte) >= 0x80; });
}

struct DetectorDeleter
{
    void operator()(uchardet_t detector) const { uchardet_delete(detector); }
};

// The detector's name for the code page, empty when it has none.
QString detectorAnswer(std::string_view sample)
{
    const std::unique_ptr<uchardet, DetectorDeleter> detector(uchardet_new());
    if (!detector || uchardet_handle_data(detector.get(), sample.data(), sample.size()) != 0)
        return {};
    uchardet_data_end(detector.get());
    return QString::fromLatin1(uchardet_get_charset(detector.get()));
}

} // namespace

void CodePageSample::add(QByteArrayView bytes)
{
    while (!bytes.isEmpty() && qsizetype(m_sample.size()) < sampleBytes) {
        const qsizetype lineEnd = bytes.indexOf('\n');
        const qsizetype partSize = lineEnd < 0 ? bytes.size() : lineEnd + 1;
        const qsizetype room = sampleBytes - qsizetype(m_sample.size() + m_line.size());
        const std::string_view kept(bytes.data(), size_t(std::min(partSize, room)));
        m_line.append(kept);
        m_lineHighBytes += highBytesIn(kept);
        if (lineEnd < 0)
            return;
        endLine();
        bytes = bytes.sliced(partSize);
    }
}

void CodePageSample::endLine()
{
    if (m_lineHighBytes > 0) {
        m_sample.append(m_line);
        m_sampleHighBytes += m_lineHighBytes;
    }
    m_line.clear();
    m_lineHighBytes = 0;
}

CodePage CodePageSample::guess() const
{
    const bool lastLineTaken = m_lineHighBytes > 0;
    if (m_sampleHighBytes + m_lineHighBytes < leastHighBytes)
        return CodePage::windows1252();
    QString answer = detectorAnswer(lastLineTaken ? m_sample + m_line : m_sample);
    for (const auto& [subset, superset] : supersets) {
        if (answer.compare(subset, Qt::CaseInsensitive) == 0)
            answer = superset;
    }
    const std::optional<CodePage> guessed = CodePage::named(answer);
    for (const OfferedCodePage& offered : offeredCodePages()) {
        if (guessed == offered.codePage)
            return offered.codePage;
    }
    return CodePage::windows1252();
}

} // namespace textio
