#pragma once

#include "run/RunSequence.h"

#include <QStringList>

#include <chrono>

namespace cli {

// The run's report on the command line: the messages the window would show in a box go to standard error, one
// line each, and "Done!" to standard output. The progress is one line of standard error written over and over,
// when that is a terminal.
class CliReport final : public run::RunReport
{
public:
    explicit CliReport(bool showProgress);
    ~CliReport() override;
    CliReport(const CliReport&) = delete;
    CliReport& operator=(const CliReport&) = delete;

    void showMessage(const QString& text) override;
    void warn(const QString& text) override;
    // The command line's list is the run's own: nothing to show.
    void removeInputLine(int) override {}
    void progress(const run::Progress& progress) override;

    // Wipes the progress line, so that a message takes a line of its own.
    void clearProgress();

private:
    bool m_showProgress = false;
    bool m_progressShown = false;
    std::chrono::steady_clock::time_point m_nextProgress;
};

// Runs the whole command: returns the exit status (0 done, 1 ended early or without the model it was asked for,
// 2 wrong command line, 128 + the signal's number when SIGINT or SIGTERM stopped the run).
int runCommandLine(const QStringList& arguments);

} // namespace cli
