#pragma once

#include "dialogs/Dialogs.h"

#include <QString>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QPushButton;
class QShowEvent;

namespace charts {

class ChartSeries;
class ChartView;

// The rank-frequency chart of a concordance file. It reads the file named by `JmenoZdroje` each time it
// passes from hidden to shown; closing it only hides it.
class TRFRChart final : public QWidget
{
    Q_OBJECT

public:
    explicit TRFRChart(dialogs::Dialogs& dialogs, QWidget* parent = nullptr);
    Q_DISABLE_COPY_MOVE(TRFRChart)

    // The concordance file to plot at the next showing.
    QString JmenoZdroje;

    ChartView* Graf = nullptr;
    ChartSeries* Series1 = nullptr;
    QWidget* Panel1 = nullptr;
    QCheckBox* CheckBox1 = nullptr;
    QComboBox* Scale = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void createControls();
    void createLayout();
    void connectHandlers();

    void FormShow();
    void CheckBox1Click();
    void ScaleChange();
    void Button1Click();
    void Button2Click();

    dialogs::Dialogs& m_dialogs;
};

} // namespace charts
