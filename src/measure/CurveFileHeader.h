#pragma once

#include <QString>

#include <string>

namespace measure {

// The columns of a curve file (the measured and the model file): the type count when `ttr` is set, then one
// column per frequency class from..to; `from` 0 or `to` below `from` means no classes.
struct CurveColumns
{
    bool ttr = true;
    quint32 from = 1;
    quint32 to = 4;

    bool hasClasses() const { return from >= 1 && to >= from; }
    quint32 classCount() const { return hasClasses() ? to - from + 1 : 0; }
};

// What the measured and the model file are made of: their columns, and a row every `density` tokens.
struct CurveSettings
{
    CurveColumns columns;
    quint32 density = 10;
    QString densityText = QStringLiteral("10"); // line 1 of the file, as the user typed it
};

// Line 1, the density as the user typed it, and line 2, the column names ("TTR", "T1TR", ...), each name
// followed by a TAB; both lines end with CR LF.
std::string curveFileHeader(const QString& densityText, const CurveColumns& columns);

} // namespace measure
