#pragma once

#include <QString>

namespace textio {
class CodePage;
}

namespace app {

// The windows the main window opens. They exist for the whole life of the program and keep their state
// while hidden; opening one that is already shown only brings it to the front.
class SecondaryWindows
{
public:
    virtual ~SecondaryWindows() = default;

    virtual void openRfrChart(const QString& concordanceFile) = 0;
    // The type-token window keeps whether each curve file existed, also when it is not opened then.
    virtual void setTtrChartFilesExist(bool measuredExists, bool modelExists) = 0;
    // The concordance file and its code page serve the files for R made from a load.
    virtual void openTtrChart(const QString& measuredFile, const QString& modelFile, const QString& concordanceFile,
                              const textio::CodePage& codePage) = 0;
    virtual void openInfo() = 0;
};

} // namespace app
