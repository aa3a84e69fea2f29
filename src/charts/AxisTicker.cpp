#include "AxisTicker.h"

#include <cmath>

namespace charts {
namespace {

constexpr int mostDecimals = 12;

} // namespace

QVector<QString> uniformTickLabels(const QVector<double>& ticks)
{
    double largest = 0;
    double smallest = std::numeric_limits<double>::infinity();
    for (const double tick : ticks) {
        largest = std::max(largest, std::abs(tick));
        if (tick != 0)
            smallest = std::min(smallest, std::abs(tick));
    }
    const char format = largest >= 1e6 || smallest < 1e-3 ? 'e' : 'f';
    const double tolerance = largest * 1e-9;

    QVector<QString> labels(ticks.size());
    for (int decimals = 0; decimals <= mostDecimals; ++decimals) {
        bool exact = true;
        for (qsizetype i = 0; i < ticks.size(); ++i) {
            // Zero reads best as itself, not as "0·10^0".
            labels[i] = ticks[i] == 0 ? QStringLiteral("0") : QString::number(ticks[i], format, decimals);
            exact = exact && std::abs(labels[i].toDouble() - ticks[i]) <= tolerance;
        }
        if (exact)
            break;
    }
    return labels;
}

} // namespace charts
