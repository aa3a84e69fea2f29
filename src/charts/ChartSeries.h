#pragma once

#include "CurvePoint.h"

#include <QColor>
#include <QFont>
#include <QString>
#include <QStringView>

#include <span>
#include <vector>

namespace charts {

class PointGraph;

// A point series of a ChartView. The chart owns it; it lives until the chart removes its series.
class ChartSeries
{
public:
    explicit ChartSeries(PointGraph& graph);

    QString title() const;
    void setTitle(const QString& title);
    QColor colour() const;
    void setColour(const QColor& colour);

    // Only active series are drawn (and listed in the legend).
    bool isActive() const;
    void setActive(bool active);

    // The pointer is a square of 2 * size + 1 pixels.
    int pointerSize() const;
    bool pointerOutlineVisible() const;
    void setPointer(int size, bool outlineVisible);

    // Every point is drawn in the series colour.
    void addPoint(double x, double y, QStringView label = {});
    void addPoints(std::span<const CurvePoint> points);
    int pointCount() const;
    // In order of x.
    std::vector<CurvePoint> points() const;
    QString label(int index) const;
    void clear();

    bool labelsVisible() const;
    void setLabelsVisible(bool visible);
    void setLabelStyle(const QFont& font, const QColor& text, const QColor& emboss);

private:
    PointGraph& m_graph;
};

} // namespace charts
