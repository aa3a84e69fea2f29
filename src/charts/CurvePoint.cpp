#include "CurvePoint.h"

namespace charts {

std::vector<CurvePoint> subtractCurves(std::span<const CurvePoint> measured, std::span<const CurvePoint> model)
{
    std::vector<CurvePoint> difference;
    size_t i = 0;
    size_t j = 0;
    while (i < measured.size() && j < model.size()) {
        if (measured[i].x == model[j].x) {
            difference.push_back({measured[i].x, measured[i].y - model[j].y});
            ++i;
            ++j;
        } else if (measured[i].x > model[j].x) {
            ++j;
        } else {
            ++i;
        }
    }
    return difference;
}

} // namespace charts
