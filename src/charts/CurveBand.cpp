#include "CurveBand.h"

#include "CurveGraph.h"
#include "CurveSampling.h"

#include <algorithm>
#include <utility>

namespace charts {
namespace {

// Keeps the part of a polygon inside `box` (Sutherland-Hodgman, one edge of the box at a time). A band zoomed
// into deeply reaches pixels millions away, which the painter would fill, or lose, at great cost.
QPolygonF clipPolygon(const QPolygonF& polygon, const QRectF& box)
{
    QPolygonF result = polygon;
    const auto clipAt = [&](auto inside, auto crossing) {
        const QPolygonF input = std::exchange(result, QPolygonF());
        for (qsizetype i = 0; i < input.size(); ++i) {
            const QPointF& current = input[i];
            const QPointF& previous = input[(i + input.size() - 1) % input.size()];
            if (inside(current) != inside(previous))
                result.append(crossing(previous, current));
            if (inside(current))
                result.append(current);
        }
    };
    const auto atX = [](double x) {
        return [x](const QPointF& a, const QPointF& b) {
            return QPointF(x, a.y() + (b.y() - a.y()) * (x - a.x()) / (b.x() - a.x()));
        };
    };
    const auto atY = [](double y) {
        return [y](const QPointF& a, const QPointF& b) {
            return QPointF(a.x() + (b.x() - a.x()) * (y - a.y()) / (b.y() - a.y()), y);
        };
    };
    clipAt([&](const QPointF& p) { return p.x() >= box.left(); }, atX(box.left()));
    clipAt([&](const QPointF& p) { return p.x() <= box.right(); }, atX(box.right()));
    clipAt([&](const QPointF& p) { return p.y() >= box.top(); }, atY(box.top()));
    clipAt([&](const QPointF& p) { return p.y() <= box.bottom(); }, atY(box.bottom()));
    return result;
}

} // namespace

CurveBand::CurveBand(CurveGraph& graph, Curve deviations, bool aroundZero)
    : QCPLayerable(graph.parentPlot(), QStringLiteral("bands"), &graph),
      m_graph(graph),
      m_deviations(std::move(deviations)),
      m_aroundZero(aroundZero)
{
    const Curve& curve = graph.curve();
    const size_t count = std::min(curve.size(), m_deviations.size());
    for (size_t i = 0; i < count; ++i) {
        const double centre = aroundZero ? 0 : curve.y(i);
        const double reach = bandReach * m_deviations.y(i);
        m_span.include(centre - reach);
        m_span.include(centre + reach);
        if (centre - reach > 0)
            m_smallestPositive = std::min(m_smallestPositive, centre - reach);
    }
}

QRect CurveBand::clipRect() const
{
    return m_graph.keyAxis()->axisRect()->rect();
}

void CurveBand::applyDefaultAntialiasingHint(QCPPainter* painter) const
{
    applyAntialiasingHint(painter, mAntialiased, QCP::aeFills);
}

void CurveBand::draw(QCPPainter* painter)
{
    const Curve& curve = m_graph.curve();
    if (curve.isEmpty())
        return;
    const QRect area = clipRect();
    const QCPAxis* keys = m_graph.keyAxis();
    const QCPAxis* values = m_graph.valueAxis();
    const bool logarithmicKeys = keys->scaleType() == QCPAxis::stLogarithmic;
    const bool logarithmicValues = values->scaleType() == QCPAxis::stLogarithmic;
    // A logarithmic axis cuts the band where it reaches 0: below the plot, so the clipping ends it at the edge.
    const auto pixelOf = [&](double y) {
        return logarithmicValues && y <= 0 ? area.bottom() + 1.0 : values->coordToPixel(y);
    };
    QPolygonF upper;
    QPolygonF lower;
    for (const BandColumn& column : bandColumns(curve, m_deviations, m_graph.samples(), m_aroundZero)) {
        if (logarithmicKeys && column.x <= 0)
            continue;
        const double x = keys->coordToPixel(column.x);
        upper.append(QPointF(x, pixelOf(column.edges.max)));
        lower.append(QPointF(x, pixelOf(column.edges.min)));
    }
    std::reverse(lower.begin(), lower.end());
    QColor fill = m_graph.style().colour;
    fill.setAlpha(48);
    painter->setPen(Qt::NoPen);
    painter->setBrush(fill);
    painter->drawPolygon(clipPolygon(upper + lower, QRectF(area).adjusted(-1, -1, 1, 1)));
}

} // namespace charts
