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

} // namespace charts
