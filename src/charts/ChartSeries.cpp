#include "ChartSeries.h"

#include "PointGraph.h"

namespace charts {

ChartSeries::ChartSeries(PointGraph& graph)
    : m_graph(graph)
{}

QString ChartSeries::title() const
{
    return m_graph.name();
}

void ChartSeries::setTitle(const QString& title)
{
    m_graph.setName(title);
}

QColor ChartSeries::colour() const
{
    return m_graph.colour();
}

void ChartSeries::setColour(const QColor& colour)
{
    m_graph.setColour(colour);
}

bool ChartSeries::isActive() const
{
    return m_graph.visible();
}

void ChartSeries::setActive(bool active)
{
    m_graph.setVisible(active);
}

int ChartSeries::pointerSize() const
{
    return m_graph.pointerSize();
}

bool ChartSeries::pointerOutlineVisible() const
{
    return m_graph.pointerOutlineVisible();
}

void ChartSeries::setPointer(int size, bool outlineVisible)
{
    m_graph.setPointer(size, outlineVisible);
}

void ChartSeries::addPoint(double x, double y, QStringView label)
{
    m_graph.addPoint(x, y, label);
}

void ChartSeries::addPoints(std::span<const CurvePoint> points)
{
    m_graph.addPoints(points);
}

int ChartSeries::pointCount() const
{
    return m_graph.dataCount();
}

std::vector<CurvePoint> ChartSeries::points() const
{
    std::vector<CurvePoint> result;
    const QCPGraphDataContainer& data = *m_graph.data();
    result.reserve(size_t(data.size()));
    for (auto point = data.constBegin(); point != data.constEnd(); ++point)
        result.push_back({point->key, point->value});
    return result;
}

QString ChartSeries::label(int index) const
{
    return m_graph.label(index);
}

void ChartSeries::clear()
{
    m_graph.clearPoints();
}

bool ChartSeries::labelsVisible() const
{
    return m_graph.labelsVisible();
}

void ChartSeries::setLabelsVisible(bool visible)
{
    m_graph.setLabelsVisible(visible);
}

void ChartSeries::setLabelStyle(const QFont& font, const QColor& text, const QColor& emboss)
{
    m_graph.setLabelStyle(font, text, emboss);
}

} // namespace charts
