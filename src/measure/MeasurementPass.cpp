#include "MeasurementPass.h"

#include <charconv>

namespace measure {
namespace {

// Ten digits and a TAB hold any field.
constexpr size_t fieldCapacity = 11;
// A book has some ten thousand types. A dictionary made that large at once is spared the rehashing on the way
// there, which costs a book about a fifth of its pass.
constexpr size_t expectedTypes = 1 << 14;

} // namespace

MeasurementPass::MeasurementPass(const CurveSettings& settings, const QString& measuredPath)
    : m_settings(settings),
      m_spectrum(settings.columns.classCount(), 0),
      m_measured(measuredPath),
      m_row((m_spectrum.size() + 1) * fieldCapacity + 2, '\0')
{
    m_slovnik.reserve(expectedTypes);
    m_measured.write(curveFileHeader(settings.densityText, settings.columns));
}

void MeasurementPass::AddToken(std::u16string_view token)
{
    ++m_tokensSinceRow;
    const auto [entry, isNew] = m_slovnik.try_emplace(token);
    m_types += isNew ? 1 : 0;
    // A new type counts from 0, which lies below every class; below `from` the difference wraps round and
    // lands outside the array as well.
    quint32& frequency = entry->second.H;
    if (const quint32 slot = frequency - m_settings.columns.from; slot < m_spectrum.size())
        --m_spectrum[slot];
    ++frequency;
    if (const quint32 slot = frequency - m_settings.columns.from; slot < m_spectrum.size())
        ++m_spectrum[slot];

    if (m_tokensSinceRow == m_settings.density) {
        m_tokensSinceRow = 0;
        ++m_rows;
        writeRow();
    }
}

textio::StagedFile MeasurementPass::finish()
{
    return m_measured.finish();
}

void MeasurementPass::writeRow()
{
    char* const begin = m_row.data();
    char* out = begin;
    const auto appendField = [&out, end = begin + m_row.size()](quint32 value) {
        out = std::to_chars(out, end, value).ptr;
        *out++ = '\t';
    };
    if (m_settings.columns.ttr)
        appendField(m_types);
    for (const quint32 count : m_spectrum)
        appendField(count);
    *out++ = '\r';
    *out++ = '\n';
    m_measured.write(std::string_view(begin, size_t(out - begin)));
}

} // namespace measure
