#pragma once

#include "app/SecondaryWindows.h"

#include <memory>

namespace charts {
class TRFRChart;
class TTTRChart;
} // namespace charts

namespace dialogs {
class Dialogs;
}

namespace info {
class TfrmInfo;
}

namespace app {

class THlavni;

// The program's four windows, created at start-up in this order: main window, rank-frequency chart,
// type-token chart, Info. They live until the program ends; closing the main window ends it.
class Program final : public SecondaryWindows
{
public:
    // Needs the application object; names the program, which titles its message boxes.
    explicit Program(dialogs::Dialogs& dialogs);
    ~Program() override;
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Shows the main window alone.
    void start();

    THlavni& mainWindow() { return *m_main; }
    charts::TRFRChart& rfrChart() { return *m_rfrChart; }
    charts::TTTRChart& ttrChart() { return *m_ttrChart; }
    info::TfrmInfo& infoWindow() { return *m_info; }

    void openRfrChart(const QString& concordanceFile) override;
    void setTtrChartFilesExist(bool measuredExists, bool modelExists) override;
    void openTtrChart(const QString& measuredFile, const QString& modelFile, const QString& concordanceFile,
                      const textio::CodePage& codePage) override;
    void openInfo() override;

private:
    std::unique_ptr<THlavni> m_main;
    std::unique_ptr<charts::TRFRChart> m_rfrChart;
    std::unique_ptr<charts::TTTRChart> m_ttrChart;
    std::unique_ptr<info::TfrmInfo> m_info;
};

} // namespace app
