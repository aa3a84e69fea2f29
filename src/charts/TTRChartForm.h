#pragma once

#include "CurveFile.h"
#include "dialogs/Dialogs.h"

#include <QString>
#include <QWidget>

class QComboBox;
class QPushButton;
class QShowEvent;

namespace charts {

class ChartSeries;
class ChartView;
class CheckList;

// The type-token chart of a run's measured and model files. Each time it passes from hidden to shown it
// reads the files again and adds their columns as a new numbered load of series, with a difference series
// for every column both files have. Closing it only hides it.
class TTTRChart final : public QWidget
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

    ChartView* Graf = nullptr;
    CheckList* ChMeasured = nullptr;
    CheckList* ChModel = nullptr;
    CheckList* ChSubtraction = nullptr;
    QWidget* Panel1 = nullptr;
    QComboBox* Scale = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    QPushButton* BtClear = nullptr;
    QPushButton* BtReload = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void createControls();
    void createLayout();
    void connectHandlers();

    void FormShow();
    void readCurves(const QString& path, CheckList& list, const QString& titlePrefix, CurveValues values,
                    quint32& density);
    ChartSeries& addCurveSeries(CheckList& list, const QString& itemText, const QString& title);
    void buildDifferences();

    void ChMeasuredClickCheck(CheckList& sender);
    void ScaleChange();
    void Button1Click();
    void Button2Click();
    void BtClearClick();
    void BtReloadClick();

    dialogs::Dialogs& m_dialogs;
    QString m_lastPictureName;
};

} // namespace charts
