#pragma once

#include "measure/Slovnik.h"

#include <QLocale>
#include <QString>

namespace measure {

// Writes the concordance file: UTF-8 with a byte-order mark, CR LF line ends, the header "Type\tFrequency",
// then one line "type\tfrequency" per type, the lines sorted whole by the locale's case-insensitive collation
// (lines that differ only in case come in either order). Throws PlatformError.
void SaveConcordance(const Slovnik& slovnik, const QString& path, const QLocale& locale);

} // namespace measure
