#pragma once

#include "app/RunThread.h"

#include <QString>
#include <QStringList>
#include <QWidget>

#include <memory>

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QKeySequence;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTimer;
class QToolButton;

namespace dialogs {
class Dialogs;
}

namespace textio {
class CodePage;
}

namespace app {

class CodePageMenu;
class SecondaryWindows;

// The main window: the input files, what to count, where to write it, and "Go!". A run goes on a thread of its own
// while the window stays live; its settings are locked meanwhile.
class THlavni final : public QWidget, private RunView
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(THlavni)

public:
    THlavni(dialogs::Dialogs& dialogs, SecondaryWindows& windows, QWidget* parent = nullptr);
    ~THlavni() override;

    bool isRunning() const { return m_run != nullptr; }

    QPlainTextEdit* JmenaVstupu = nullptr;
    QToolButton* btnclear = nullptr;
    QPushButton* Nacti = nullptr;
    QComboBox* InputDruh = nullptr;
    QLabel* FreqFromLabel = nullptr;
    QLineEdit* FreqFrom = nullptr;
    QLabel* FreqToLabel = nullptr;
    QLineEdit* FreqTo = nullptr;
    QCheckBox* ChTTR = nullptr;
    QCheckBox* ChMeasure = nullptr;
    QLineEdit* JmenoSouboruZmer = nullptr;
    QPushButton* ChangeM = nullptr;
    QCheckBox* ChComputeModel = nullptr;
    QLineEdit* JmenoSouboruModeluj = nullptr;
    QPushButton* ChangeC = nullptr;
    QLabel* FreqOutLabel = nullptr;
    QLineEdit* FreqOut = nullptr;
    QLabel* Label1 = nullptr;
    QCheckBox* ChRFR = nullptr;
    QLineEdit* JmenoSouboruRFR = nullptr;
    QPushButton* ChangeRFR = nullptr;
    QPushButton* Jed = nullptr;
    QPushButton* RFRChartBtn = nullptr;
    QPushButton* TTRChartBtn = nullptr;
    // Shown while a run goes on, with the button that stops it.
    QProgressBar* ProgressBar = nullptr;
    QPushButton* Stop = nullptr;
    QLabel* NumberOfCoresLabel = nullptr;
    QLineEdit* NumberOfCoresEdit = nullptr;
    QPushButton* InfoBtn = nullptr;
    // What the run is doing, how it ended, and its last note that needs no answer (a text cut short at a NUL);
    // the tool tip holds every note. Hidden while empty.
    QLabel* StatusLine = nullptr;

    // Chosen in the context menu of the input list.
    const textio::CodePage& inputCodePage() const;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    void createLayout();
    void fitWindowSize();
    void connectHandlers();
    void connectShortcut(const QList<QKeySequence>& keys, QAbstractButton* button);

    void NactiClick();
    void btnclearClick();
    void ChangeMClick();
    void ChangeCClick();
    void ChangeRFRClick();
    void JedClick();
    void StopClick();
    void RFRChartBtnClick();
    void TTRChartBtnClick();
    void InfoBtnClick();

    void FreqFromExit();
    void FreqOutExit(QLineEdit& edit);
    void JmenoSouboruZmerExit(QLineEdit& edit);
    void fieldLeft(QObject* field);

    void chooseOutputFile(QLineEdit& edit);
    void takeFocusFromEditedField();
    bool takeFileDrag(QEvent& event);
    void dropInputFiles(const QStringList& paths);

    run::RunSettings runSettings() const;
    void lockSettings(bool locked);
    void showProgress();
    void setStatus(const QString& head);
    void noteWrittenFiles(run::RunEnd end);

    void showRunMessage(const QString& text) override;
    void showRunWarning(const QString& text) override;
    void removeRunInputLine(int index) override;
    void runEnded(std::optional<run::RunEnd> end, const QString& failure) override;

    dialogs::Dialogs& m_dialogs;
    SecondaryWindows& m_windows;
    CodePageMenu* m_codePageMenu = nullptr;
    // The three "Change" buttons share one save dialog, which opens with the path chosen last.
    QString m_lastSavePath;

    QTimer* m_progressTimer = nullptr;
    QString m_status;
    QStringList m_warnings;
    // The settings of the run going on or last ended, and the folder its relative names are in.
    run::RunSettings m_runSettings;
    QString m_runFolder;
    bool m_closeWhenStopped = false;
    std::unique_ptr<RunThread> m_run;
};

} // namespace app
