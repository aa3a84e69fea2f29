#include "RunSequence.h"

#include "OutputFiles.h"

#include "measure/Concordance.h"
#include "measure/MeasurementPass.h"
#include "measure/Tokenizers.h"
#include "model/Model.h"
#include "textio/ErrorMessage.h"
#include "textio/FileWriter.h"
#include "textio/IntegerText.h"

#include <QFileInfo>
#include <QLocale>

#include <cerrno>
#include <optional>
#include <vector>

namespace run {
namespace {

// Thrown where a run may stop when its stop token asks. A cancelled run is no failure, yet it must leave its steps
// as a failure does: the writers remove their temporary files as it passes, and no output is committed.
struct Cancelled
{
};

// Where the run hears a stop, and what it tells of its progress.
class Checkpoints
{
public:
    Checkpoints(RunReport& report, std::stop_token stop)
        : m_report(report),
          m_stop(std::move(stop))
    {}

    void check() const
    {
        if (m_stop.stop_requested())
            throw Cancelled{};
    }

    // Checks for a stop, then reports the progress as changed by `update`.
    template <typename Update>
    void report(const Update& update)
    {
        check();
        update(m_progress);
        m_report.progress(m_progress);
    }

private:
    RunReport& m_report;
    std::stop_token m_stop;
    Progress m_progress;
};

// The outputs of a run, complete and waiting to be put in place together.
using StagedOutputs = std::vector<textio::StagedFile>;

struct InputFiles
{
    QStringList paths;
    std::vector<qint64> bytesBefore; // of the files before each, and of all at the end
};

// Removes the empty lines of the input list and checks that every other line names a file. A missing file
// ends the run with a message; a folder is reported as a file that cannot be opened.
std::optional<InputFiles> checkInputFiles(const QStringList& lines, RunReport& report, const Checkpoints& checkpoints)
{
    InputFiles files{.paths = lines, .bytesBefore = {0}};
    for (int i = 0; i < files.paths.size();) {
        checkpoints.check();
        const QString& line = files.paths.at(i);
        if (line.isEmpty()) {
            report.removeInputLine(i);
            files.paths.removeAt(i);
            continue;
        }
        const QFileInfo file(line);
        if (!file.exists()) {
            report.showMessage(
                QStringLiteral("The file \"%1\" does not exist! The procedure will be terminated.").arg(line));
            return std::nullopt;
        }
        if (file.isDir())
            textio::throwCannotOpen(line, EISDIR);
        files.bytesBefore.push_back(files.bytesBefore.back() + (file.isFile() ? file.size() : 0));
        ++i;
    }
    return files;
}

// The share of the reading done: bytes read, or files read where there are no bytes to count (pipes).
double readShare(const InputFiles& files, qsizetype file, double fileDone)
{
    const double total = double(files.bytesBefore.back());
    if (total == 0)
        return (double(file) + fileDone) / double(std::max<qsizetype>(files.paths.size(), 1));
    const double fileBytes = double(files.bytesBefore[size_t(file) + 1] - files.bytesBefore[size_t(file)]);
    return (double(files.bytesBefore[size_t(file)]) + fileBytes * fileDone) / total;
}

// The measurement pass. Returns the dictionary for the model step when the run goes on, nullopt when a missing
// input file ended it.
std::optional<measure::Slovnik> Zmer(const RunSettings& settings, RunReport& report, Checkpoints& checkpoints,
                                     StagedOutputs& outputs)
{
    measure::MeasurementPass pass(settings.curves, settings.measuredFile);
    const std::optional<InputFiles> files = checkInputFiles(settings.inputLines, report, checkpoints);
    if (!files)
        return std::nullopt;
    const auto pieceRead = [&](qsizetype file, double done) {
        checkpoints.report([&](Progress& progress) {
            if (progress.phase != Progress::Phase::Reading || progress.file != file || progress.fileName.isEmpty())
                progress.fileName = QFileInfo(files->paths[file]).fileName();
            progress.phase = Progress::Phase::Reading;
            progress.file = file;
            progress.files = files->paths.size();
            progress.tokens = pass.tokens();
            progress.done = readShare(*files, file, done);
        });
    };
    measure::readTokens(settings.inputFormat, files->paths, pass,
                        {.warn = [&report](const QString& text) { report.warn(text); },
                         .codePage = settings.codePage,
                         .progress = pieceRead});
    outputs.push_back(pass.finish());
    if (settings.concordance) {
        const quint64 types = pass.slovnik().size();
        const auto sorted = [&](double done) {
            checkpoints.report([&](Progress& progress) {
                progress.phase = Progress::Phase::Concordance;
                progress.types = types;
                progress.done = done;
            });
        };
        sorted(0);
        outputs.push_back(measure::SaveConcordance(pass.slovnik(), settings.concordanceFile, QLocale(), sorted));
        sorted(1);
    }
    // Only the model step needs the counts; without it the dictionary goes with the pass.
    return settings.model ? pass.takeSlovnik() : measure::Slovnik();
}

// The model step; false when it had no concordance file to come from. Without the run's dictionary the
// spectrum comes from the concordance file.
bool Spocitej(const RunSettings& settings, RunReport& report, Checkpoints& checkpoints,
              std::optional<measure::Slovnik> slovnik, StagedOutputs& outputs)
{
    const QString& concordance = settings.concordanceFile;
    // The file must exist even when the spectrum comes from the dictionary and the file is not read; the one
    // this run has just written counts, though it is put in place only at the end.
    const bool writtenByThisRun = slovnik && settings.concordance;
    if (!writtenByThisRun && !QFileInfo::exists(concordance)) {
        report.showMessage(concordance + QStringLiteral(" does not exist. Measure the concordancy of a text first."));
        return false;
    }
    if (!slovnik)
        checkOutputFiles(outputFiles(settings), {concordance});
    const model::Spectrum spectrum = slovnik ? model::BuildSpectrum(std::move(*slovnik))
                                             : model::BuildSpectrum(
                                                   concordance, [&report](const QString& text) { report.warn(text); },
                                                   settings.codePage, [&checkpoints] { checkpoints.check(); });
    const quint64 rows = settings.curves.density == 0 ? 0 : spectrum.N / settings.curves.density;
    const auto rowsOf = [&checkpoints, &spectrum, rows](Progress::Phase phase) -> model::RowsProgress {
        return [&checkpoints, &spectrum, rows, phase](quint64 row) {
            checkpoints.report([&](Progress& progress) {
                progress.phase = phase;
                progress.tokens = spectrum.N;
                progress.row = row;
                progress.rows = rows;
                progress.done = rows == 0 ? 1.0 : double(row) / double(rows);
            });
        };
    };
    const model::RowsProgress modelRows = rowsOf(Progress::Phase::Model);
    modelRows(0);
    if (settings.deviations) {
        model::ModelFiles files = model::ComputeModelWithDeviations(spectrum, settings.curves, settings.modelFile,
                                                                    model::deviationFilePath(settings.modelFile),
                                                                    modelRows, rowsOf(Progress::Phase::Deviations));
        outputs.push_back(std::move(files.model));
        outputs.push_back(std::move(files.deviations));
    } else {
        outputs.push_back(model::ComputeModel(spectrum, settings.curves, settings.modelFile, modelRows));
    }
    return true;
}

RunEnd runSteps(const RunSettings& settings, RunReport& report, Checkpoints& checkpoints)
{
    StagedOutputs outputs;
    std::optional<measure::Slovnik> slovnik;
    if (settings.measure) {
        if (settings.inputLines.isEmpty()) {
            report.showMessage(QStringLiteral("Use the \"Load input files\" button to determine input files."));
            return RunEnd::Stopped;
        }
        checkOutputFiles(outputFiles(settings), settings.inputLines);
        slovnik = Zmer(settings, report, checkpoints, outputs);
        if (!slovnik)
            return RunEnd::Stopped;
    }
    const bool modelMissing = settings.model && !Spocitej(settings, report, checkpoints, std::move(slovnik), outputs);
    // The last chance to stop: from here on the outputs replace the older files.
    checkpoints.check();
    for (textio::StagedFile& output : outputs)
        output.commit();
    if (settings.model && !modelMissing && !settings.deviations)
        removeStaleFile(model::deviationFilePath(settings.modelFile),
                        outputFiles(settings) +
                            (settings.measure ? settings.inputLines : QStringList{settings.concordanceFile}));
    report.showMessage(QStringLiteral("Done!"));
    return modelMissing ? RunEnd::DoneWithoutModel : RunEnd::Done;
}

QString grouped(quint64 number)
{
    return QLocale().toString(number);
}

} // namespace

measure::CurveSettings curveSettings(bool ttr, const QString& fromText, const QString& toText,
                                     const QString& densityText)
{
    const measure::CurveSettings settings{
        .columns = {.ttr = ttr,
                    .from = quint32(textio::requireInteger(fromText)),
                    .to = quint32(textio::requireInteger(toText))},
        .density = quint32(textio::requireInteger(densityText)),
        .densityText = densityText,
    };
    if (settings.columns.classCount() > maxFrequencyClasses)
        throw textio::ErrorMessage(
            QStringLiteral("Cannot count the frequency classes from %1 to %2: a run counts at most %3 classes.")
                .arg(settings.columns.from)
                .arg(settings.columns.to)
                .arg(maxFrequencyClasses));
    return settings;
}

QString progressText(const Progress& progress)
{
    switch (progress.phase) {
    case Progress::Phase::Reading:
        return QStringLiteral("Reading %1 of %2, %3: %4 tokens")
            .arg(progress.file + 1)
            .arg(progress.files)
            .arg(progress.fileName, grouped(progress.tokens));
    case Progress::Phase::Concordance:
        return QStringLiteral("Sorting the concordance of %1 types").arg(grouped(progress.types));
    case Progress::Phase::Model:
        return QStringLiteral("Model of %1 tokens: row %2 of %3")
            .arg(grouped(progress.tokens), grouped(progress.row), grouped(progress.rows));
    case Progress::Phase::Deviations:
        return QStringLiteral("Standard deviations of %1 tokens: row %2 of %3")
            .arg(grouped(progress.tokens), grouped(progress.row), grouped(progress.rows));
    }
    return {};
}

RunEnd runSequence(const RunSettings& settings, RunReport& report, std::stop_token stop)
{
    Checkpoints checkpoints(report, std::move(stop));
    try {
        return runSteps(settings, report, checkpoints);
    } catch (const Cancelled&) {
        return RunEnd::Cancelled;
    }
}

QStringList outputFiles(const RunSettings& settings, RunEnd end)
{
    QStringList outputs;
    if (settings.measure) {
        outputs.append(settings.measuredFile);
        if (settings.concordance)
            outputs.append(settings.concordanceFile);
    }
    if (settings.model && end != RunEnd::DoneWithoutModel) {
        outputs.append(settings.modelFile);
        if (settings.deviations)
            outputs.append(model::deviationFilePath(settings.modelFile));
    }
    return outputs;
}

QString cancelledText()
{
    return QStringLiteral("Stopped: no output file was changed.");
}

} // namespace run
