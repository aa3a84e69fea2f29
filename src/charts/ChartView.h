#pragma once

#include "ChartSeries.h"
#include "SeriesStyle.h"

#include <QColor>
#include <QElapsedTimer>
#include <QFont>
#include <QImage>
#include <QPoint>
#include <QString>
#include <QWidget>

#include <deque>
#include <vector>

class QCPAxis;
class QCPItemLine;
class QCPItemText;
class QCPTextElement;
class QCustomPlot;
class QMouseEvent;
class QPaintDevice;
class QPrinter;
class QRubberBand;

namespace charts {

struct ChartPicture;

enum class ChartAxis
{
    Left,
    Bottom,
};

struct AxisRange
{
    double lower = 0;
    double upper = 0;
};

// A chart with a title, a left and a bottom axis and an optional legend below the plot. Dragging with the left
// button zooms into the rectangle drawn towards the lower right and restores the whole view when drawn towards
// the upper left; dragging with the right button scrolls. While no series draws anything, the plot shows a
// one-line hint instead.
class ChartView final : public QWidget
{
    Q_OBJECT

public:
    explicit ChartView(QWidget* parent = nullptr);
    ~ChartView() override;
    Q_DISABLE_COPY_MOVE(ChartView)

    void setTitle(const QString& text, const QFont& font, const QColor& colour);
    QString title() const;
    void setAxisTitle(ChartAxis axis, const QString& text, const QFont& font, const QColor& colour);
    // Keeps the font and the colour.
    void setAxisTitle(ChartAxis axis, const QString& text);
    QString axisTitle(ChartAxis axis) const;
    void setLogarithmic(ChartAxis axis, bool logarithmic);
    bool isLogarithmic(ChartAxis axis) const;
    AxisRange range(ChartAxis axis) const;
    // The legend lists the titles of the active series.
    void setLegendVisible(bool visible);
    bool isLegendVisible() const;
    void setPlotBackground(const QColor& colour);
    // Thin dashed lines across the plot at these values of the left axis, kept in view while a series is drawn.
    void setReferenceLines(const std::vector<double>& values);
    // The line the plot shows while no series draws anything.
    void setEmptyHint(const QString& text);
    // The hint as shown now: empty while a series draws something.
    QString emptyHint() const;

    // A new active series without points.
    ChartSeries& addSeries(const SeriesStyle& style = {});
    int seriesCount() const { return int(m_series.size()); }
    ChartSeries& series(int index) { return m_series.at(size_t(index)); }
    // Removes every series; the next drawing shows all the data again.
    void removeAllSeries();

    // Fits the axes to the active series (unless the user has zoomed or scrolled) and draws at once.
    void redraw();
    // For loops that add points: draws at most every 100 ms, so the plot grows while a load stays linear.
    void redrawWhileLoading();
    // True while the view shows what the user zoomed or scrolled to rather than all the data.
    bool isViewChosenByUser() const { return !m_viewFollowsData; }
    // The next drawing shows all the data, whatever the user zoomed or scrolled to.
    void showAllData() { m_viewFollowsData = true; }

    // The chart as displayed.
    QImage image() const;
    // The extension chooses PNG, JPEG, PDF or SVG; any other name gets BMP. Throws textio::ErrorMessage.
    void savePicture(const QString& fileName);
    // On one landscape page, stretched to fill it inside margins of 5 % of the page.
    void print(QPrinter& printer);
    // What print() draws, on any device: the chart fills `sheet` inside margins of 5 % of it.
    void printOn(QPaintDevice& device, const QRect& sheet);

private:
    void createPlot();
    void createLegend();
    void createHint();
    QCPAxis* axis(ChartAxis axis) const;
    ChartPicture picture();
    bool paintLaidOut(QPaintDevice& device, const QRect& target, QSize logical);
    bool drawsAnything() const;
    void arrangeLegend(QSize plotSize);
    void onMousePress(QMouseEvent* event);
    void onMouseMove(QMouseEvent* event);
    void onMouseRelease(QMouseEvent* event);
    void finishZoom(QPoint end);
    void scrollTo(QPoint position);
    void restoreWholeView();
    void fitToActiveSeries();

    QCustomPlot* m_plot = nullptr;
    QCPTextElement* m_title = nullptr;
    QCPItemText* m_hint = nullptr;
    QRubberBand* m_zoomBand = nullptr;
    std::deque<ChartSeries> m_series;
    std::vector<QCPItemLine*> m_referenceLines; // owned by the plot
    std::vector<double> m_referenceValues;
    bool m_legendWanted = false;
    bool m_viewFollowsData = true;
    Qt::MouseButton m_dragButton = Qt::NoButton;
    QPoint m_dragStart;
    AxisRange m_scrollStartX;
    AxisRange m_scrollStartY;
    QElapsedTimer m_sinceRedraw;
};

} // namespace charts
