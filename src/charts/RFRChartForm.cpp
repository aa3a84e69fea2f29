#include "RFRChartForm.h"

#include "ChartView.h"
#include "ChartWindowActions.h"
#include "ConcordanceReader.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

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
    : QWidget(parent, Qt::Window),
      m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("RFRChart"));
    setWindowTitle(QStringLiteral("RFR Chart"));
    createControls();
    createLayout();
    connectHandlers();
    resize(772, 627);
}

void TRFRChart::createControls()
{
    Graf = new ChartView(this);
    Graf->setObjectName(QStringLiteral("Graf"));
    setUpTitles(*Graf, QStringLiteral("Rank-frequency Relation"), QStringLiteral("Rank"), QStringLiteral("Frequency"));
    Graf->setLegendVisible(false);

    Series1 = &Graf->addSeries();
    Series1->setTitle(QStringLiteral("Series1"));
    Series1->setColour(QColor(255, 128, 0));
    Series1->setPointer(3, true);
    Series1->setLabelStyle(labelFont(), QColor(32, 32, 32), QColor(129, 129, 129));

    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    CheckBox1 = new QCheckBox(QStringLiteral("Show types"), Panel1);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    Scale = new QComboBox(Panel1);
    Scale->setObjectName(QStringLiteral("Scale"));
    addScaleItems(*Scale);
    Button1 = new QPushButton(QStringLiteral("Save"), Panel1);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button2 = new QPushButton(QStringLiteral("Print"), Panel1);
    Button2->setObjectName(QStringLiteral("Button2"));
}

void TRFRChart::createLayout()
{
    Panel1->setFixedHeight(24);
    CheckBox1->setFixedWidth(91);
    Scale->setFixedWidth(145);
    Button1->setFixedWidth(52);
    Button2->setFixedWidth(48);
    auto* panelLayout = new QHBoxLayout(Panel1);
    panelLayout->setContentsMargins(4, 0, 4, 0);
    panelLayout->setSpacing(4);
    for (QWidget* control : {static_cast<QWidget*>(CheckBox1), static_cast<QWidget*>(Scale),
                             static_cast<QWidget*>(Button1), static_cast<QWidget*>(Button2)})
        panelLayout->addWidget(control);
    panelLayout->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Graf, 1);
    layout->addWidget(Panel1);
}

void TRFRChart::connectHandlers()
{
    connectGuarded(m_dialogs, CheckBox1, &QCheckBox::toggled, this, &TRFRChart::CheckBox1Click);
    connectGuarded(m_dialogs, Scale, &QComboBox::currentIndexChanged, this, &TRFRChart::ScaleChange);
    connectGuarded(m_dialogs, Button1, &QPushButton::clicked, this, &TRFRChart::Button1Click);
    connectGuarded(m_dialogs, Button2, &QPushButton::clicked, this, &TRFRChart::Button2Click);
}

void TRFRChart::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (event->spontaneous())
        return;
    dialogs::runGuarded(m_dialogs, this, [this] { FormShow(); });
    Graf->redraw();
}

void TRFRChart::FormShow()
{
    // Read and sort everything first: a file that fails leaves the previous plot in place.
    const RankFrequency concordance = readRankFrequency(JmenoZdroje);
    Series1->clear();
    double rank = 0;
    for (const ConcordanceEntry& entry : concordance.ranked) {
        Series1->addPoint(++rank, entry.frequency, entry.type);
        Graf->redrawWhileLoading();
    }
}

void TRFRChart::CheckBox1Click()
{
    Series1->setLabelsVisible(CheckBox1->isChecked());
    Graf->redraw();
}

void TRFRChart::ScaleChange()
{
    applyScale(*Graf, Scale->currentIndex());
}

void TRFRChart::Button1Click()
{
    saveChart(*Graf, m_dialogs, this,
              QString(JmenoZdroje).replace(QStringLiteral(".txt"), QStringLiteral(".bmp"), Qt::CaseInsensitive));
}

void TRFRChart::Button2Click()
{
    printChart(*Graf, m_dialogs, this);
}

} // namespace charts
