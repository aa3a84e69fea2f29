#pragma once

#include "Curve.h"
#include "PlotLibrary.h"

namespace charts {

class CurveGraph;

// The translucent band of bandReach standard deviations around the curve of a graph, or around 0 for a
// difference. It lies on the plot's layer "bands", under every graph, and is drawn only while its graph is.
class CurveBand final : public QCPLayerable
{
public:
    // deviations.y(i) belongs to point i of the graph's curve.
    CurveBand(CurveGraph& graph, Curve deviations, bool aroundZero);

    const Curve& deviations() const { return m_deviations; }
    // The values the band reaches, for fitting the axes; what lies below 0 is left out of the smallest
    // positive value, as a logarithmic axis cuts it.
    const ValueSpan& span() const { return m_span; }
    double smallestPositive() const { return m_smallestPositive; }

protected:
    QRect clipRect() const override;
    void applyDefaultAntialiasingHint(QCPPainter* painter) const override;
    void draw(QCPPainter* painter) override;

private:
    const CurveGraph& m_graph;
    Curve m_deviations;
    bool m_aroundZero;
    ValueSpan m_span;
    double m_smallestPositive = std::numeric_limits<double>::infinity();
};

} // namespace charts
