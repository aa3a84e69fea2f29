#pragma once

#include "Curve.h"
#include "CurveSampling.h"
#include "PlotLibrary.h"
#include "SeriesStyle.h"

#include <QColor>
#include <QFont>
#include <QString>
#include <QStringView>

#include <memory>
#include <optional>
#include <vector>

namespace charts {

class CurveBand;

// Draws a Curve as markers, a line or both, each point optionally with a label. A redraw gathers the points per
// pixel column (CurveSampling), so it costs the width of the plot whatever the number of points. Labels are drawn
// above their points, inside the plot, only for points in view and only where they do not cover a label already
// drawn, so a dense plot stays readable.
class CurveGraph final : public QCPAbstractPlottable
{
public:
    CurveGraph(QCPAxis* keyAxis, QCPAxis* valueAxis);
    ~CurveGraph() override;
    Q_DISABLE_COPY_MOVE(CurveGraph)

    const SeriesStyle& style() const { return m_style; }
    void setStyle(const SeriesStyle& style) { m_style = style; }
    // A marker spans 2 * size + 1 pixels.
    void setPointer(int size, bool outlineVisible);
    int pointerSize() const { return m_pointerSize; }
    bool pointerOutlineVisible() const { return m_outlineVisible; }

    const Curve& curve() const { return m_curve; }
    // The points per pixel column of the plot as it is laid out now, and those a marker reaches beyond it. The
    // band, drawn under the graph, gathers them first, and the graph draws from the same.
    const CurveSamples& samples() const;
    // Labels and a band belong to the points they were added with; a new curve has neither.
    void setCurve(Curve curve);
    // A band of bandReach deviations around the curve, or around 0; deviations.y(i) belongs to point i. Shown
    // until setBandVisible(false), and only while the graph is.
    void setBand(Curve deviations, bool aroundZero);
    // Null without a band.
    const Curve* bandDeviations() const;
    void setBandVisible(bool visible);
    bool isBandShown() const;
    // Adds a point at the next x of the curve's grid.
    void addPoint(double y, QStringView label);
    QString label(size_t index) const;
    void clearPoints();

    bool labelsVisible() const { return m_labelsVisible; }
    void setLabelsVisible(bool visible) { m_labelsVisible = visible; }
    void setLabelStyle(const QFont& font, const QColor& text, const QColor& emboss);

    double selectTest(const QPointF& pos, bool onlySelectable, QVariant* details = nullptr) const override;
    QCPRange getKeyRange(bool& foundRange, QCP::SignDomain inSignDomain = QCP::sdBoth) const override;
    QCPRange getValueRange(bool& foundRange, QCP::SignDomain inSignDomain = QCP::sdBoth,
                           const QCPRange& inKeyRange = QCPRange()) const override;

protected:
    void draw(QCPPainter* painter) override;
    void drawLegendIcon(QCPPainter* painter, const QRectF& rect) const override;

private:
    struct LabelSpan
    {
        qsizetype start = 0;
        qsizetype length = 0;
    };

    // The pixel of a point, or nullopt where a logarithmic axis has no place for it.
    std::optional<QPointF> pixelOf(double x, double y) const;
    void drawLine(QCPPainter* painter, const CurveSamples& samples) const;
    void drawMarkers(QCPPainter* painter, const CurveSamples& samples) const;
    void drawMarker(QCPPainter* painter, const QPointF& centre) const;
    void drawLabels(QCPPainter* painter, const CurveSamples& samples) const;
    QString labelAt(size_t index) const;
    double markerExtent() const { return 2 * m_pointerSize + 1; }

    struct SamplesKey
    {
        QRect area;
        double lower = 0;
        double upper = 0;
        QCPAxis::ScaleType scale = QCPAxis::stLinear;
        int reach = 0;
        quint64 curveVersion = 0;

        friend bool operator==(const SamplesKey&, const SamplesKey&) = default;
    };

    Curve m_curve;
    quint64 m_curveVersion = 0;
    mutable CurveSamples m_samples;
    mutable std::optional<SamplesKey> m_samplesKey;
    std::unique_ptr<CurveBand> m_band;
    SeriesStyle m_style;
    int m_pointerSize = 2;
    bool m_outlineVisible = true;
    // Parallel to the points once a point has a label; until then empty, so unlabelled curves cost nothing.
    // The texts share one buffer: half a million types would otherwise mean half a million allocations.
    std::vector<LabelSpan> m_labels;
    QString m_labelTexts;
    bool m_hasLabels = false;
    bool m_labelsVisible = false;
    QFont m_labelFont;
    QColor m_labelText = Qt::black;
    QColor m_labelEmboss = Qt::gray;
};

} // namespace charts
