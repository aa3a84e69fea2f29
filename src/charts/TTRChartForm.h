#pragma once

#include "ChartWindow.h"
#include "CurveFileReader.h"
#include "RFilesSaving.h"
#include "SeriesStyle.h"
#include "textio/CodePage.h"
#include "zipfr/ZipfrFiles.h"

#include <QString>
#include <QStringList>

#include <future>
#include <memory>
#include <optional>
#include <vector>

class QCheckBox;

namespace charts {

class ChartSeries;
class CheckList;

// The type-token chart of a run's measured and model files. Each time it passes from hidden to shown it
// reads the files again and adds their columns as a new numbered load of series, with a difference series
// for every column both files have. Where the model file has its companion of standard deviations, the model
// and difference curves get bands of bandReach deviations, and the last item of `Scale` draws the differences
// in standard deviations.
class TTTRChart final : public ChartWindow
{
    Q_OBJECT

public:
    explicit TTTRChart(dialogs::Dialogs& dialogs, QWidget* parent = nullptr);
    Q_DISABLE_COPY_MOVE(TTTRChart)

    // Set by the main window before each showing: the files and whether each existed then.
    QString JmenoZdrojeM;
    QString JmenoZdrojeC;
    bool EM = false;
    bool EC = false;
    // The concordance file the main window names, and how a run reads it: "Save for R" makes the spectrum and the
    // type list of a load from it when it existed at that load.
    QString concordanceFile;
    textio::CodePage concordanceCodePage;
    // Densities read at the last load.
    quint32 HustotaM = 0;
    quint32 HustotaC = 0;
    // The number of the last load; 0 at start and after "Clear".
    quint32 Cislomereni = 0;
    // The index of the check-list item added last.
    quint32 Aktualni = 0;

    CheckList* ChMeasured = nullptr;
    CheckList* ChModel = nullptr;
    CheckList* ChSubtraction = nullptr;
    QPushButton* BtClear = nullptr;
    QPushButton* BtReload = nullptr;
    QCheckBox* ChBands = nullptr;
    QPushButton* BtSaveForR = nullptr;

    // Whether the files for R are being written; "Save for R" stops that meanwhile.
    bool savingForR() const { return m_savingForR != nullptr; }

protected:
    void FormShow() override;
    void ScaleChange() override;

private:
    // A difference series and the two series it is made from.
    struct Difference
    {
        ChartSeries* series;
        const ChartSeries* measured;
        const ChartSeries* model;
    };

    void createControls();
    void createLayout();
    void connectHandlers();

    // `deviations`, when given, holds a band for each of the file's columns.
    void addCurves(CurveFile file, CheckList& list, const QString& titlePrefix, CurveKind kind, quint32& density,
                   std::vector<CurveColumn>* deviations = nullptr);
    // The companion of the model file read, when it fits the model; tells the user when it does not.
    std::optional<CurveFile> matchingDeviations(const CurveFile& model, std::future<CurveFile>& deviations,
                                                const QString& deviationsPath);
    ChartSeries& addCurveSeries(CheckList& list, const QString& itemText, const QString& title,
                                const SeriesStyle& style);
    void buildDifferences();
    // Draws a difference in the current scale: with its band, or in standard deviations.
    void showDifference(const Difference& difference);
    bool showsStandardScores() const;
    // Makes the series of the checked items active, except those the current scale does not draw.
    void activateCheckedSeries(CheckList& list);
    // The colour of a column: the same in every load, told apart from every other column's.
    int columnColour(const QString& name);
    void showHint();
    void updateSaveForR();
    void savedForR(quint64 saving, std::vector<textio::StagedFile> files, std::exception_ptr failure);

    void ChMeasuredClickCheck(CheckList* Sender);
    void Button1Click();
    void BtClearClick();
    void BtReloadClick();
    void ChBandsClick();
    void BtSaveForRClick();

    QString m_lastPictureName;
    QString m_lastPrefixForR;
    QStringList m_columnNames;
    std::vector<Difference> m_differences;
    bool m_standardScoresShown = false;
    // The files each load read, by load number from 1, with absolute names: a file dialog moves the current folder.
    std::vector<zipfr::Sources> m_loadFiles;
    QString m_savingPrefixForR;
    QStringList m_savingNamesForR;
    quint64 m_savingsForR = 0; // tells a finished saving from one stopped since
    // Last, so that its thread is stopped and joined while everything it reports to is still there.
    std::unique_ptr<RFilesSaving> m_savingForR;
};

} // namespace charts
