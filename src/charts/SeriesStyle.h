#pragma once

#include <QColor>

namespace charts {

enum class SeriesLine
{
    None,
    Solid,
    Dashed,
};

enum class SeriesMarker
{
    None,
    Square,
    Disc,
    Triangle,
    Diamond,
    InvertedTriangle,
    Cross,
};

// How a series is drawn: its points as markers, joined by a line, or both.
struct SeriesStyle
{
    QColor colour = Qt::black;
    SeriesLine line = SeriesLine::None;
    SeriesMarker marker = SeriesMarker::Square;
    double lineWidth = 1;

    friend bool operator==(const SeriesStyle&, const SeriesStyle&) = default;
};

enum class CurveKind
{
    Measured,
    Model,
    Difference,
};

// The style of a type-token curve. The column (counted from 0) chooses the colour, the kind how it is drawn
// (measured points, model line, difference dashed), the load (counted from 1) the shade, the marker and the line
// width. No two curves look alike for up to 10 columns and 12 loads.
SeriesStyle curveStyle(int column, int load, CurveKind kind);

} // namespace charts
