#pragma once

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

#include <functional>

class QPaintDevice;
class QPrinter;

namespace charts {

// What a chart gives to pictures and paper: its size as displayed, a bitmap of it as displayed, and a drawing of
// it laid out at a logical size into a rectangle of any device. Text, markers and lines are sized in logical
// pixels, so on every device they keep the proportion to the plot that they have on screen.
struct ChartPicture
{
    QSize size;
    std::function<QImage()> bitmap;
    // False when the device cannot be painted on.
    std::function<bool(QPaintDevice& device, const QRect& target, QSize logical)> paint;
};

// The picture type a file name asks for: ".png" PNG, ".jpg" or ".jpeg" JPEG, ".pdf" PDF, ".svg" SVG (any letter
// case); every other name gets BMP.
QByteArray pictureFormat(const QString& fileName);
// The picture types of the save dialog, as name filters separated by ";;", BMP first.
QString pictureTypes();

// Writes the chart as displayed. Throws textio::ErrorMessage when the picture cannot be made or written.
void writePicture(const ChartPicture& chart, const QString& fileName);

// Prints the chart on one landscape page (paintOnSheet).
void printPicture(const ChartPicture& chart, QPrinter& printer);
// Draws the chart stretched to fill `sheet` inside margins of 5 % of it, laid out at its displayed height and the
// proportions of the space it fills. Throws textio::ErrorMessage when the device cannot be painted on.
void paintOnSheet(const ChartPicture& chart, QPaintDevice& device, const QRect& sheet);

} // namespace charts
