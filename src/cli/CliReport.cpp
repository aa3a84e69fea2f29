#include "CliReport.h"

#include "CommandLine.h"
#include "SignalStop.h"
#include "ZipfrOutput.h"

#include "textio/ErrorMessage.h"

#include <cstdio>
#include <exception>
#include <unistd.h>

namespace cli {
namespace {

// A terminal line redrawn more often than this only flickers.
constexpr std::chrono::milliseconds progressInterval(100);

void printLine(std::FILE* stream, const QString& text)
{
    std::fputs(qPrintable(text + u'\n'), stream);
    std::fflush(stream);
}

run::RunSettings runSettings(const CliOptions& options)
{
    return {
        .inputLines = options.inputFiles,
        .inputFormat = options.format,
        .codePage = options.codePage,
        .curves = run::curveSettings(options.ttr, options.from, options.to, options.every),
        .measure = options.measure,
        .model = options.model,
        .deviations = options.deviations,
        .concordance = options.concordance,
        .measuredFile = options.measuredFile,
        .modelFile = options.modelFile,
        .concordanceFile = options.concordanceFile,
    };
}

// The run, then the files for R from its outputs.
int runSteps(const Command& command, CliReport& report, const SignalStop& signals)
{
    const run::RunSettings settings = runSettings(command.options);
    const QString& zipfrPrefix = command.options.zipfrPrefix;
    if (!zipfrPrefix.isEmpty())
        checkZipfrFiles(zipfrPrefix, settings);
    switch (run::runSequence(settings, report, signals.token())) {
    case run::RunEnd::Done:
        break;
    case run::RunEnd::Cancelled:
        report.clearProgress();
        printLine(stderr, run::cancelledText());
        return 128 + signals.signal();
    default:
        return 1;
    }
    if (!zipfrPrefix.isEmpty() && !writeZipfrFiles(zipfrPrefix, settings, signals.token())) {
        printLine(stderr, QStringLiteral("Stopped: the run's output files are in place; no file for R was changed."));
        return 128 + signals.signal();
    }
    return 0;
}

int runCommand(const Command& command)
{
    CliReport report(!command.quiet && ::isatty(STDERR_FILENO) == 1);
    const SignalStop signals;
    try {
        return runSteps(command, report, signals);
    } catch (const textio::ErrorMessage& error) {
        report.clearProgress();
        printLine(stderr, error.text());
    } catch (const std::exception& error) {
        report.clearProgress();
        printLine(stderr, QString::fromLocal8Bit(error.what()));
    }
    return 1;
}

} // namespace

CliReport::CliReport(bool showProgress)
    : m_showProgress(showProgress)
{}

CliReport::~CliReport()
{
    clearProgress();
}

void CliReport::showMessage(const QString& text)
{
    clearProgress();
    // The one message that says the run went through is the result; every other one is a complaint.
    printLine(text == u"Done!" ? stdout : stderr, text);
}

void CliReport::warn(const QString& text)
{
    clearProgress();
    printLine(stderr, text);
}

void CliReport::progress(const run::Progress& progress)
{
    if (!m_showProgress)
        return;
    const auto now = std::chrono::steady_clock::now();
    if (now < m_nextProgress)
        return;
    m_nextProgress = now + progressInterval;
    // From the start of the line, and the rest of an older, longer line wiped.
    const QString line =
        QStringLiteral("\r%1 (%2 %)\x1b[K").arg(run::progressText(progress)).arg(int(progress.done * 100));
    std::fputs(qPrintable(line), stderr);
    std::fflush(stderr);
    m_progressShown = true;
}

void CliReport::clearProgress()
{
    if (!m_progressShown)
        return;
    std::fputs("\r\x1b[K", stderr);
    std::fflush(stderr);
    m_progressShown = false;
}

int runCommandLine(const QStringList& arguments)
{
    const Command command = parseCommandLine(arguments);
    switch (command.kind) {
    case Command::Kind::Help:
        std::fputs(qPrintable(usageText()), stdout);
        return 0;
    case Command::Kind::UsageError:
        printLine(stderr, QStringLiteral("vocabrix-cli: ") + command.error);
        std::fputs(qPrintable(usageText()), stderr);
        return 2;
    case Command::Kind::Run:
        break;
    }
    return runCommand(command);
}

} // namespace cli
