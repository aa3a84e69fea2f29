#pragma once

#include "ChartSeries.h"

#include <QColor>
#include <QElapsedTimer>
#include <QFont>
#include <QPoint>
#include <QString>
#include <QWidget>

#include <deque>

class QCPAxis;
class QCPTextElement;
class QCustomPlot;
class QMouseEvent;
class QPrinter;
class QRubberBand;

namespace charts {

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

// A point chart with a title, a left and a bottom axis and an optional legend. Dragging with the left
// button zooms into the rectangle drawn towards the lower right and restores the whole view when drawn
// towards the upper left; dragging with the right button scrolls.
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
    QString axisTitle(ChartAxis axis) const;
    void setLogarithmic(ChartAxis axis, bool logarithmic);
    bool isLogarithmic(ChartAxis axis) const;
    AxisRange range(ChartAxis axis) const;
    // The legend lists the titles of the active series.
    void setLegendVisible(bool visible);
    bool isLegendVisible() const;
    void setPlotBackground(const QColor& colour);

    // A new active series without points, in the next colour of a fixed palette.
    ChartSeries& addSeries();
    int seriesCount() const { return int(m_series.size()); }
    ChartSeries& series(int index) { return m_series.at(size_t(index)); }
    void removeAllSeries();

    // Fits the axes to the active series (unless the user has zoomed or scrolled) and draws at once.
    void redraw();
    // For loops that add points: draws at most every 100 ms, so the plot grows while a load stays linear.
    void redrawWhileLoading();
    // True while the view shows what the user zoomed or scrolled to rather than all the data.
    bool isViewChosenByUser() const { return !m_viewFollowsData; }

    // The extension chooses PNG, JPEG or PDF; any other name gets BMP. Throws textio::ErrorMessage.
    void savePicture(const QString& fileName) const;
    // On one landscape page, stretched to fill it inside margins of 5 % of the page.
    void print(QPrinter& printer) const;

private:
    void createPlot();
    QCPAxis* axis(ChartAxis axis) const;
    void onMousePress(QMouseEvent* event);
    void onMouseMove(QMouseEvent* event);
    void onMouseRelease(QMouseEvent* event);
    void finishZoom(QPoint end);
    void scrollTo(QPoint position);
    void restoreWholeView();
    void fitToActiveSeries();
    void listActiveSeriesInLegend();

    QCustomPlot* m_plot = nullptr;
    QCPTextElement* m_title = nullptr;
    QRubberBand* m_zoomBand = nullptr;
    std::deque<ChartSeries> m_series;
    bool m_viewFollowsData = true;
    Qt::MouseButton m_dragButton = Qt::NoButton;
    QPoint m_dragStart;
    AxisRange m_scrollStartX;
    AxisRange m_scrollStartY;
    QElapsedTimer m_sinceRedraw;
};

} // namespace charts
