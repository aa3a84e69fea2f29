#pragma once

#include <span>
#include <vector>

namespace charts {

// A point of a type-token curve: x is a number of tokens, y the value of a column.
struct CurvePoint
{
    double x = 0;
    double y = 0;

    friend bool operator==(const CurvePoint&, const CurvePoint&) = default;
};

// Measured minus model at every x that both curves have. Both curves come in increasing x.
std::vector<CurvePoint> subtractCurves(std::span<const CurvePoint> measured, std::span<const CurvePoint> model);

} // namespace charts
