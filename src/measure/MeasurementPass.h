#pragma once

#include "measure/CurveFileHeader.h"
#include "textio/FileWriter.h"
#include "measure/Slovnik.h"
#include "measure/Tokenizers.h"

#include <QString>

#include <string>
#include <vector>

namespace measure {

// Counts the tokens into the dictionary and the spectrum of frequency classes and appends a row of the
// measured file after every `density` tokens. Tokens after the last full block give no row.
class MeasurementPass final : public TokenSink
{
public:
    // Creates the measured file and writes its two header lines. Throws ErrorMessage.
    MeasurementPass(const CurveSettings& settings, const QString& measuredPath);

    void AddToken(std::u16string_view token) override;
    // The complete measured file, to be committed. Throws ErrorMessage when its rows cannot be written.
    [[nodiscard]] textio::StagedFile finish();

    quint64 tokens() const { return m_rows * m_settings.density + m_tokensSinceRow; }
    const Slovnik& slovnik() const { return m_slovnik; }
    Slovnik takeSlovnik() { return std::move(m_slovnik); }

private:
    void writeRow();

    CurveSettings m_settings;
    Slovnik m_slovnik;
    // Slot i counts the types seen exactly `from` + i times.
    std::vector<quint32> m_spectrum;
    quint32 m_types = 0;
    quint32 m_tokensSinceRow = 0;
    quint64 m_rows = 0;
    textio::FileWriter m_measured;
    // Room for the longest row, formatted in place.
    std::string m_row;
};

} // namespace measure
