#include "ChartWindowActions.h"

#include "ChartView.h"

#include <QComboBox>
#include <QPrinter>

namespace charts {
namespace {

const QColor titleColour(255, 128, 0);

QFont pixelFont(int pixels, bool bold)
{
    QFont font;
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

struct ScaleChoice
{
    const char16_t* text;
    bool logarithmicLeft;
    bool logarithmicBottom;
};

constexpr ScaleChoice scaleChoices[] = {
    {u"Normal scale", false, false},
    {u"x log scale", false, true},
    {u"y log scale", true, false},
    {u"log-log scale", true, true},
};

} // namespace

void setUpTitles(ChartView& chart, const QString& title, const QString& bottomAxis, const QString& leftAxis)
{
    chart.setTitle(title, pixelFont(24, true), titleColour);
    chart.setAxisTitle(ChartAxis::Bottom, bottomAxis, pixelFont(13, false), titleColour);
    chart.setAxisTitle(ChartAxis::Left, leftAxis, pixelFont(13, false), titleColour);
}

void addScaleItems(QComboBox& scale)
{
    for (const ScaleChoice& choice : scaleChoices)
        scale.addItem(QString::fromUtf16(choice.text));
    scale.setCurrentIndex(0);
}

void applyScale(ChartView& chart, int index)
{
    if (index < 0 || index >= int(std::size(scaleChoices)))
        return;
    const ScaleChoice& choice = scaleChoices[index];
    chart.setLogarithmic(ChartAxis::Left, choice.logarithmicLeft);
    chart.setLogarithmic(ChartAxis::Bottom, choice.logarithmicBottom);
    chart.redraw();
}

std::optional<QString> saveChart(ChartView& chart, dialogs::Dialogs& dialogs, QWidget* parent,
                                 const QString& proposedName)
{
    const std::optional<QString> fileName = dialogs.saveFile(
        parent, {.title = QString(), .proposedName = proposedName, .defaultExtension = QStringLiteral("bmp")});
    if (!fileName)
        return std::nullopt;
    chart.savePicture(*fileName);
    dialogs.message(parent, QStringLiteral("The chart was saved to ") + *fileName);
    return fileName;
}

void printChart(ChartView& chart, dialogs::Dialogs& dialogs, QWidget* parent)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    if (dialogs.print(parent, printer))
        chart.print(printer);
}

} // namespace charts
