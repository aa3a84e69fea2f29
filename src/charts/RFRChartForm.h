#pragma once

#include "ChartWindow.h"

#include <QString>

class QCheckBox;

namespace charts {

class ChartSeries;

// The rank-frequency chart of a concordance file. It reads the file named by `JmenoZdroje` each time it
// passes from hidden to shown.
class TRFRChart final : public ChartWindow
{
    Q_OBJECT

public:
    explicit TRFRChart(dialogs::Dialogs& dialogs, QWidget* parent = nullptr);
    Q_DISABLE_COPY_MOVE(TRFRChart)

    // The concordance file to plot at the next showing.
    QString JmenoZdroje;

    ChartSeries* Series1 = nullptr;
    QCheckBox* CheckBox1 = nullptr;

protected:
    void FormShow() override;

private:
    void createControls();
    void createLayout();
    void connectHandlers();

    void CheckBox1Click();
    void Button1Click();
};

} // namespace charts
