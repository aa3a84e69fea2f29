#pragma once

#include "charts/ChartView.h"
#include "charts/PlotLibrary.h"

#include <QTest>

// Drags the mouse over the plot of `chart` as a user does: press, two moves, release.
inline void dragOnChart(charts::ChartView& chart, Qt::MouseButton button, QPoint from, QPoint to)
{
    QCustomPlot* plot = chart.findChild<QCustomPlot*>();
    QTest::mousePress(plot, button, {}, from);
    QTest::mouseMove(plot, (from + to) / 2);
    QTest::mouseMove(plot, to);
    QTest::mouseRelease(plot, button, {}, to);
}

// Zooms into the upper left quarter of the plot.
inline void zoomIntoAQuarter(charts::ChartView& chart)
{
    const QRect area = chart.findChild<QCustomPlot*>()->axisRect()->rect();
    dragOnChart(chart, Qt::LeftButton, area.topLeft() + QPoint(2, 2), area.center());
}
