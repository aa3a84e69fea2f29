#include "CurveSampling.h"

namespace charts {

CurveSamples sampleColumns(const Curve& curve, int left, int right, const std::function<double(double)>& xAtPixel)
{
    CurveSamples samples;
    samples.first = curve.indexAtOrAfter(xAtPixel(left));
    size_t begin = samples.first;
    for (int pixel = left; pixel < right && begin < curve.size(); ++pixel) {
        const size_t end = curve.indexAtOrAfter(xAtPixel(pixel + 1));
        if (end > begin) {
            const size_t count = end - begin;
            const double x = count == 1 ? curve.x(begin) : xAtPixel(pixel + 0.5);
            samples.columns.push_back({x, begin, count, curve.span(begin, end)});
            begin = end;
        }
    }
    samples.last = begin;
    return samples;
}

std::vector<BandColumn> bandColumns(const Curve& curve, const Curve& deviations, const CurveSamples& samples,
                                    bool aroundZero)
{
    std::vector<BandColumn> band;
    band.reserve(samples.columns.size() + 2);
    const auto add = [&](double x, size_t first, size_t last, ValueSpan centre) {
        const ValueSpan reach = deviations.span(first, last);
        if (reach.isEmpty())
            return;
        if (aroundZero)
            centre = {0, 0};
        band.push_back({x, {centre.min - bandReach * reach.max, centre.max + bandReach * reach.max}});
    };
    const auto addPoint = [&](size_t index) {
        add(curve.x(index), index, index + 1, {curve.y(index), curve.y(index)});
    };
    if (samples.first > 0)
        addPoint(samples.first - 1);
    for (const ColumnSample& column : samples.columns)
        add(column.x, column.first, column.first + column.count, column.values);
    if (samples.last < curve.size())
        addPoint(samples.last);
    return band;
}

} // namespace charts
