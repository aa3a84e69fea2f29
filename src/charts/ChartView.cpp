#include "ChartView.h"

#include "ChartOutput.h"
#include "PointGraph.h"

#include <QMouseEvent>
#include <QRubberBand>
#include <QVBoxLayout>

#include <array>
#include <cmath>

namespace charts {
namespace {

// Distinct on white and on light grey, and told apart by most colour-blind readers too.
constexpr std::array<QRgb, 12> seriesColours = {
    0x0072B2, 0xD55E00, 0x009E73, 0xCC79A7, 0xE69F00, 0x56B4E9,
    0x8C2D04, 0x4B0082, 0x5A7D1A, 0xB22222, 0x2F4F4F, 0x9467BD,
};

// Keeps points at the edge of the data fully inside the plot.
constexpr double fitMargin = 0.025;
constexpr int dragThreshold = 4;
constexpr qint64 loadingRedrawInterval = 100;

QCPRange withMargin(QCPRange range, bool logarithmic)
{
    if (logarithmic) {
        const double factor = range.lower == range.upper ? 2 : std::pow(range.upper / range.lower, fitMargin);
        return {range.lower / factor, range.upper * factor};
    }
    const double span = range.lower == range.upper ? std::max(std::abs(range.lower), 1.0) : range.size();
    return {range.lower - span * fitMargin, range.upper + span * fitMargin};
}

QCP::SignDomain domainOf(const QCPAxis* axis)
{
    return axis->scaleType() == QCPAxis::stLogarithmic ? QCP::sdPositive : QCP::sdBoth;
}

// Moves an axis so that the coordinate under `from` comes under `to`, starting from the range `start`.
void shiftAxis(QCPAxis* axis, const AxisRange& start, double from, double to)
{
    axis->setRange(start.lower, start.upper);
    if (axis->scaleType() == QCPAxis::stLogarithmic) {
        const double factor = axis->pixelToCoord(from) / axis->pixelToCoord(to);
        axis->setRange(start.lower * factor, start.upper * factor);
    } else {
        const double shift = axis->pixelToCoord(from) - axis->pixelToCoord(to);
        axis->setRange(start.lower + shift, start.upper + shift);
    }
}

void showAsFrame(QCPAxis* axis)
{
    axis->setVisible(true);
    axis->setTicks(false);
    axis->setTickLabels(false);
}

} // namespace

ChartView::ChartView(QWidget* parent)
    : QWidget(parent)
{
    createPlot();
    setToolTip(QStringLiteral("Left click: zoom; right click: scroll"));
}

ChartView::~ChartView() = default;

void ChartView::createPlot()
{
    m_plot = new QCustomPlot(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_plot);

    m_plot->setBackground(Qt::white);
    m_plot->setAutoAddPlottableToLegend(false);
    m_plot->setNoAntialiasingOnDrag(true);
    m_plot->plotLayout()->insertRow(0);
    m_title = new QCPTextElement(m_plot);
    m_plot->plotLayout()->addElement(0, 0, m_title);
    showAsFrame(m_plot->xAxis2);
    showAsFrame(m_plot->yAxis2);
    m_plot->legend->setBorderPen(Qt::NoPen);
    m_plot->legend->setBrush(QColor(255, 255, 255, 210));
    m_plot->axisRect()->insetLayout()->setInsetAlignment(0, Qt::AlignTop | Qt::AlignLeft);

    m_zoomBand = new QRubberBand(QRubberBand::Rectangle, m_plot);
    connect(m_plot, &QCustomPlot::mousePress, this, &ChartView::onMousePress);
    connect(m_plot, &QCustomPlot::mouseMove, this, &ChartView::onMouseMove);
    connect(m_plot, &QCustomPlot::mouseRelease, this, &ChartView::onMouseRelease);
}

QCPAxis* ChartView::axis(ChartAxis which) const
{
    return which == ChartAxis::Left ? m_plot->yAxis : m_plot->xAxis;
}

void ChartView::setTitle(const QString& text, const QFont& font, const QColor& colour)
{
    m_title->setText(text);
    m_title->setFont(font);
    m_title->setTextColor(colour);
}

QString ChartView::title() const
{
    return m_title->text();
}

void ChartView::setAxisTitle(ChartAxis which, const QString& text, const QFont& font, const QColor& colour)
{
    QCPAxis* target = axis(which);
    target->setLabel(text);
    target->setLabelFont(font);
    target->setLabelColor(colour);
}

QString ChartView::axisTitle(ChartAxis which) const
{
    return axis(which)->label();
}

void ChartView::setLogarithmic(ChartAxis which, bool logarithmic)
{
    QCPAxis* target = axis(which);
    if (logarithmic == isLogarithmic(which))
        return;
    // A zoomed range rarely makes sense on the other scale.
    m_viewFollowsData = true;
    if (logarithmic) {
        target->setScaleType(QCPAxis::stLogarithmic);
        target->setTicker(QSharedPointer<QCPAxisTickerLog>::create());
    } else {
        target->setScaleType(QCPAxis::stLinear);
        target->setTicker(QSharedPointer<QCPAxisTicker>::create());
    }
}

bool ChartView::isLogarithmic(ChartAxis which) const
{
    return axis(which)->scaleType() == QCPAxis::stLogarithmic;
}

AxisRange ChartView::range(ChartAxis which) const
{
    const QCPRange current = axis(which)->range();
    return {current.lower, current.upper};
}

void ChartView::setLegendVisible(bool visible)
{
    m_plot->legend->setVisible(visible);
}

bool ChartView::isLegendVisible() const
{
    return m_plot->legend->visible();
}

void ChartView::setPlotBackground(const QColor& colour)
{
    m_plot->axisRect()->setBackground(colour);
    // Dotted grey grid lines vanish on a grey wall; white ones stay visible without crowding the points.
    for (QCPAxis* axis : {m_plot->xAxis, m_plot->yAxis})
        axis->grid()->setPen(QPen(Qt::white, 1));
}

ChartSeries& ChartView::addSeries()
{
    const QColor colour = QColor::fromRgb(seriesColours[m_series.size() % seriesColours.size()]);
    auto* graph = new PointGraph(m_plot->xAxis, m_plot->yAxis, colour); // the plot takes ownership
    return m_series.emplace_back(*graph);
}

void ChartView::removeAllSeries()
{
    m_series.clear();
    m_plot->clearPlottables();
}

void ChartView::redraw()
{
    listActiveSeriesInLegend();
    if (m_viewFollowsData)
        fitToActiveSeries();
    m_plot->replot(QCustomPlot::rpImmediateRefresh);
    m_sinceRedraw.start();
}

void ChartView::redrawWhileLoading()
{
    if (!m_sinceRedraw.isValid() || m_sinceRedraw.hasExpired(loadingRedrawInterval))
        redraw();
}

void ChartView::listActiveSeriesInLegend()
{
    QCPLegend* legend = m_plot->legend;
    if (!legend->visible())
        return;
    legend->clearItems();
    for (int i = 0; i < m_plot->plottableCount(); ++i) {
        if (m_plot->plottable(i)->visible())
            m_plot->plottable(i)->addToLegend(legend);
    }
}

void ChartView::fitToActiveSeries()
{
    QCPAxis* keyAxis = m_plot->xAxis;
    QCPAxis* valueAxis = m_plot->yAxis;
    QCPRange keys;
    QCPRange values;
    bool haveKeys = false;
    bool haveValues = false;
    for (int i = 0; i < m_plot->plottableCount(); ++i) {
        const QCPAbstractPlottable* graph = m_plot->plottable(i);
        if (!graph->visible())
            continue;
        bool found = false;
        const QCPRange graphKeys = graph->getKeyRange(found, domainOf(keyAxis));
        if (found) {
            keys = haveKeys ? QCPRange(std::min(keys.lower, graphKeys.lower), std::max(keys.upper, graphKeys.upper))
                            : graphKeys;
            haveKeys = true;
        }
        const QCPRange graphValues = graph->getValueRange(found, domainOf(valueAxis));
        if (found) {
            values = haveValues ? QCPRange(std::min(values.lower, graphValues.lower),
                                           std::max(values.upper, graphValues.upper))
                                : graphValues;
            haveValues = true;
        }
    }
    if (haveKeys)
        keyAxis->setRange(withMargin(keys, keyAxis->scaleType() == QCPAxis::stLogarithmic));
    if (haveValues)
        valueAxis->setRange(withMargin(values, valueAxis->scaleType() == QCPAxis::stLogarithmic));
}

void ChartView::onMousePress(QMouseEvent* event)
{
    if (m_dragButton != Qt::NoButton)
        return;
    const Qt::MouseButton button = event->button();
    if (button != Qt::LeftButton && button != Qt::RightButton)
        return;
    m_dragButton = button;
    m_dragStart = event->position().toPoint();
    if (button == Qt::LeftButton) {
        m_zoomBand->setGeometry(QRect(m_dragStart, QSize()));
        m_zoomBand->show();
    } else {
        m_scrollStartX = range(ChartAxis::Bottom);
        m_scrollStartY = range(ChartAxis::Left);
    }
}

void ChartView::onMouseMove(QMouseEvent* event)
{
    const QPoint position = event->position().toPoint();
    if (m_dragButton == Qt::LeftButton)
        m_zoomBand->setGeometry(QRect(m_dragStart, position).normalized());
    else if (m_dragButton == Qt::RightButton)
        scrollTo(position);
}

void ChartView::onMouseRelease(QMouseEvent* event)
{
    if (event->button() != m_dragButton)
        return;
    m_dragButton = Qt::NoButton;
    const QPoint position = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        m_zoomBand->hide();
        finishZoom(position);
    } else {
        scrollTo(position);
    }
}

void ChartView::finishZoom(QPoint end)
{
    const QPoint drag = end - m_dragStart;
    if (drag.x() < -dragThreshold || drag.y() < -dragThreshold) {
        restoreWholeView();
        return;
    }
    if (drag.x() <= dragThreshold || drag.y() <= dragThreshold)
        return;
    m_viewFollowsData = false;
    m_plot->xAxis->setRange(m_plot->xAxis->pixelToCoord(m_dragStart.x()), m_plot->xAxis->pixelToCoord(end.x()));
    m_plot->yAxis->setRange(m_plot->yAxis->pixelToCoord(end.y()), m_plot->yAxis->pixelToCoord(m_dragStart.y()));
    m_plot->replot();
}

void ChartView::scrollTo(QPoint position)
{
    if (position == m_dragStart)
        return;
    m_viewFollowsData = false;
    shiftAxis(m_plot->xAxis, m_scrollStartX, m_dragStart.x(), position.x());
    shiftAxis(m_plot->yAxis, m_scrollStartY, m_dragStart.y(), position.y());
    m_plot->replot(QCustomPlot::rpQueuedReplot);
}

void ChartView::restoreWholeView()
{
    m_viewFollowsData = true;
    redraw();
}

void ChartView::savePicture(const QString& fileName) const
{
    writePicture(*m_plot, fileName);
}

void ChartView::print(QPrinter& printer) const
{
    printPlot(*m_plot, printer);
}

} // namespace charts
