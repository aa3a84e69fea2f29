#pragma once

#include <QByteArray>
#include <QString>

class QCustomPlot;
class QPrinter;

namespace charts {

// The picture format a file name asks for: ".png" PNG, ".jpg" or ".jpeg" JPEG, ".pdf" PDF (any letter case);
// every other name gets BMP.
QByteArray pictureFormat(const QString& fileName);

// Writes the plot as displayed. Throws textio::ErrorMessage when the file cannot be written.
void writePicture(QCustomPlot& plot, const QString& fileName);

// Prints the plot on one landscape page, stretched to fill it inside margins of 5 % of the page.
void printPlot(QCustomPlot& plot, QPrinter& printer);

} // namespace charts
