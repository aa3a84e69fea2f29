#include "RFRChartForm.h"

#include "ChartView.h"
#include "ConcordanceReader.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPushButton>

namespace charts {
namespace {

QFont labelFont()
{
    QFont font;
    font.setPixelSize(19);
    return font;
}

} // namespace

TRFRChart::TRFRChart(dialogs::Dialogs& dialogs, QWidget* parent)
    : ChartWindow(dialogs, parent, QStringLiteral("RFRChart"), QStringLiteral("RFR Chart"),
                  {QStringLiteral("Rank-frequency Relation"), QStringLiteral("Rank"), QStringLiteral("Frequency")})
{
    createControls();
    createLayout();
    connectHandlers();
    resize(772, 627);
}

void TRFRChart::createControls()
{
    Graf->setLegendVisible(false);
    Graf->setEmptyHint(QStringLiteral("No types to plot: run \"Go!\" with \"Save the concordance to file\" checked."));
    Series1 = &Graf->addSeries({.colour = QColor(255, 128, 0)});
    Series1->setTitle(QStringLiteral("Series1"));
    Series1->setPointer(3, true);
    Series1->setLabelStyle(labelFont(), QColor(32, 32, 32), QColor(129, 129, 129));

    CheckBox1 = new QCheckBox(QStringLiteral("Show &types"), Panel1);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox1->setFixedWidth(91);
}

void TRFRChart::createLayout()
{
    auto* chartArea = new QHBoxLayout;
    chartArea->addWidget(Graf);
    layOut(chartArea, 24, {CheckBox1}, {});
}

void TRFRChart::connectHandlers()
{
    dialogs::connectGuarded(m_dialogs, CheckBox1, &QCheckBox::toggled, this, &TRFRChart::CheckBox1Click);
    dialogs::connectGuarded(m_dialogs, Button1, &QPushButton::clicked, this, &TRFRChart::Button1Click);
}

void TRFRChart::FormShow()
{
    // Read and sort everything first: a file that fails leaves the previous plot in place.
    const RankFrequency concordance = readRankFrequency(JmenoZdroje);
    Series1->clear();
    // Another concordance seldom has anything where the user had zoomed into the last one.
    Graf->showAllData();
    for (const ConcordanceEntry& entry : concordance.ranked) {
        Series1->addPoint(entry.frequency, entry.type);
        Graf->redrawWhileLoading();
    }
}

void TRFRChart::CheckBox1Click()
{
    Series1->setLabelsVisible(CheckBox1->isChecked());
    Graf->redraw();
}

void TRFRChart::Button1Click()
{
    saveChart(QString(JmenoZdroje).replace(QStringLiteral(".txt"), QStringLiteral(".bmp"), Qt::CaseInsensitive));
}

} // namespace charts
