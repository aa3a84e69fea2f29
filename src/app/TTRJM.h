#pragma once

#include <QString>
#include <QWidget>

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QKeySequence;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
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

// The main window: the input files, what to count, where to write it, and "Go!".
class THlavni final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(THlavni)

public:
    THlavni(dialogs::Dialogs& dialogs, SecondaryWindows& windows, QWidget* parent = nullptr);

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
    QProgressBar* ProgressBar = nullptr;
    QLabel* NumberOfCoresLabel = nullptr;
    QLineEdit* NumberOfCoresEdit = nullptr;
    QPushButton* InfoBtn = nullptr;
    // The run's notes that need no answer (a text cut short at a NUL); empty and hidden until a run has one.
    QLabel* StatusLine = nullptr;

    void showWarning(const QString& text);
    // Chosen in the context menu of the input list.
    const textio::CodePage& inputCodePage() const;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

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

    dialogs::Dialogs& m_dialogs;
    SecondaryWindows& m_windows;
    CodePageMenu* m_codePageMenu = nullptr;
    // The three "Change" buttons share one save dialog, which opens with the path chosen last.
    QString m_lastSavePath;
};

} // namespace app
