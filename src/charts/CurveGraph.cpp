#include "CurveGraph.h"

#include "CurveBand.h"

#include <QFontMetricsF>

#include <algorithm>
#include <cmath>

namespace charts {
namespace {

// Coarse map of the plot area in cells of one label height. A label is drawn only where all its cells are
// free; a point whose label did not fit marks its anchor cell as tried, so the thousands of points that a dense
// plot puts into one cell cost one attempt, not one text measurement each.
class LabelSpace
{
public:
    LabelSpace(const QRect& area, int cell)
        : m_area(area),
          m_cell(std::max(cell, 1)),
          m_columns(area.width() / m_cell + 1),
          m_rows(area.height() / m_cell + 1),
          m_taken(size_t(m_columns) * size_t(m_rows), false),
          m_tried(m_taken.size(), false)
    {}

    // False when a label anchored in the same cell has been tried already; marks the cell as tried.
    bool tryAnchor(const QPointF& anchor)
    {
        const size_t i = indexOf(anchor);
        if (m_tried[i] || m_taken[i])
            return false;
        m_tried[i] = true;
        return true;
    }

    bool isFree(const QRectF& box) const
    {
        bool free = true;
        forEachCell(box, [&](size_t i) { free = free && !m_taken[i]; });
        return free;
    }

    void take(const QRectF& box)
    {
        forEachCell(box, [&](size_t i) { m_taken[i] = true; });
    }

private:
    int columnOf(double x) const { return std::clamp(int((x - m_area.left()) / m_cell), 0, m_columns - 1); }
    int rowOf(double y) const { return std::clamp(int((y - m_area.top()) / m_cell), 0, m_rows - 1); }
    size_t indexOf(const QPointF& point) const
    {
        return size_t(rowOf(point.y())) * size_t(m_columns) + size_t(columnOf(point.x()));
    }

    template <typename Visit>
    void forEachCell(const QRectF& box, Visit visit) const
    {
        for (int row = rowOf(box.top()); row <= rowOf(box.bottom()); ++row) {
            for (int column = columnOf(box.left()); column <= columnOf(box.right()); ++column)
                visit(size_t(row) * size_t(m_columns) + size_t(column));
        }
    }

    QRect m_area;
    int m_cell;
    int m_columns;
    int m_rows;
    std::vector<bool> m_taken;
    std::vector<bool> m_tried;
};

// Cuts a segment down to the part inside `box` (Liang-Barsky); false when nothing is inside. Lines are clipped
// before they are drawn: a dashed line running far beyond a deep zoom would cost the painter every dash of it.
bool clipSegment(QPointF& a, QPointF& b, const QRectF& box)
{
    const QPointF direction = b - a;
    double enter = 0;
    double leave = 1;
    const auto within = [&](double p, double q) {
        if (p == 0)
            return q >= 0;
        const double t = q / p;
        if (p < 0)
            enter = std::max(enter, t);
        else
            leave = std::min(leave, t);
        return enter <= leave;
    };
    if (!within(-direction.x(), a.x() - box.left()) || !within(direction.x(), box.right() - a.x()) ||
        !within(-direction.y(), a.y() - box.top()) || !within(direction.y(), box.bottom() - a.y()))
        return false;
    b = a + leave * direction;
    a = a + enter * direction;
    return true;
}

void drawClipped(QCPPainter* painter, const QPolygonF& points, const QRectF& box)
{
    QPolygonF run;
    for (qsizetype i = 0; i + 1 < points.size(); ++i) {
        QPointF a = points[i];
        QPointF b = points[i + 1];
        if (!clipSegment(a, b, box))
            continue;
        if (!run.isEmpty() && run.back() != a) {
            painter->drawPolyline(run);
            run.clear();
        }
        if (run.isEmpty())
            run.append(a);
        run.append(b);
    }
    if (!run.isEmpty())
        painter->drawPolyline(run);
}

} // namespace

CurveGraph::CurveGraph(QCPAxis* keyAxis, QCPAxis* valueAxis)
    : QCPAbstractPlottable(keyAxis, valueAxis)
{}

CurveGraph::~CurveGraph() = default;

void CurveGraph::setPointer(int size, bool outlineVisible)
{
    m_pointerSize = size;
    m_outlineVisible = outlineVisible;
}

void CurveGraph::setCurve(Curve curve)
{
    m_curve = std::move(curve);
    ++m_curveVersion;
    m_band.reset();
    m_labels.clear();
    m_labelTexts.clear();
    m_hasLabels = false;
}

void CurveGraph::setBand(Curve deviations, bool aroundZero)
{
    m_band = std::make_unique<CurveBand>(*this, std::move(deviations), aroundZero);
}

const Curve* CurveGraph::bandDeviations() const
{
    return m_band ? &m_band->deviations() : nullptr;
}

void CurveGraph::setBandVisible(bool visible)
{
    if (m_band)
        m_band->setVisible(visible);
}

bool CurveGraph::isBandShown() const
{
    return m_band && m_band->visible();
}

void CurveGraph::addPoint(double y, QStringView label)
{
    if (!m_hasLabels && !label.isEmpty()) {
        m_labels.resize(m_curve.size());
        m_hasLabels = true;
    }
    m_curve.append(y);
    ++m_curveVersion;
    if (m_hasLabels) {
        m_labels.push_back({m_labelTexts.size(), label.size()});
        m_labelTexts.append(label);
    }
}

QString CurveGraph::labelAt(size_t index) const
{
    const LabelSpan& span = m_labels[index];
    return m_labelTexts.sliced(span.start, span.length);
}

QString CurveGraph::label(size_t index) const
{
    return index < m_labels.size() ? labelAt(index) : QString();
}

void CurveGraph::clearPoints()
{
    setCurve(Curve(m_curve.step()));
}

void CurveGraph::setLabelStyle(const QFont& font, const QColor& text, const QColor& emboss)
{
    m_labelFont = font;
    m_labelText = text;
    m_labelEmboss = emboss;
}

double CurveGraph::selectTest(const QPointF&, bool, QVariant*) const
{
    return -1; // the charts select nothing
}

QCPRange CurveGraph::getKeyRange(bool& foundRange, QCP::SignDomain inSignDomain) const
{
    // Every x is positive, unless the grid's step is 0 and all of them are 0.
    foundRange =
        !m_curve.isEmpty() && inSignDomain != QCP::sdNegative && (inSignDomain == QCP::sdBoth || m_curve.step() > 0);
    if (!foundRange)
        return {};
    return {m_curve.x(0), m_curve.x(m_curve.size() - 1)};
}

QCPRange CurveGraph::getValueRange(bool& foundRange, QCP::SignDomain inSignDomain, const QCPRange&) const
{
    // A band shown widens the view to hold it.
    ValueSpan span = m_curve.span();
    double smallestPositive = m_curve.smallestPositive();
    if (isBandShown()) {
        span.include(m_band->span());
        smallestPositive = std::min(smallestPositive, m_band->smallestPositive());
    }
    switch (inSignDomain) {
    case QCP::sdPositive:
        foundRange = std::isfinite(smallestPositive);
        return {smallestPositive, span.max};
    case QCP::sdNegative:
        foundRange = span.min < 0;
        return {span.min, span.max < 0 ? span.max : span.min};
    case QCP::sdBoth:
        break;
    }
    foundRange = !span.isEmpty();
    return {span.min, span.max};
}

std::optional<QPointF> CurveGraph::pixelOf(double x, double y) const
{
    const QCPAxis* keys = keyAxis();
    const QCPAxis* values = valueAxis();
    if ((x <= 0 && keys->scaleType() == QCPAxis::stLogarithmic) ||
        (y <= 0 && values->scaleType() == QCPAxis::stLogarithmic))
        return std::nullopt;
    return QPointF(keys->coordToPixel(x), values->coordToPixel(y));
}

void CurveGraph::draw(QCPPainter* painter)
{
    if (m_curve.isEmpty())
        return;
    const CurveSamples& samples = this->samples();
    if (m_style.line != SeriesLine::None)
        drawLine(painter, samples);
    if (m_style.marker != SeriesMarker::None)
        drawMarkers(painter, samples);
    if (m_labelsVisible && m_hasLabels)
        drawLabels(painter, samples);
}

const CurveSamples& CurveGraph::samples() const
{
    const QRect area = clipRect();
    const int reach = int(markerExtent()) + 1;
    const QCPAxis* keys = keyAxis();
    const SamplesKey key{area, keys->range().lower, keys->range().upper, keys->scaleType(), reach, m_curveVersion};
    if (key != m_samplesKey) {
        m_samples = sampleColumns(m_curve, area.left() - reach, area.right() + 1 + reach,
                                  [keys](double pixel) { return keys->pixelToCoord(pixel); });
        m_samplesKey = key;
    }
    return m_samples;
}

void CurveGraph::drawLine(QCPPainter* painter, const CurveSamples& samples) const
{
    QPolygonF points;
    points.reserve(qsizetype(2 * samples.columns.size() + 2));
    const auto add = [&](double x, double y) {
        if (const std::optional<QPointF> pixel = pixelOf(x, y))
            points.append(*pixel);
    };
    // The neighbours beyond the view carry the line to its edges.
    if (samples.first > 0)
        add(m_curve.x(samples.first - 1), m_curve.y(samples.first - 1));
    for (const ColumnSample& column : samples.columns) {
        if (column.count == 1) {
            add(column.x, column.values.min);
            continue;
        }
        std::optional<QPointF> low = pixelOf(column.x, column.values.min);
        std::optional<QPointF> high = pixelOf(column.x, column.values.max);
        if (!high)
            continue;
        if (!low)
            low = QPointF(high->x(), valueAxis()->coordToPixel(valueAxis()->range().lower));
        // Enter a column at its end nearer to the line so far, so that a flat stretch draws no zigzag; a column
        // within one pixel needs one point.
        if (!points.isEmpty() && std::abs(points.back().y() - high->y()) < std::abs(points.back().y() - low->y()))
            std::swap(low, high);
        points.append(*low);
        if (std::abs(high->y() - low->y()) >= 1)
            points.append(*high);
    }
    if (samples.last < m_curve.size())
        add(m_curve.x(samples.last), m_curve.y(samples.last));

    painter->setPen(QPen(m_style.colour, m_style.lineWidth,
                         m_style.line == SeriesLine::Dashed ? Qt::DashLine : Qt::SolidLine, Qt::FlatCap));
    painter->setBrush(Qt::NoBrush);
    const double reach = m_style.lineWidth + 1;
    drawClipped(painter, points, QRectF(clipRect()).adjusted(-reach, -reach, reach, reach));
}

void CurveGraph::drawMarkers(QCPPainter* painter, const CurveSamples& samples) const
{
    const double extent = markerExtent();
    const QRectF box = QRectF(clipRect()).adjusted(-extent, -extent, extent, extent);
    applyScattersAntialiasingHint(painter);
    painter->setPen(m_outlineVisible ? QPen(m_style.colour.darker(160)) : QPen(Qt::NoPen));
    painter->setBrush(m_style.colour);
    // Squares and the bars of dense columns go to the painter in one call: they are most of what is drawn.
    QVector<QRectF> rectangles;
    rectangles.reserve(qsizetype(samples.columns.size()));
    for (const ColumnSample& column : samples.columns) {
        const std::optional<QPointF> high = pixelOf(column.x, column.values.max);
        if (!high)
            continue;
        const std::optional<QPointF> low = pixelOf(column.x, column.values.min);
        const double top = std::max(high->y(), box.top());
        const double bottom = std::min(low ? low->y() : box.bottom(), box.bottom());
        if (bottom - top > extent / 2) {
            // Points of one column further apart than a marker: one bar covers them all.
            rectangles.append(QRectF(high->x() - extent / 2, top - extent / 2, extent, bottom - top + extent));
        } else if (m_style.marker == SeriesMarker::Square) {
            const QPointF centre(high->x(), (top + bottom) / 2);
            rectangles.append(QRectF(centre - QPointF(extent / 2, extent / 2), QSizeF(extent, extent)));
        } else {
            drawMarker(painter, QPointF(high->x(), (top + bottom) / 2));
        }
    }
    if (!rectangles.isEmpty())
        painter->drawRects(rectangles);
}

void CurveGraph::drawMarker(QCPPainter* painter, const QPointF& centre) const
{
    const double h = markerExtent() / 2;
    const double x = centre.x();
    const double y = centre.y();
    switch (m_style.marker) {
    case SeriesMarker::None:
        break;
    case SeriesMarker::Square:
        painter->drawRect(QRectF(x - h, y - h, 2 * h, 2 * h));
        break;
    case SeriesMarker::Disc:
        painter->drawEllipse(centre, h, h);
        break;
    case SeriesMarker::Triangle:
        painter->drawPolygon(QPolygonF({{x - h, y + h}, {x + h, y + h}, {x, y - h}}));
        break;
    case SeriesMarker::InvertedTriangle:
        painter->drawPolygon(QPolygonF({{x - h, y - h}, {x + h, y - h}, {x, y + h}}));
        break;
    case SeriesMarker::Diamond:
        painter->drawPolygon(QPolygonF({{x - h, y}, {x, y - h}, {x + h, y}, {x, y + h}}));
        break;
    case SeriesMarker::Cross: {
        // Two strokes: a cross has no inside to fill.
        const QPen outline = painter->pen();
        painter->setPen(QPen(m_style.colour, 1.5));
        painter->drawLine(QLineF(x - h, y - h, x + h, y + h));
        painter->drawLine(QLineF(x - h, y + h, x + h, y - h));
        painter->setPen(outline);
        break;
    }
    }
}

void CurveGraph::drawLegendIcon(QCPPainter* painter, const QRectF& rect) const
{
    if (m_style.line != SeriesLine::None) {
        painter->setPen(QPen(m_style.colour, m_style.lineWidth,
                             m_style.line == SeriesLine::Dashed ? Qt::DashLine : Qt::SolidLine, Qt::FlatCap));
        painter->drawLine(QLineF(rect.left(), rect.center().y(), rect.right(), rect.center().y()));
    }
    if (m_style.marker != SeriesMarker::None) {
        painter->setPen(m_outlineVisible ? QPen(m_style.colour.darker(160)) : QPen(Qt::NoPen));
        painter->setBrush(m_style.colour);
        drawMarker(painter, rect.center());
    }
}

void CurveGraph::drawLabels(QCPPainter* painter, const CurveSamples& samples) const
{
    const QCPRange values = valueAxis()->range();
    const QRectF plotArea(clipRect());
    const QFontMetricsF metrics(m_labelFont);
    const double gap = markerExtent() + 1;
    LabelSpace space(clipRect(), int(metrics.height()));
    painter->setFont(m_labelFont);
    const auto tryLabel = [&](size_t index) {
        const double y = m_curve.y(index);
        if (m_labels[index].length == 0 || !values.contains(y))
            return;
        const std::optional<QPointF> point = pixelOf(m_curve.x(index), y);
        if (!point || !space.tryAnchor(*point - QPointF(0, gap)))
            return;
        const QPointF anchor = *point - QPointF(0, gap);
        const QString text = labelAt(index);
        const double width = metrics.horizontalAdvance(text);
        const QRectF box(anchor.x() - width / 2, anchor.y() - metrics.height(), width, metrics.height());
        // A label stays inside the plot: beyond it, it would cover the frame and the tick labels.
        if (!plotArea.contains(box) || !space.isFree(box))
            return;
        space.take(box);
        painter->setPen(m_labelEmboss);
        painter->drawText(box.translated(1, 1), Qt::AlignCenter, text);
        painter->setPen(m_labelText);
        painter->drawText(box, Qt::AlignCenter, text);
    };
    for (const ColumnSample& column : samples.columns) {
        // The points of a column whose values lie within a pixel share one anchor: only the first can get a
        // label, so the long tail of a rank-frequency plot costs one try per column, not one per type.
        const std::optional<QPointF> low = pixelOf(column.x, column.values.min);
        const std::optional<QPointF> high = pixelOf(column.x, column.values.max);
        const bool flat = low && high && std::abs(low->y() - high->y()) < 1;
        const size_t end = column.first + column.count;
        for (size_t index = column.first; index < end; ++index) {
            if (flat && m_labels[index].length == 0)
                continue;
            tryLabel(index);
            if (flat)
                break;
        }
    }
}

} // namespace charts
