#include "TTRChartForm.h"

#include "ChartView.h"
#include "CheckList.h"
#include "textio/ErrorMessage.h"

#include <QHBoxLayout>
#include <QPushButton>

#include <algorithm>
#include <future>

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

} // namespace

TTTRChart::TTTRChart(dialogs::Dialogs& dialogs, QWidget* parent)
    : ChartWindow(dialogs, parent, QStringLiteral("TTRChart"), QStringLiteral("TTR Chart"),
                  {QStringLiteral("Type-token Relation"), QStringLiteral("Number of tokens"),
                   QStringLiteral("Number of types")})
{
    createControls();
    createLayout();
    connectHandlers();
    resize(964, 627);
}

void TTTRChart::createControls()
{
    Graf->setPlotBackground(QColor(238, 238, 238));
    Graf->setLegendVisible(true);

    ChMeasured = createList(QStringLiteral("Measured"), this, QStringLiteral("ChMeasured"));
    ChModel = createList(QStringLiteral("Model"), this, QStringLiteral("ChModel"));
    ChSubtraction = createList(QStringLiteral("Subtraction"), this, QStringLiteral("ChSubtraction"));
    ChSubtraction->setToolTip(QStringLiteral("Subtraction of the measured and the model"));

    BtClear = createButton(QStringLiteral("C&lear"), QStringLiteral("BtClear"), 51);
    BtReload = createButton(QStringLiteral("&Reload"), QStringLiteral("BtReload"), 56);
}

void TTTRChart::createLayout()
{
    // The lists stand at the right edge in this order; hidden ones take no room.
    auto* chartRow = new QHBoxLayout;
    chartRow->setSpacing(0);
    chartRow->addWidget(Graf, 1);
    chartRow->addWidget(ChMeasured);
    chartRow->addWidget(ChModel);
    chartRow->addWidget(ChSubtraction);
    layOut(chartRow, 25, {}, {BtClear, BtReload});
}

void TTTRChart::connectHandlers()
{
    for (CheckList* list : {ChMeasured, ChModel, ChSubtraction})
        dialogs::connectGuarded(m_dialogs, list, &CheckList::checkClicked, this, &TTTRChart::ChMeasuredClickCheck);
    dialogs::connectGuarded(m_dialogs, Button1, &QPushButton::clicked, this, &TTTRChart::Button1Click);
    dialogs::connectGuarded(m_dialogs, BtClear, &QPushButton::clicked, this, &TTTRChart::BtClearClick);
    dialogs::connectGuarded(m_dialogs, BtReload, &QPushButton::clicked, this, &TTTRChart::BtReloadClick);
}

void TTTRChart::FormShow()
{
    ++Cislomereni;
    showHint();
    // The measured file is read beside the model file, on a second core; should the model file fail, what was
    // read of the measured file is dropped unseen, as if it had not been read.
    std::future<CurveFile> measuredFile;
    if (EM)
        measuredFile = std::async(std::launch::async, readCurveFile, JmenoZdrojeM, CurveValues::Integer);
    if (EC) {
        ChModel->show();
        addCurves(readCurveFile(JmenoZdrojeC, CurveValues::FloatingPoint), *ChModel, QStringLiteral("Model: ("),
                  CurveKind::Model, HustotaC);
    }
    if (EM) {
        ChMeasured->show();
        addCurves(measuredFile.get(), *ChMeasured, QStringLiteral("Data: ("), CurveKind::Measured, HustotaM);
    }
    if (EC && EM) {
        ChSubtraction->show();
        buildDifferences();
    }
}

void TTTRChart::addCurves(CurveFile file, CheckList& list, const QString& titlePrefix, CurveKind kind, quint32& density)
{
    if (file.density)
        density = *file.density;
    const QString load = QString::number(Cislomereni) + QStringLiteral(") ");
    for (CurveColumn& column : file.columns) {
        const SeriesStyle style = curveStyle(columnColour(column.name), int(Cislomereni), kind);
        ChartSeries& series = addCurveSeries(list, u'(' + load + column.name, titlePrefix + load + column.name, style);
        series.setCurve(std::move(column.curve));
    }
    // What was read before a value that does not convert stays, as it would when reading it row by row.
    if (file.failure)
        throw textio::ErrorMessage(*file.failure);
}

ChartSeries& TTTRChart::addCurveSeries(CheckList& list, const QString& itemText, const QString& title,
                                       const SeriesStyle& style)
{
    ChartSeries& series = Graf->addSeries(style);
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
            const qsizetype loadEnd = suffix.indexOf(u") ");
            const SeriesStyle style = curveStyle(columnColour(suffix.mid(loadEnd + 2)),
                                                 suffix.mid(1, loadEnd - 1).toInt(), CurveKind::Difference);
            ChartSeries& difference = addCurveSeries(*ChSubtraction, suffix, QStringLiteral("Sub.") + suffix, style);
            difference.setCurve(subtractCurves(data->curve(), model->curve()));
        }
    }
}

int TTTRChart::columnColour(const QString& name)
{
    qsizetype index = m_columnNames.indexOf(name);
    if (index < 0) {
        index = m_columnNames.size();
        m_columnNames.append(name);
    }
    return int(index);
}

void TTTRChart::showHint()
{
    Graf->setEmptyHint(Cislomereni == 0 ? QStringLiteral("Nothing loaded: \"Reload\" reads the files again.")
                                        : QStringLiteral("Tick curves in the lists on the right to draw them."));
}

void TTTRChart::ChMeasuredClickCheck(CheckList* Sender)
{
    const bool header = Sender->isChecked(0);
    if (header != Sender->rememberedHeaderState()) {
        Sender->setRememberedHeaderState(header);
        Sender->setAllChecked(header);
    }
    for (int i = 1; i < Sender->count(); ++i)
        Sender->seriesAt(i)->setActive(Sender->isChecked(i));
    Graf->redraw();
}

void TTTRChart::Button1Click()
{
    // The dialog starts empty, later with the name chosen last.
    if (const auto chosen = saveChart(m_lastPictureName))
        m_lastPictureName = *chosen;
}

void TTTRChart::BtClearClick()
{
    Cislomereni = 0;
    for (CheckList* list : {ChMeasured, ChModel, ChSubtraction}) {
        list->resetToHeader();
        list->hide();
    }
    m_columnNames.clear();
    Graf->removeAllSeries();
    showHint();
    Graf->redraw();
}

void TTTRChart::BtReloadClick()
{
    // A new load as hiding and showing would make one, without the window manager placing the window anew.
    load();
}

} // namespace charts
