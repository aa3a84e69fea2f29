#include "ChartSeries.h"

#include "CurveGraph.h"

namespace charts {

ChartSeries::ChartSeries(CurveGraph& graph)
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

const SeriesStyle& ChartSeries::style() const
{
    return m_graph.style();
}

void ChartSeries::setStyle(const SeriesStyle& style)
{
    m_graph.setStyle(style);
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

const Curve& ChartSeries::curve() const
{
    return m_graph.curve();
}

void ChartSeries::setCurve(Curve curve)
{
    m_graph.setCurve(std::move(curve));
}

void ChartSeries::setBand(Curve deviations, bool aroundZero)
{
    m_graph.setBand(std::move(deviations), aroundZero);
}

const Curve* ChartSeries::bandDeviations() const
{
    return m_graph.bandDeviations();
}

void ChartSeries::setBandVisible(bool visible)
{
    m_graph.setBandVisible(visible);
}

bool ChartSeries::isBandShown() const
{
    return m_graph.isBandShown();
}

void ChartSeries::addPoint(double y, QStringView label)
{
    m_graph.addPoint(y, label);
}

int ChartSeries::pointCount() const
{
    return int(m_graph.curve().size());
}

QString ChartSeries::label(int index) const
{
    return m_graph.label(size_t(index));
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
