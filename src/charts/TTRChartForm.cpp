#include "TTRChartForm.h"

#include "ChartSeries.h"
#include "ChartView.h"
#include "CheckList.h"
#include "model/Model.h"
#include "textio/ErrorMessage.h"
#include "textio/FileWriter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>

#include <algorithm>
#include <utility>

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

// The item of `Scale` after the four scales both charts share.
constexpr int standardScoresItem = 4;

QString absoluteName(const QString& name)
{
    return name.isEmpty() ? name : QFileInfo(name).absoluteFilePath();
}

bool fitsModel(const CurveFile& deviations, const CurveFile& model)
{
    return deviations.density == model.density &&
           std::equal(deviations.columns.begin(), deviations.columns.end(), model.columns.begin(), model.columns.end(),
                      [](const CurveColumn& a, const CurveColumn& b) {
                          return a.name == b.name && a.curve.size() == b.curve.size();
                      });
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

    ChBands = new QCheckBox(QStringLiteral("&Bands"), Panel1);
    ChBands->setObjectName(QStringLiteral("ChBands"));
    ChBands->setChecked(true);
    ChBands->setToolTip(QStringLiteral("Bands of 1.96 standard deviations around the model under random order"));
    BtSaveForR = createButton({}, QStringLiteral("BtSaveForR"), 80);
    updateSaveForR();

    Scale->addItem(QStringLiteral("Difference in standard deviations"));
    Scale->setItemData(standardScoresItem,
                       QStringLiteral("The measured minus the model curve in standard deviations of the model; the "
                                      "measured and model curves are not drawn in this scale"),
                       Qt::ToolTipRole);
    // Wide enough for the longest item, which the other chart does not have.
    Scale->setFixedWidth(std::max(Scale->minimumWidth(), Scale->sizeHint().width()));
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
    layOut(chartRow, 25, {ChBands}, {BtClear, BtReload, BtSaveForR});
}

void TTTRChart::connectHandlers()
{
    for (CheckList* list : {ChMeasured, ChModel, ChSubtraction})
        dialogs::connectGuarded(m_dialogs, list, &CheckList::checkClicked, this, &TTTRChart::ChMeasuredClickCheck);
    dialogs::connectGuarded(m_dialogs, Button1, &QPushButton::clicked, this, &TTTRChart::Button1Click);
    dialogs::connectGuarded(m_dialogs, BtClear, &QPushButton::clicked, this, &TTTRChart::BtClearClick);
    dialogs::connectGuarded(m_dialogs, BtReload, &QPushButton::clicked, this, &TTTRChart::BtReloadClick);
    dialogs::connectGuarded(m_dialogs, ChBands, &QCheckBox::clicked, this, &TTTRChart::ChBandsClick);
    dialogs::connectGuarded(m_dialogs, BtSaveForR, &QPushButton::clicked, this, &TTTRChart::BtSaveForRClick);
}

void TTTRChart::FormShow()
{
    ++Cislomereni;
    showHint();
    const QString deviationsPath = model::deviationFilePath(JmenoZdrojeC);
    zipfr::Sources& files = m_loadFiles.emplace_back(
        zipfr::Sources{.concordance = QFileInfo::exists(concordanceFile) ? absoluteName(concordanceFile) : QString(),
                       .measured = EM ? absoluteName(JmenoZdrojeM) : QString(),
                       .model = EC ? absoluteName(JmenoZdrojeC) : QString(),
                       .deviations = QString(),
                       .codePage = concordanceCodePage});
    updateSaveForR();
    // The measured file and the model's deviations are read beside the model file, on other cores; should the
    // model file fail, what was read of them is dropped unseen, as if it had not been read.
    std::future<CurveFile> measuredFile;
    if (EM)
        measuredFile = std::async(std::launch::async, readCurveFile, JmenoZdrojeM, CurveValues::Integer);
    if (EC) {
        // Older runs wrote no deviations: their models are drawn without bands, and nobody is told.
        std::future<CurveFile> deviationsFile;
        if (QFileInfo::exists(deviationsPath))
            deviationsFile = std::async(std::launch::async, readCurveFile, deviationsPath, CurveValues::FloatingPoint);
        ChModel->show();
        CurveFile modelFile = readCurveFile(JmenoZdrojeC, CurveValues::FloatingPoint);
        std::optional<CurveFile> deviations = matchingDeviations(modelFile, deviationsFile, deviationsPath);
        if (deviations)
            files.deviations = absoluteName(deviationsPath);
        addCurves(std::move(modelFile), *ChModel, QStringLiteral("Model: ("), CurveKind::Model, HustotaC,
                  deviations ? &deviations->columns : nullptr);
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

std::optional<CurveFile> TTTRChart::matchingDeviations(const CurveFile& model, std::future<CurveFile>& deviations,
                                                       const QString& deviationsPath)
{
    // A model file that fails is reported as such; bands for part of it would only add to the confusion.
    if (!deviations.valid() || model.failure)
        return std::nullopt;
    const QString cannotRead = QStringLiteral("The standard deviations in %1 cannot be read, so this load is drawn "
                                              "without bands.\n%2");
    try {
        CurveFile file = deviations.get();
        if (file.failure)
            m_dialogs.message(this, cannotRead.arg(deviationsPath, *file.failure));
        else if (!fitsModel(file, model))
            m_dialogs.message(this, QStringLiteral("The standard deviations in %1 do not match the model file %2 "
                                                   "(another density, other columns or another number of rows), so "
                                                   "this load is drawn without bands.")
                                        .arg(deviationsPath, JmenoZdrojeC));
        else
            return file;
    } catch (const textio::ErrorMessage& error) {
        m_dialogs.message(this, cannotRead.arg(deviationsPath, error.text()));
    }
    return std::nullopt;
}

void TTTRChart::addCurves(CurveFile file, CheckList& list, const QString& titlePrefix, CurveKind kind, quint32& density,
                          std::vector<CurveColumn>* deviations)
{
    if (file.density)
        density = *file.density;
    const QString load = QString::number(Cislomereni) + QStringLiteral(") ");
    for (size_t c = 0; c < file.columns.size(); ++c) {
        CurveColumn& column = file.columns[c];
        const SeriesStyle style = curveStyle(columnColour(column.name), int(Cislomereni), kind);
        ChartSeries& series = addCurveSeries(list, u'(' + load + column.name, titlePrefix + load + column.name, style);
        series.setCurve(std::move(column.curve));
        if (deviations) {
            series.setBand(std::move((*deviations)[c].curve), false);
            series.setBandVisible(ChBands->isChecked());
        }
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
            m_differences.push_back({&difference, data, model});
            showDifference(m_differences.back());
        }
    }
}

void TTTRChart::showDifference(const Difference& difference)
{
    Curve points = subtractCurves(difference.measured->curve(), difference.model->curve());
    const Curve* deviations = difference.model->bandDeviations();
    if (showsStandardScores()) {
        // Without deviations a difference has no value in this scale.
        difference.series->setCurve(deviations ? standardScores(points, *deviations) : Curve(points.step()));
        return;
    }
    difference.series->setCurve(std::move(points));
    if (deviations) {
        difference.series->setBand(deviationsAt(difference.series->curve(), *deviations), true);
        difference.series->setBandVisible(ChBands->isChecked());
    }
}

bool TTTRChart::showsStandardScores() const
{
    return Scale->currentIndex() == standardScoresItem;
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
    if (Cislomereni == 0)
        Graf->setEmptyHint(QStringLiteral("Nothing loaded: \"Reload\" reads the files again."));
    else if (showsStandardScores())
        Graf->setEmptyHint(
            QStringLiteral("This scale draws only the Subtraction curves of models with standard deviations."));
    else
        Graf->setEmptyHint(QStringLiteral("Tick curves in the lists on the right to draw them."));
}

void TTTRChart::activateCheckedSeries(CheckList& list)
{
    const bool drawn = &list == ChSubtraction || !showsStandardScores();
    for (int i = 1; i < list.count(); ++i)
        list.seriesAt(i)->setActive(drawn && list.isChecked(i));
}

void TTTRChart::ScaleChange()
{
    const bool standardScores = showsStandardScores();
    Graf->setAxisTitle(ChartAxis::Left, standardScores ? QStringLiteral("Difference in standard deviations")
                                                       : QStringLiteral("Number of types"));
    Graf->setReferenceLines(standardScores ? std::vector<double>{-bandReach, bandReach} : std::vector<double>{});
    // The differences change only between the standard deviations and the other scales.
    if (std::exchange(m_standardScoresShown, standardScores) != standardScores) {
        for (const Difference& difference : m_differences)
            showDifference(difference);
    }
    for (CheckList* list : {ChMeasured, ChModel, ChSubtraction})
        activateCheckedSeries(*list);
    showHint();
    // Values of another kind: the view the user chose for the old ones means nothing for them.
    Graf->showAllData();
    ChartWindow::ScaleChange();
}

void TTTRChart::ChMeasuredClickCheck(CheckList* Sender)
{
    const bool header = Sender->isChecked(0);
    if (header != Sender->rememberedHeaderState()) {
        Sender->setRememberedHeaderState(header);
        Sender->setAllChecked(header);
    }
    activateCheckedSeries(*Sender);
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
    m_differences.clear();
    m_loadFiles.clear();
    updateSaveForR();
    Graf->removeAllSeries();
    showHint();
    Graf->redraw();
}

void TTTRChart::BtReloadClick()
{
    // A new load as hiding and showing would make one, without the window manager placing the window anew.
    load();
}

void TTTRChart::ChBandsClick()
{
    for (int i = 0; i < Graf->seriesCount(); ++i)
        Graf->series(i).setBandVisible(ChBands->isChecked());
    Graf->redraw();
}

void TTTRChart::BtSaveForRClick()
{
    if (m_savingForR) {
        // Its files, staged so far, are dropped; should it have finished meanwhile, its report finds another number.
        m_savingForR.reset();
        ++m_savingsForR;
        updateSaveForR();
        return;
    }
    const std::optional<QString> prefix = m_dialogs.saveFile(
        this, {.title = QStringLiteral("Save for R"), .proposedName = m_lastPrefixForR, .defaultExtension = {}});
    if (!prefix)
        return;
    m_lastPrefixForR = *prefix;
    const auto prefixOf = [&](size_t load) {
        return m_loadFiles.size() == 1 ? *prefix : *prefix + u'-' + QString::number(load + 1);
    };
    // The files are read whole before any is replaced, but once in place they would stand where a load's file was.
    QStringList sources;
    for (const zipfr::Sources& files : m_loadFiles)
        sources << files.concordance << files.measured << files.model << files.deviations;
    QStringList names;
    for (size_t load = 0; load < m_loadFiles.size(); ++load)
        names << zipfr::outputNames(prefixOf(load), m_loadFiles[load]);
    for (const QString& name : std::as_const(names)) {
        if (sources.contains(absoluteName(name)))
            throw textio::ErrorMessage(
                QStringLiteral("The files for R would replace %1, which the chart was loaded from.").arg(name));
    }

    std::vector<RFilesSaving::Load> loads;
    for (size_t load = 0; load < m_loadFiles.size(); ++load)
        loads.push_back({absoluteName(prefixOf(load)), m_loadFiles[load]});
    m_savingPrefixForR = *prefix;
    m_savingNamesForR = names;
    const quint64 saving = ++m_savingsForR;
    m_savingForR = std::make_unique<RFilesSaving>(
        std::move(loads), this, [this, saving](std::vector<textio::StagedFile> files, std::exception_ptr failure) {
            dialogs::runGuarded(m_dialogs, this, [&] { savedForR(saving, std::move(files), failure); });
        });
    updateSaveForR();
}

void TTTRChart::savedForR(quint64 saving, std::vector<textio::StagedFile> files, std::exception_ptr failure)
{
    if (saving != m_savingsForR)
        return;
    m_savingForR.reset();
    updateSaveForR();
    if (failure)
        std::rethrow_exception(failure);
    for (textio::StagedFile& file : files)
        file.commit();
    QStringList names;
    for (const QString& name : std::as_const(m_savingNamesForR))
        names << QFileInfo(name).fileName();
    m_dialogs.message(this, QStringLiteral("The files for R were saved in %1: %2")
                                .arg(QDir::toNativeSeparators(QFileInfo(m_savingPrefixForR).absolutePath()),
                                     names.join(QStringLiteral(", "))));
}

void TTTRChart::updateSaveForR()
{
    if (m_savingForR) {
        BtSaveForR->setText(QStringLiteral("Stop &for R"));
        BtSaveForR->setToolTip(QStringLiteral("Stop saving the files for R; none is written"));
        BtSaveForR->setEnabled(true);
        setCursor(Qt::BusyCursor);
    } else {
        BtSaveForR->setText(QStringLiteral("Save &for R"));
        BtSaveForR->setToolTip(QStringLiteral("Save the files of the loads for the R package zipfR"));
        BtSaveForR->setEnabled(!m_loadFiles.empty());
        unsetCursor();
    }
}

} // namespace charts
