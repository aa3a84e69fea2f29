#pragma once

#include <QString>

namespace run {

// What the main window does to its fields when the user leaves them; the command line applies the same.

struct ClassRangeTexts
{
    QString from;
    QString to;
};

ClassRangeTexts validateClassRange(const ClassRangeTexts& texts);
QString validateDensity(const QString& text);
// `controlName` names the edit; an unusable name becomes controlName + ".txt".
QString validateFileName(const QString& text, const QString& controlName);

} // namespace run
