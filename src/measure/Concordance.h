#pragma once

#include "measure/Slovnik.h"
#include "textio/FileWriter.h"

#include <QLocale>
#include <QString>
#include <QStringView>

#include <functional>
#include <optional>

namespace measure {

// Writes the concordance file: UTF-8 with a byte-order mark, CR LF line ends, the header "Type\tFrequency",
// then one line "type\tfrequency" per type, the lines sorted whole by the locale's case-insensitive collation
// and, where that finds two lines equal, by their code units, so one dictionary always gives one file. The file
// takes its place on commit(). Throws ErrorMessage. `progress` hears how much is done, from 0 to 1, many times a
// second; it may stop the work by throwing.
[[nodiscard]] textio::StagedFile SaveConcordance(const Slovnik& slovnik, const QString& path, const QLocale& locale,
                                                 const std::function<void(double done)>& progress = {});

// A line of a concordance file split at its last TAB: the type before it (which may hold a TAB itself), and the
// frequency read from the rest by frequencyFromText. A line without TAB is all type and has no frequency.
struct ConcordanceLine
{
    QStringView type;
    std::optional<qint64> frequency;
};

// Throws ErrorMessage "''digits'' is not a valid integer value (line N of "path")" when the digits of the
// frequency do not fit a signed 64-bit integer.
ConcordanceLine parseConcordanceLine(QStringView line, const QString& path, qsizetype lineNumber);

} // namespace measure
