#pragma once

#include "CurvePoint.h"
#include "PlotLibrary.h"

#include <QColor>
#include <QFont>
#include <QString>
#include <QStringView>

#include <span>
#include <vector>

namespace charts {

// Unconnected square points in one colour, each with an optional label. Labels are drawn above their points,
// only for points in view and only where they do not cover a label already drawn, so a dense plot stays
// readable and a redraw costs no more than the points in view.
class PointGraph final : public QCPGraph
{
public:
    PointGraph(QCPAxis* keyAxis, QCPAxis* valueAxis, const QColor& colour);

    QColor colour() const { return m_colour; }
    void setColour(const QColor& colour);
    // A square of 2 * size + 1 pixels.
    void setPointer(int size, bool outlineVisible);
    int pointerSize() const { return m_pointerSize; }
    bool pointerOutlineVisible() const { return m_outlineVisible; }

    void addPoint(double x, double y, QStringView label);
    void addPoints(std::span<const CurvePoint> points);
    // Points are kept in order of x; `index` counts in that order.
    QString label(int index) const;
    void clearPoints();

    bool labelsVisible() const { return m_labelsVisible; }
    void setLabelsVisible(bool visible) { m_labelsVisible = visible; }
    void setLabelStyle(const QFont& font, const QColor& text, const QColor& emboss);

protected:
    void draw(QCPPainter* painter) override;
    void getOptimizedScatterData(QVector<QCPGraphData>* scatterData, QCPGraphDataContainer::const_iterator begin,
                                 QCPGraphDataContainer::const_iterator end) const override;

private:
    struct LabelSpan
    {
        qsizetype start = 0;
        qsizetype length = 0;
    };

    QString labelAt(size_t index) const;
    void drawLabels(QCPPainter* painter) const;

    QColor m_colour;
    int m_pointerSize = 2;
    bool m_outlineVisible = true;
    // Parallel to the data once a point has a label; until then empty, so unlabelled curves cost nothing.
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
