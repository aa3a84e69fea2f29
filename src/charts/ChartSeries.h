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
    void setCurve(Curve curve);
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
