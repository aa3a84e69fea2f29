#include "SeriesStyle.h"

#include <array>

namespace charts {
namespace {

// Told apart on white and on light grey, and by most colour-blind readers.
constexpr std::array<QRgb, 10> columnColours = {
    0x0072B2, 0xD55E00, 0x009E73, 0xCC79A7, 0xE69F00, 0x56B4E9, 0x8C2D04, 0x4B0082, 0x5A7D1A, 0x2F4F4F,
};

// How far each load's colour moves towards black (negative) or white (positive), in per cent.
constexpr std::array<int, 4> loadShades = {0, -40, 45, -65};

constexpr std::array<SeriesMarker, 6> loadMarkers = {
    SeriesMarker::Square,           SeriesMarker::Disc,  SeriesMarker::Triangle, SeriesMarker::Diamond,
    SeriesMarker::InvertedTriangle, SeriesMarker::Cross,
};

QColor shaded(QColor colour, int percent)
{
    const int target = percent < 0 ? 0 : 255;
    const double share = std::abs(percent) / 100.0;
    auto mix = [&](int channel) {
        return int(channel + (target - channel) * share + 0.5);
    };
    return QColor(mix(colour.red()), mix(colour.green()), mix(colour.blue()));
}

} // namespace

SeriesStyle curveStyle(int column, int load, CurveKind kind)
{
    const size_t loadIndex = size_t(std::max(load - 1, 0));
    SeriesStyle style;
    style.colour = shaded(QColor::fromRgb(columnColours[size_t(column) % columnColours.size()]),
                          loadShades[loadIndex % loadShades.size()]);
    // The shades repeat every 4 loads; a wider line tells those loads apart. Lines of one pixel draw fastest.
    style.lineWidth = 1 + double(loadIndex / loadShades.size() % 3);
    switch (kind) {
    case CurveKind::Measured:
        style.marker = loadMarkers[loadIndex % loadMarkers.size()];
        break;
    case CurveKind::Model:
        style.line = SeriesLine::Solid;
        style.marker = SeriesMarker::None;
        break;
    case CurveKind::Difference:
        style.line = SeriesLine::Dashed;
        style.marker = SeriesMarker::None;
        break;
    }
    return style;
}

} // namespace charts
