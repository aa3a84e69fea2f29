#pragma once

#include "measure/Slovnik.h"

#include <QLocale>
#include <QString>
#include <QStringView>

#include <optional>

namespace measure {

// Writes the concordance file: UTF-8 with a byte-order mark, CR LF line ends, the header "Type\tFrequency",
// then one line "type\tfrequency" per type, the lines sorted whole by the locale's case-insensitive collation
// (lines that differ only in case come in either order). Throws ErrorMessage.
void SaveConcordance(const Slovnik& slovnik, const QString& path, const QLocale& locale);

// A line of a concordance file split at its first TAB: the type before it, and the frequency read from the
// rest by frequencyFromText. A line without TAB is all type and has no frequency.
struct ConcordanceLine
{
    QStringView type;
    std::optional<qint32> frequency;
};

// Throws ErrorMessage when the digits of the frequency do not fit a signed 32-bit integer.
ConcordanceLine parseConcordanceLine(QStringView line);

} // namespace measure
