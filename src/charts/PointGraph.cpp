#include "PointGraph.h"

#include <QFontMetrics>

#include <algorithm>

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

} // namespace

PointGraph::PointGraph(QCPAxis* keyAxis, QCPAxis* valueAxis, const QColor& colour)
    : QCPGraph(keyAxis, valueAxis),
      m_colour(colour)
{
    setLineStyle(lsNone);
    setAdaptiveSampling(true);
    setColour(colour);
}

void PointGraph::setColour(const QColor& colour)
{
    m_colour = colour;
    setPen(QPen(colour));
    setPointer(m_pointerSize, m_outlineVisible);
}

void PointGraph::setPointer(int size, bool outlineVisible)
{
    m_pointerSize = size;
    m_outlineVisible = outlineVisible;
    const QPen outline = outlineVisible ? QPen(m_colour.darker(160)) : QPen(Qt::NoPen);
    setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssSquare, outline, QBrush(m_colour), 2 * size + 1));
}

void PointGraph::addPoint(double x, double y, QStringView label)
{
    const QCPGraphDataContainer& data = *mDataContainer;
    // The container keeps its points sorted by x; the labels follow the same order.
    auto position = data.size();
    if (!data.isEmpty() && x < (data.constEnd() - 1)->key) {
        const auto above = std::upper_bound(data.constBegin(), data.constEnd(), x,
                                            [](double key, const QCPGraphData& point) { return key < point.key; });
        position = int(above - data.constBegin());
    }
    if (!m_hasLabels && !label.isEmpty()) {
        m_labels.resize(size_t(data.size()));
        m_hasLabels = true;
    }
    mDataContainer->add(QCPGraphData(x, y));
    if (m_hasLabels) {
        m_labels.insert(m_labels.begin() + position, {m_labelTexts.size(), label.size()});
        m_labelTexts.append(label);
    }
}

void PointGraph::addPoints(std::span<const CurvePoint> points)
{
    if (m_hasLabels) {
        for (const CurvePoint& point : points)
            addPoint(point.x, point.y, {});
        return;
    }
    // In one piece: growing a container of a hundred thousand points one by one costs more than reading them.
    QVector<QCPGraphData> data;
    data.reserve(qsizetype(points.size()));
    for (const CurvePoint& point : points)
        data.append(QCPGraphData(point.x, point.y));
    const bool sorted = std::is_sorted(points.begin(), points.end(),
                                       [](const CurvePoint& a, const CurvePoint& b) { return a.x < b.x; });
    mDataContainer->add(data, sorted);
}

QString PointGraph::labelAt(size_t index) const
{
    const LabelSpan& span = m_labels[index];
    return m_labelTexts.sliced(span.start, span.length);
}

QString PointGraph::label(int index) const
{
    return size_t(index) < m_labels.size() ? labelAt(size_t(index)) : QString();
}

void PointGraph::clearPoints()
{
    mDataContainer->clear();
    m_labels.clear();
    m_labelTexts.clear();
    m_hasLabels = false;
}

void PointGraph::setLabelStyle(const QFont& font, const QColor& text, const QColor& emboss)
{
    m_labelFont = font;
    m_labelText = text;
    m_labelEmboss = emboss;
}

void PointGraph::draw(QCPPainter* painter)
{
    QCPGraph::draw(painter);
    if (m_labelsVisible && m_hasLabels)
        drawLabels(painter);
}

void PointGraph::getOptimizedScatterData(QVector<QCPGraphData>* scatterData,
                                         QCPGraphDataContainer::const_iterator begin,
                                         QCPGraphDataContainer::const_iterator end) const
{
    QCPGraph::getOptimizedScatterData(scatterData, begin, end);
    // The library's sampling keeps every point of a run of equal values (the long tail of types seen once),
    // so a redraw would cost the whole series; a screen shows at most one point per pixel anyway.
    const int reach = 2 * m_pointerSize + 2;
    const QRect area = keyAxis()->axisRect()->rect().adjusted(-reach, -reach, reach, reach);
    std::vector<bool> drawn(size_t(area.width()) * size_t(area.height()), false);
    qsizetype kept = 0;
    for (const QCPGraphData& point : std::as_const(*scatterData)) {
        const QPointF pixel = coordsToPixels(point.key, point.value) - QPointF(area.topLeft());
        // Compared as doubles first: a point far outside the view has no pixel an int could hold.
        if (!(pixel.x() >= 0 && pixel.y() >= 0 && pixel.x() < area.width() && pixel.y() < area.height()))
            continue;
        const size_t cell = size_t(pixel.y()) * size_t(area.width()) + size_t(pixel.x());
        if (!drawn[cell]) {
            drawn[cell] = true;
            (*scatterData)[kept++] = point;
        }
    }
    scatterData->resize(kept);
}

void PointGraph::drawLabels(QCPPainter* painter) const
{
    const QCPRange keys = keyAxis()->range();
    const QCPRange values = valueAxis()->range();
    const QCPGraphDataContainer& data = *mDataContainer;
    const auto begin = data.findBegin(keys.lower, false);
    const auto end = data.findEnd(keys.upper, false);

    const QFontMetricsF metrics(m_labelFont);
    const double gap = 2 * m_pointerSize + 2;
    LabelSpace space(clipRect(), int(metrics.height()));
    // A label may stand out of the plot area (above the topmost point, say); the point itself may not.
    painter->setClipRect(parentPlot()->viewport());
    painter->setFont(m_labelFont);
    for (auto point = begin; point != end; ++point) {
        if (!values.contains(point->value))
            continue;
        const size_t index = size_t(point - data.constBegin());
        const QPointF anchor = coordsToPixels(point->key, point->value) - QPointF(0, gap);
        if (m_labels[index].length == 0 || !space.tryAnchor(anchor))
            continue;
        const QString text = labelAt(index);
        const double width = metrics.horizontalAdvance(text);
        const QRectF box(anchor.x() - width / 2, anchor.y() - metrics.height(), width, metrics.height());
        if (!space.isFree(box))
            continue;
        space.take(box);
        painter->setPen(m_labelEmboss);
        painter->drawText(box.translated(1, 1), Qt::AlignCenter, text);
        painter->setPen(m_labelText);
        painter->drawText(box, Qt::AlignCenter, text);
    }
}

} // namespace charts
