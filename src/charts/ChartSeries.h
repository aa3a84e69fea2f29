#pragma once

#include "Curve.h"
#include "SeriesStyle.h"

#include <QColor>
#include <QFont>
#include <QString>
#include <QStringView>

namespace charts {

class CurveGraph;

// A series of a ChartView. The chart owns it; it lives until the chart removes its series.
class ChartSeries
{
public:
    explicit ChartSeries(CurveGraph& graph);

    QString title() const;
    void setTitle(const QString& title);
    const SeriesStyle& style() const;
    void setStyle(const SeriesStyle& style);
    QColor colour() const { return style().colour; }

    // Only active series are drawn (and listed in the legend).
    bool isActive() const;
    void setActive(bool active);

    // A marker spans 2 * size + 1 pixels.
    int pointerSize() const;
    bool pointerOutlineVisible() const;
    void setPointer(int size, bool outlineVisible);

    const Curve& curve() const;
    // Drops the band: it belongs to the points it was made for.
    void setCurve(Curve curve);
    // A translucent band of bandReach deviations around the curve, or around 0; deviations.y(i) belongs to
    // point i. It is drawn under every series, while the series is active and the band visible.
    void setBand(Curve deviations, bool aroundZero);
    // Null without a band.
    const Curve* bandDeviations() const;
    void setBandVisible(bool visible);
    bool isBandShown() const;
    // Adds a point at the next x of the curve's grid.
    void addPoint(double y, QStringView label = {});
    int pointCount() const;
    QString label(int index) const;
    void clear();

    bool labelsVisible() const;
    void setLabelsVisible(bool visible);
    void setLabelStyle(const QFont& font, const QColor& text, const QColor& emboss);

private:
    CurveGraph& m_graph;
};

} // namespace charts
