#pragma once

#include "Curve.h"

#include <QString>

#include <optional>
#include <string_view>
#include <vector>

namespace charts {

// How the values of a curve file are written: the measured file holds integer texts, the model file
// decimal numbers with ".".
enum class CurveValues
{
    Integer,
    FloatingPoint,
};

struct CurveColumn
{
    QString name;
    Curve curve;
};

// What a curve file held, as far as it could be read.
struct CurveFile
{
    std::optional<quint32> density; // empty when line 1 is not an integer text
    std::vector<CurveColumn> columns;
    // The message of the value that stopped the reading; everything read before it is kept.
    std::optional<QString> failure;
};

// Reads a measured or model file: line 1 the density, line 2 the TAB-ended column names, then one row per
// density tokens, so row r lies at x = r * density; every line, an empty one too, is a row. Fields beyond the
// header's columns and text after the last TAB of a line are ignored. The file is read piece by piece as 8-bit
// text (a UTF-16 file is decoded first), so memory follows the values kept, not the file. Throws
// textio::ErrorMessage, naming the full path, when the file cannot be read.
CurveFile readCurveFile(const QString& path, CurveValues values);

// A decimal number with "." whatever the locale: optional blanks, an optional sign, digits with at most one
// ".", an optional exponent, optional blanks.
std::optional<double> toFloatingPoint(std::string_view text);

} // namespace charts
