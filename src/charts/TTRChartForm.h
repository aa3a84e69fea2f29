#pragma once

#include "ChartWindow.h"
#include "CurveFileReader.h"
#include "SeriesStyle.h"

#include <QString>
#include <QStringList>

namespace charts {

class ChartSeries;
class CheckList;

// The type-token chart of a run's measured and model files. Each time it passes from hidden to shown it
// reads the files again and adds their columns as a new numbered load of series, with a difference series
// for every column both files have.
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

protected:
    void FormShow() override;

private:
    void createControls();
    void createLayout();
    void connectHandlers();

    void addCurves(CurveFile file, CheckList& list, const QString& titlePrefix, CurveKind kind, quint32& density);
    ChartSeries& addCurveSeries(CheckList& list, const QString& itemText, const QString& title,
                                const SeriesStyle& style);
    void buildDifferences();
    // The colour of a column: the same in every load, told apart from every other column's.
    int columnColour(const QString& name);
    void showHint();

    void ChMeasuredClickCheck(CheckList* Sender);
    void Button1Click();
    void BtClearClick();
    void BtReloadClick();

    QString m_lastPictureName;
    QStringList m_columnNames;
};

} // namespace charts
