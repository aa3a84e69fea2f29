#include "TTRChartForm.h"

#include "ChartView.h"
#include "ChartWindowActions.h"
#include "CheckList.h"
#include "textio/ErrorMessage.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include <algorithm>

namespace charts {
namespace {

CheckList* createList(const QString& header, QWidget* parent, const QString& name)
{
    auto* list = new CheckList(header, parent);
    list->setObjectName(name);
    // 90 pixels, unless the header needs more in the font at hand.
    list->setFixedWidth(std::max(90, list->sizeHintForColumn(0) + 2 * list->frameWidth() + 4));
    list->hide();
    return list;
}

QPushButton* createButton(const QString& text, QWidget* parent, const QString& name, int width)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setFixedWidth(width);
    return button;
}

} // namespace

TTTRChart::TTTRChart(dialogs::Dialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window),
      m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("TTRChart"));
    setWindowTitle(QStringLiteral("TTR Chart"));
    createControls();
    createLayout();
    connectHandlers();
    resize(964, 627);
}

void TTTRChart::createControls()
{
    Graf = new ChartView(this);
    Graf->setObjectName(QStringLiteral("Graf"));
    setUpTitles(*Graf, QStringLiteral("Type-token Relation"), QStringLiteral("Number of tokens"),
                QStringLiteral("Number of types"));
    Graf->setPlotBackground(QColor(238, 238, 238));
    Graf->setLegendVisible(true);

    ChMeasured = createList(QStringLiteral("Measured"), this, QStringLiteral("ChMeasured"));
    ChModel = createList(QStringLiteral("Model"), this, QStringLiteral("ChModel"));
    ChSubtraction = createList(QStringLiteral("Subtraction"), this, QStringLiteral("ChSubtraction"));
    ChSubtraction->setToolTip(QStringLiteral("Subtraction of the measured and the model"));

    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Scale = new QComboBox(Panel1);
    Scale->setObjectName(QStringLiteral("Scale"));
    Scale->setFixedWidth(145);
    addScaleItems(*Scale);
    Button1 = createButton(QStringLiteral("Save"), Panel1, QStringLiteral("Button1"), 52);
    Button2 = createButton(QStringLiteral("Print"), Panel1, QStringLiteral("Button2"), 48);
    BtClear = createButton(QStringLiteral("Clear"), Panel1, QStringLiteral("BtClear"), 51);
    BtReload = createButton(QStringLiteral("Reload"), Panel1, QStringLiteral("BtReload"), 56);
}

void TTTRChart::createLayout()
{
    Panel1->setFixedHeight(25);
    auto* panelLayout = new QHBoxLayout(Panel1);
    panelLayout->setContentsMargins(4, 0, 4, 0);
    panelLayout->setSpacing(4);
    for (QWidget* control :
         {static_cast<QWidget*>(Scale), static_cast<QWidget*>(Button1), static_cast<QWidget*>(Button2),
          static_cast<QWidget*>(BtClear), static_cast<QWidget*>(BtReload)})
        panelLayout->addWidget(control);
    panelLayout->addStretch();

    // The lists stand at the right edge in this order; hidden ones take no room.
    auto* chartRow = new QHBoxLayout;
    chartRow->setSpacing(0);
    chartRow->addWidget(Graf, 1);
    chartRow->addWidget(ChMeasured);
    chartRow->addWidget(ChModel);
    chartRow->addWidget(ChSubtraction);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(chartRow, 1);
    layout->addWidget(Panel1);
}

void TTTRChart::connectHandlers()
{
    for (CheckList* list : {ChMeasured, ChModel, ChSubtraction}) {
        connect(list, &CheckList::checkClicked, this, [this](CheckList* sender) {
            dialogs::runGuarded(m_dialogs, this, [this, sender] { ChMeasuredClickCheck(*sender); });
        });
    }
    connectGuarded(m_dialogs, Scale, &QComboBox::currentIndexChanged, this, &TTTRChart::ScaleChange);
    connectGuarded(m_dialogs, Button1, &QPushButton::clicked, this, &TTTRChart::Button1Click);
    connectGuarded(m_dialogs, Button2, &QPushButton::clicked, this, &TTTRChart::Button2Click);
    connectGuarded(m_dialogs, BtClear, &QPushButton::clicked, this, &TTTRChart::BtClearClick);
    connectGuarded(m_dialogs, BtReload, &QPushButton::clicked, this, &TTTRChart::BtReloadClick);
}

void TTTRChart::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (event->spontaneous())
        return;
    dialogs::runGuarded(m_dialogs, this, [this] { FormShow(); });
    Graf->redraw();
}

void TTTRChart::FormShow()
{
    ++Cislomereni;
    if (EC) {
        ChModel->show();
        readCurves(JmenoZdrojeC, *ChModel, QStringLiteral("Model: ("), CurveValues::FloatingPoint, HustotaC);
    }
    if (EM) {
        ChMeasured->show();
        readCurves(JmenoZdrojeM, *ChMeasured, QStringLiteral("Data: ("), CurveValues::Integer, HustotaM);
    }
    if (EC && EM) {
        ChSubtraction->show();
        buildDifferences();
    }
}

void TTTRChart::readCurves(const QString& path, CheckList& list, const QString& titlePrefix, CurveValues values,
                           quint32& density)
{
    const CurveFile file = readCurveFile(path, values);
    if (file.density)
        density = *file.density;
    const QString load = QString::number(Cislomereni) + QStringLiteral(") ");
    for (const CurveColumn& column : file.columns) {
        ChartSeries& series = addCurveSeries(list, u'(' + load + column.name, titlePrefix + load + column.name);
        series.addPoints(column.points);
        Graf->redrawWhileLoading();
    }
    // What was read before a value that does not convert stays, as it would when reading it row by row.
    if (file.failure)
        throw textio::ErrorMessage(*file.failure);
}

ChartSeries& TTTRChart::addCurveSeries(CheckList& list, const QString& itemText, const QString& title)
{
    ChartSeries& series = Graf->addSeries();
    Aktualni = quint32(list.addSeriesItem(itemText, series));
    series.setTitle(title);
    series.setActive(false);
    series.setPointer(2, false);
    return series;
}

void TTTRChart::buildDifferences()
{
    std::vector<ChartSeries*> models;
    std::vector<ChartSeries*> measured;
    for (int i = 0; i < Graf->seriesCount(); ++i) {
        ChartSeries& series = Graf->series(i);
        if (series.title().contains(u"Model"))
            models.push_back(&series);
        if (series.title().contains(u"Data"))
            measured.push_back(&series);
    }

    for (const ChartSeries* model : models) {
        // After "Model: " and "Data: " both titles go on with the column's "(load) name".
        const QString suffix = model->title().mid(7);
        for (const ChartSeries* data : measured) {
            if (suffix != data->title().mid(6) || ChSubtraction->findText(suffix) >= 0)
                continue;
            ChartSeries& difference = addCurveSeries(*ChSubtraction, suffix, QStringLiteral("Sub.") + suffix);
            difference.addPoints(subtractCurves(data->points(), model->points()));
            Graf->redrawWhileLoading();
        }
    }
}

void TTTRChart::ChMeasuredClickCheck(CheckList& sender)
{
    const bool header = sender.isChecked(0);
    if (header != sender.rememberedHeaderState()) {
        sender.setRememberedHeaderState(header);
        sender.setAllChecked(header);
    }
    for (int i = 1; i < sender.count(); ++i)
        sender.seriesAt(i)->setActive(sender.isChecked(i));
    Graf->redraw();
}

void TTTRChart::ScaleChange()
{
    applyScale(*Graf, Scale->currentIndex());
}

void TTTRChart::Button1Click()
{
    // The dialog starts empty, later with the name chosen last.
    if (const auto chosen = saveChart(*Graf, m_dialogs, this, m_lastPictureName))
        m_lastPictureName = *chosen;
}

void TTTRChart::Button2Click()
{
    printChart(*Graf, m_dialogs, this);
}

void TTTRChart::BtClearClick()
{
    Cislomereni = 0;
    for (CheckList* list : {ChMeasured, ChModel, ChSubtraction}) {
        list->resetToHeader();
        list->hide();
    }
    Graf->removeAllSeries();
    Graf->redraw();
}

void TTTRChart::BtReloadClick()
{
    hide();
    show();
}

} // namespace charts
