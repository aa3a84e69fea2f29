#include "ChartView.h"

#include "AxisTicker.h"
#include "ChartOutput.h"
#include "CurveGraph.h"

#include <QFontInfo>
#include <QMouseEvent>
#include <QRubberBand>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace charts {
namespace {

// Keeps points at the edge of the data fully inside the plot.
constexpr double fitMargin = 0.025;
constexpr int dragThreshold = 4;
constexpr qint64 loadingRedrawInterval = 100;
constexpr int legendRow = 2;

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

// Text sized in points grows with the resolution of the device it is drawn on, so a printer would draw it many
// times too large for the layout; sized in pixels, it scales with the plot.
QFont pixelFont(const QFont& font, int extraPixels = 0)
{
    QFont sized = font;
    sized.setPixelSize(QFontInfo(font).pixelSize() + extraPixels);
    return sized;
}

template <typename Ticker>
void setUniformTicker(QCPAxis* axis)
{
    axis->setTicker(QSharedPointer<UniformTicker<Ticker>>::create());
}

// The last legend entry when not all fit: how many series it stands for.
class MoreEntriesItem final : public QCPAbstractLegendItem
{
public:
    MoreEntriesItem(QCPLegend* legend, size_t count)
        : QCPAbstractLegendItem(legend),
          m_text(QStringLiteral("… and %1 more").arg(count))
    {}

protected:
    void draw(QCPPainter* painter) override
    {
        painter->setFont(mParentLegend->font());
        painter->setPen(mParentLegend->textColor());
        painter->drawText(mRect, Qt::AlignLeft | Qt::AlignVCenter, m_text);
    }

    QSize minimumOuterSizeHint() const override
    {
        const QFontMetrics metrics(mParentLegend->font());
        return {metrics.horizontalAdvance(m_text) + mMargins.left() + mMargins.right(),
                metrics.height() + mMargins.top() + mMargins.bottom()};
    }

private:
    QString m_text;
};

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

    const QFont text = pixelFont(font());
    m_plot->setFont(text);
    // Tick labels are made here in the C locale; the plot finds their exponents by its own locale.
    m_plot->setLocale(QLocale::c());
    // The library's cache of tick labels knows a label by its text alone and would keep "1·10^7" from a linear
    // axis when the axis turns logarithmic ("10^7"); a few labels are drawn quickly enough without it.
    m_plot->setPlottingHint(QCP::phCacheLabels, false);
    m_plot->setBackground(Qt::white);
    m_plot->setAutoAddPlottableToLegend(false);
    m_plot->plotLayout()->insertRow(0);
    m_title = new QCPTextElement(m_plot);
    m_plot->plotLayout()->addElement(0, 0, m_title);
    for (QCPAxis* axis : {m_plot->xAxis, m_plot->yAxis}) {
        axis->setTickLabelFont(text);
        axis->setLabelFont(text);
        axis->setNumberFormat(QStringLiteral("gb"));
    }
    setUniformTicker<QCPAxisTicker>(m_plot->xAxis);
    setUniformTicker<QCPAxisTicker>(m_plot->yAxis);
    showAsFrame(m_plot->xAxis2);
    showAsFrame(m_plot->yAxis2);
    createLegend();
    createHint();
    // Bands lie under every graph, whatever the order the series were added in.
    m_plot->addLayer(QStringLiteral("bands"), m_plot->layer(QStringLiteral("main")), QCustomPlot::limBelow);

    m_zoomBand = new QRubberBand(QRubberBand::Rectangle, m_plot);
    connect(m_plot, &QCustomPlot::beforeReplot, this, [this] { arrangeLegend(m_plot->size()); });
    connect(m_plot, &QCustomPlot::mousePress, this, &ChartView::onMousePress);
    connect(m_plot, &QCustomPlot::mouseMove, this, &ChartView::onMouseMove);
    connect(m_plot, &QCustomPlot::mouseRelease, this, &ChartView::onMouseRelease);
}

void ChartView::createLegend()
{
    // Below the plot, never over the data; it joins the layout only while it lists something.
    QCPLegend* legend = m_plot->legend;
    m_plot->axisRect()->insetLayout()->take(legend);
    legend->setVisible(false);
    legend->setBorderPen(Qt::NoPen);
    legend->setBrush(Qt::NoBrush);
    legend->setFont(pixelFont(font(), -1));
    legend->setIconSize(20, 10);
    legend->setIconTextPadding(4);
    legend->setRowSpacing(0);
    legend->setColumnSpacing(8);
    legend->setFillOrder(QCPLayoutGrid::foColumnsFirst);
}

void ChartView::createHint()
{
    m_hint = new QCPItemText(m_plot);
    m_hint->position->setType(QCPItemPosition::ptAxisRectRatio);
    m_hint->position->setCoords(0.5, 0.5);
    m_hint->setPositionAlignment(Qt::AlignCenter);
    m_hint->setFont(pixelFont(font(), 2));
    m_hint->setColor(QColor(96, 96, 96));
    m_hint->setVisible(false);
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

void ChartView::setAxisTitle(ChartAxis which, const QString& text)
{
    axis(which)->setLabel(text);
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
    target->setScaleType(logarithmic ? QCPAxis::stLogarithmic : QCPAxis::stLinear);
    if (logarithmic)
        setUniformTicker<QCPAxisTickerLog>(target);
    else
        setUniformTicker<QCPAxisTicker>(target);
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
    m_legendWanted = visible;
}

bool ChartView::isLegendVisible() const
{
    return m_legendWanted;
}

void ChartView::setPlotBackground(const QColor& colour)
{
    m_plot->axisRect()->setBackground(colour);
    // Dotted grey grid lines vanish on a grey wall; white ones stay visible without crowding the points.
    for (QCPAxis* axis : {m_plot->xAxis, m_plot->yAxis})
        axis->grid()->setPen(QPen(Qt::white, 1));
}

void ChartView::setReferenceLines(const std::vector<double>& values)
{
    for (QCPItemLine* line : m_referenceLines)
        m_plot->removeItem(line);
    m_referenceLines.clear();
    m_referenceValues = values;
    for (const double value : values) {
        auto* line = new QCPItemLine(m_plot);
        for (QCPItemPosition* end : {line->start, line->end}) {
            end->setTypeX(QCPItemPosition::ptAxisRectRatio);
            end->setTypeY(QCPItemPosition::ptPlotCoords);
        }
        line->start->setCoords(0, value);
        line->end->setCoords(1, value);
        line->setPen(QPen(QColor(96, 96, 96), 1, Qt::DashLine));
        m_referenceLines.push_back(line);
    }
}

void ChartView::setEmptyHint(const QString& text)
{
    m_hint->setText(text);
}

QString ChartView::emptyHint() const
{
    return m_hint->visible() ? m_hint->text() : QString();
}

ChartSeries& ChartView::addSeries(const SeriesStyle& style)
{
    auto* graph = new CurveGraph(m_plot->xAxis, m_plot->yAxis); // the plot takes ownership
    graph->setStyle(style);
    return m_series.emplace_back(*graph);
}

void ChartView::removeAllSeries()
{
    m_series.clear();
    m_plot->clearPlottables();
    m_viewFollowsData = true;
}

void ChartView::redraw()
{
    m_hint->setVisible(!drawsAnything() && !m_hint->text().isEmpty());
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

bool ChartView::drawsAnything() const
{
    return std::any_of(m_series.begin(), m_series.end(),
                       [](const ChartSeries& series) { return series.isActive() && series.pointCount() > 0; });
}

void ChartView::arrangeLegend(QSize plotSize)
{
    QCPLegend* legend = m_plot->legend;
    QCPLayoutGrid* layout = m_plot->plotLayout();
    legend->clearItems();
    std::vector<std::unique_ptr<QCPAbstractLegendItem>> entries;
    for (int i = 0; i < m_plot->plottableCount(); ++i) {
        if (m_plot->plottable(i)->visible())
            entries.push_back(std::make_unique<QCPPlottableLegendItem>(legend, m_plot->plottable(i)));
    }
    // An empty legend would still take its row below the plot.
    const bool shown = m_legendWanted && !entries.empty();
    if (shown != legend->visible()) {
        legend->setVisible(shown);
        if (shown) {
            layout->addElement(legendRow, 0, legend);
            layout->setRowStretchFactor(legendRow, 0.001);
        } else {
            layout->take(legend);
            layout->simplify();
        }
    }
    if (!shown)
        return;

    // Columns as wide as the widest entry, as many as fit; rows up to a third of the chart's height. What does
    // not fit is counted in a last entry.
    QSize entry;
    for (const auto& item : entries)
        entry = entry.expandedTo(item->minimumOuterSizeHint());
    const int width = plotSize.width() - legend->margins().left() - legend->margins().right();
    const int columns = std::max(1, (width + legend->columnSpacing()) / (entry.width() + legend->columnSpacing()));
    const int rows = std::max(1, plotSize.height() / 3 / (entry.height() + legend->rowSpacing()));
    const size_t room = size_t(columns) * size_t(rows);
    const size_t listed = entries.size() <= room ? entries.size() : room - 1;
    legend->setWrap(columns);
    for (size_t i = 0; i < listed; ++i)
        legend->addItem(entries[i].release());
    if (listed < entries.size())
        legend->addItem(new MoreEntriesItem(legend, entries.size() - listed));
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
    if (haveValues) {
        for (const double value : m_referenceValues) {
            if (value > 0 || valueAxis->scaleType() == QCPAxis::stLinear)
                values.expand(value);
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

QImage ChartView::image() const
{
    return m_plot->toPixmap().toImage();
}

ChartPicture ChartView::picture()
{
    return {m_plot->size(), [this] { return image(); },
            [this](QPaintDevice& device, const QRect& target, QSize logical) {
                return paintLaidOut(device, target, logical);
            }};
}

bool ChartView::paintLaidOut(QPaintDevice& device, const QRect& target, QSize logical)
{
    QCPPainter painter;
    if (!painter.begin(&device))
        return false;
    painter.setMode(QCPPainter::pmVectorized);
    painter.setMode(QCPPainter::pmNoCaching);
    // Hairlines of one device pixel would all but vanish on paper.
    painter.setMode(QCPPainter::pmNonCosmetic);
    painter.setViewport(target);
    painter.setWindow(QRect(QPoint(), logical));
    arrangeLegend(logical);
    m_plot->toPainter(&painter, logical.width(), logical.height());
    const bool painted = painter.end();
    // Back to the layout of the screen.
    m_plot->replot();
    return painted;
}

void ChartView::savePicture(const QString& fileName)
{
    writePicture(picture(), fileName);
}

void ChartView::print(QPrinter& printer)
{
    printPicture(picture(), printer);
}

void ChartView::printOn(QPaintDevice& device, const QRect& sheet)
{
    paintOnSheet(picture(), device, sheet);
}

} // namespace charts
