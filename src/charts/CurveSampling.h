#pragma once

#include "Curve.h"

#include <functional>
#include <vector>

namespace charts {

// The points of a curve that fall into one pixel column of a drawing.
struct ColumnSample
{
    double x = 0; // of the column's only point, or of the middle of the column
    size_t first = 0;
    size_t count = 0;
    ValueSpan values;
};

struct CurveSamples
{
    std::vector<ColumnSample> columns;
    // The points [first, last) fell into the columns.
    size_t first = 0;
    size_t last = 0;
};

// The points of `curve` between the pixel edges `left` and `right`, gathered per pixel column: a redraw costs
// the columns of the drawing, never the points of the curve, and each column keeps its smallest and largest y,
// so no peak or dip disappears. `xAtPixel` maps a pixel edge to x and increases with it (logarithmic axes too).
// Columns without a point are left out.
CurveSamples sampleColumns(const Curve& curve, int left, int right, const std::function<double(double)>& xAtPixel);

// Where a band reaches at one x: bandReach deviations below and above its curve.
struct BandColumn
{
    double x = 0;
    ValueSpan edges;
};

// The band around the sampled points of `curve`, or around 0, whose deviation at point i is deviations.y(i): one
// column per sample column, each wide enough for all of its points, and the points just beyond the samples, which
// carry the band to the edges of the drawing.
std::vector<BandColumn> bandColumns(const Curve& curve, const Curve& deviations, const CurveSamples& samples,
                                    bool aroundZero);

} // namespace charts
