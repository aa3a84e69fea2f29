#include "ChartOutput.h"

#include "textio/FileWriter.h"
#include "textio/ErrorMessage.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageWriter>
#include <QPdfWriter>
#include <QPrinter>
#include <QSvgGenerator>

#include <cmath>
#include <string_view>

namespace charts {
namespace {

// A page of the chart's size, one point per pixel.
bool writePdf(const ChartPicture& chart, QIODevice& out)
{
    QPdfWriter writer(&out);
    const QSizeF portrait(std::min(chart.size.width(), chart.size.height()),
                          std::max(chart.size.width(), chart.size.height()));
    writer.setPageLayout(QPageLayout(
        QPageSize(portrait, QPageSize::Point, QString(), QPageSize::ExactMatch),
        chart.size.width() > chart.size.height() ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF()));
    return chart.paint(writer, QRect(0, 0, writer.width(), writer.height()), chart.size);
}

bool writeSvg(const ChartPicture& chart, QIODevice& out)
{
    QSvgGenerator generator;
    generator.setOutputDevice(&out);
    generator.setSize(chart.size);
    generator.setViewBox(QRect(QPoint(), chart.size));
    // The picture's size in millimetres counts a pixel as a CSS pixel, 96 to the inch.
    generator.setResolution(96);
    return chart.paint(generator, QRect(QPoint(), chart.size), chart.size);
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
    if (extension == u"svg")
        return "SVG";
    return "BMP";
}

QString pictureTypes()
{
    return QStringLiteral("BMP picture (*.bmp);;PNG picture (*.png);;JPEG picture (*.jpg *.jpeg);;"
                          "PDF document (*.pdf);;SVG picture (*.svg)");
}

void writePicture(const ChartPicture& chart, const QString& fileName)
{
    // Made whole in memory first: a picture that cannot be made leaves no file behind, and the bytes go out
    // through a writer that reports every failure of the disk.
    QBuffer picture;
    picture.open(QIODevice::WriteOnly);
    const QByteArray format = pictureFormat(fileName);
    QString failure;
    if (format == "PDF") {
        if (!writePdf(chart, picture))
            failure = QStringLiteral("The PDF document could not be made.");
    } else if (format == "SVG") {
        if (!writeSvg(chart, picture))
            failure = QStringLiteral("The SVG picture could not be made.");
    } else {
        QImageWriter writer(&picture, format);
        if (!writer.write(chart.bitmap().convertToFormat(QImage::Format_RGB32)))
            failure = writer.errorString();
    }
    if (!failure.isEmpty())
        throw textio::ErrorMessage(QStringLiteral("Cannot write file \"%1\". %2").arg(fileName, failure));

    textio::FileWriter file(fileName);
    file.write(std::string_view(picture.data().constData(), size_t(picture.data().size())));
    file.finish().commit();
}

void printPicture(const ChartPicture& chart, QPrinter& printer)
{
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setFullPage(true);
    paintOnSheet(chart, printer, printer.pageLayout().fullRectPixels(printer.resolution()));
}

void paintOnSheet(const ChartPicture& chart, QPaintDevice& device, const QRect& sheet)
{
    const int marginX = sheet.width() / 20;
    const int marginY = sheet.height() / 20;
    const QRect target = sheet.adjusted(marginX, marginY, -marginX, -marginY);
    // Stretched in both directions, the text would be squeezed; laid out in the proportions of the space it fills,
    // the chart fills it all the same.
    const int height = std::max(chart.size.height(), 1);
    const QSize logical(std::max(1, int(std::lround(double(height) * target.width() / target.height()))), height);
    if (!chart.paint(device, target, logical))
        throw textio::ErrorMessage(QStringLiteral("The chart could not be printed."));
}

} // namespace charts
