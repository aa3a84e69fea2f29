#pragma once

#include "CommandLine.h"
#include "run/RunSequence.h"

namespace cli {

// The run's view of the command line: the settings come from the options, the messages the window would
// show in a box go to standard error, one line each, and "Done!" goes to standard output.
class CliHost final : public run::RunHost
{
public:
    explicit CliHost(CliOptions options);

    QString freqFromText() const override { return m_options.from; }
    QString freqToText() const override { return m_options.to; }
    QString densityText() const override { return m_options.every; }
    bool ttrChecked() const override { return m_options.ttr; }
    bool measureChecked() const override { return m_options.measure; }
    bool modelChecked() const override { return m_options.model; }
    bool concordanceChecked() const override { return m_options.concordance; }
    int inputFormat() const override { return m_options.format; }
    textio::CodePage codePage() const override { return m_options.codePage; }
    QString measuredFileName() const override { return m_options.measuredFile; }
    QString modelFileName() const override { return m_options.modelFile; }
    QString concordanceFileName() const override { return m_options.concordanceFile; }

    QStringList inputLines() const override { return m_options.inputFiles; }
    void removeInputLine(int index) override { m_options.inputFiles.removeAt(index); }

    void showMessage(const QString& text) override;
    void warn(const QString& text) override;

private:
    CliOptions m_options;
};

// Runs the whole command: returns the exit status (0 done, 1 ended early or without the model it was asked for,
// 2 wrong command line).
int runCommandLine(const QStringList& arguments);

} // namespace cli
