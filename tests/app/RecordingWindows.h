#pragma once

#include "app/SecondaryWindows.h"

#include <QStringList>

// Stands in for the chart and Info windows and logs what the main window hands them, one line per call.
class RecordingWindows final : public app::SecondaryWindows
{
public:
    void openRfrChart(const QString& concordanceFile) override
    {
        calls.append(QStringLiteral("RFR chart ") + concordanceFile);
    }
    void setTtrChartFilesExist(bool measuredExists, bool modelExists) override
    {
        const auto text = [](bool exists) {
            return exists ? QStringLiteral("true") : QStringLiteral("false");
        };
        calls.append(QStringLiteral("TTR chart EM=%1 EC=%2").arg(text(measuredExists), text(modelExists)));
    }
    void openTtrChart(const QString& measuredFile, const QString& modelFile, const QString& concordanceFile,
                      const textio::CodePage&) override
    {
        calls.append(QStringLiteral("TTR chart M=%1 C=%2 K=%3").arg(measuredFile, modelFile, concordanceFile));
    }
    void openInfo() override { calls.append(QStringLiteral("Info")); }

    QStringList calls;
};
