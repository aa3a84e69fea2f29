#include "ChartOutput.h"

#include "PlotLibrary.h"
#include "textio/ErrorMessage.h"

#include <QFile>
#include <QFileInfo>
#include <QPdfWriter>
#include <QPrinter>

namespace charts {
namespace {

[[noreturn]] void throwCannotWrite(const QString& fileName, const QString& reason)
{
    throw textio::ErrorMessage(QStringLiteral("Cannot create file \"%1\". %2").arg(fileName, reason));
}

// Draws the plot at its displayed size into `target`, stretched in both directions.
bool paintStretched(QCustomPlot& plot, QPaintDevice& device, const QRect& target)
{
    QCPPainter painter;
    if (!painter.begin(&device))
        return false;
    painter.setMode(QCPPainter::pmVectorized);
    painter.setMode(QCPPainter::pmNoCaching);
    painter.setViewport(target);
    painter.setWindow(0, 0, plot.width(), plot.height());
    plot.toPainter(&painter, plot.width(), plot.height());
    return painter.end();
}

bool writePdf(QCustomPlot& plot, QFile& file)
{
    QPdfWriter writer(&file);
    writer.setPageSize(QPageSize(QSizeF(plot.width(), plot.height()), QPageSize::Point));
    writer.setPageMargins(QMarginsF());
    return paintStretched(plot, writer, QRect(0, 0, writer.width(), writer.height()));
}

bool writeImage(QCustomPlot& plot, QFile& file, const QByteArray& format)
{
    const QImage image = plot.toPixmap().toImage().convertToFormat(QImage::Format_RGB32);
    return image.save(&file, format.constData());
}

} // namespace

QByteArray pictureFormat(const QString& fileName)
{
    const QString extension = QFileInfo(fileName).suffix().toLower();
    if (extension == u"png")
        return "PNG";
    if (extension == u"jpg" || extension == u"jpeg")
        return "JPG";
    if (extension == u"pdf")
        return "PDF";
    return "BMP";
}

void writePicture(QCustomPlot& plot, const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throwCannotWrite(fileName, file.errorString());

    const QByteArray format = pictureFormat(fileName);
    const bool written = format == "PDF" ? writePdf(plot, file) : writeImage(plot, file, format);
    if (!written || !file.flush())
        throwCannotWrite(fileName, file.errorString());
}

void printPlot(QCustomPlot& plot, QPrinter& printer)
{
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setFullPage(true);
    const QRect paper = printer.pageLayout().fullRectPixels(printer.resolution());
    const int marginX = paper.width() / 20;
    const int marginY = paper.height() / 20;
    if (!paintStretched(plot, printer, paper.adjusted(marginX, marginY, -marginX, -marginY)))
        throw textio::ErrorMessage(QStringLiteral("The chart could not be printed."));
}

} // namespace charts
