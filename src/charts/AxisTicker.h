#pragma once

#include "PlotLibrary.h"

#include <QString>
#include <QVector>

namespace charts {

// The labels of one axis's ticks, all in one style: plain decimals, or for ticks from a million up (or below a
// thousandth) all in scientific notation, which the plot draws as "2.5·10^6" (as "10^6" on a logarithmic axis).
// Every label has the same number of decimals, the fewest that still show each tick as it is.
QVector<QString> uniformTickLabels(const QVector<double>& ticks);

// Ticks of the plotting library with uniformTickLabels; `Base` is the linear or the logarithmic ticker.
template <typename Base>
class UniformTicker final : public Base
{
protected:
    QVector<QString> createLabelVector(const QVector<double>& ticks, const QLocale&, QChar, int) override
    {
        return uniformTickLabels(ticks);
    }
};

} // namespace charts
