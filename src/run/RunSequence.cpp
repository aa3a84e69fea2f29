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

using textio::requireInteger;

struct RunSettings
{
    measure::CurveColumns columns;
    quint32 density = 0;
    QString densityText;
};

RunSettings readSettings(const RunHost& host)
{
    // The window's validations leave texts that convert, but one of them can still be out of range
    // ("-2147483648" becomes "2147483648"): that ends the run with the conversion's error.
    RunSettings settings;
    settings.columns = {.ttr = host.ttrChecked(),
                        .from = quint32(requireInteger(host.freqFromText())),
                        .to = quint32(requireInteger(host.freqToText()))};
    settings.densityText = host.densityText();
    settings.density = quint32(requireInteger(settings.densityText));
    if (settings.columns.classCount() > maxFrequencyClasses)
        throw textio::ErrorMessage(
            QStringLiteral("Cannot count the frequency classes from %1 to %2: a run counts at most %3 classes.")
                .arg(settings.columns.from)
                .arg(settings.columns.to)
                .arg(maxFrequencyClasses));
    return settings;
}

// The outputs of a run, complete and waiting to be put in place together.
using StagedOutputs = std::vector<textio::StagedFile>;

// The files a run writes, in the order it writes them.
QStringList plannedOutputs(const RunHost& host)
{
    QStringList outputs;
    if (host.measureChecked()) {
        outputs.append(host.measuredFileName());
        if (host.concordanceChecked())
            outputs.append(host.concordanceFileName());
    }
    if (host.modelChecked())
        outputs.append(host.modelFileName());
    return outputs;
}

// Removes the empty lines of the input list and checks that every other line names a file. A missing file
// ends the run with a message; a folder is reported as a file that cannot be opened.
std::optional<QStringList> checkInputFiles(RunHost& host)
{
    QStringList files = host.inputLines();
    for (int i = 0; i < files.size();) {
        const QString& line = files.at(i);
        if (line.isEmpty()) {
            host.removeInputLine(i);
            files.removeAt(i);
            continue;
        }
        const QFileInfo file(line);
        if (!file.exists()) {
            host.showMessage(
                QStringLiteral("The file \"%1\" does not exist! The procedure will be terminated.").arg(line));
            return std::nullopt;
        }
        if (file.isDir())
            textio::throwCannotOpen(line, EISDIR);
        ++i;
    }
    return files;
}

// The measurement pass. Returns the dictionary for the model step when the run goes on, nullopt when a missing
// input file ended it.
std::optional<measure::Slovnik> Zmer(RunHost& host, const RunSettings& settings, StagedOutputs& outputs)
{
    const measure::MeasureSettings measureSettings{
        .columns = settings.columns,
        .density = settings.density,
        .densityText = settings.densityText,
    };
    measure::MeasurementPass pass(measureSettings, host.measuredFileName());
    const std::optional<QStringList> files = checkInputFiles(host);
    if (!files)
        return std::nullopt;
    measure::readTokens(
        host.inputFormat(), *files, pass, [&host](const QString& text) { host.warn(text); }, host.codePage());
    outputs.push_back(pass.finish());
    if (host.concordanceChecked())
        outputs.push_back(measure::SaveConcordance(pass.slovnik(), host.concordanceFileName(), QLocale()));
    // Only the model step needs the counts; without it the dictionary goes with the pass.
    return host.modelChecked() ? pass.takeSlovnik() : measure::Slovnik();
}

// The model step; false when it had no concordance file to come from. Without the run's dictionary the
// spectrum comes from the concordance file.
bool Spocitej(RunHost& host, const RunSettings& settings, std::optional<measure::Slovnik> slovnik,
              StagedOutputs& outputs)
{
    const QString concordance = host.concordanceFileName();
    // The file must exist even when the spectrum comes from the dictionary and the file is not read; the one
    // this run has just written counts, though it is put in place only at the end.
    const bool writtenByThisRun = slovnik && host.concordanceChecked();
    if (!writtenByThisRun && !QFileInfo::exists(concordance)) {
        host.showMessage(concordance + QStringLiteral(" does not exist. Measure the concordancy of a text first."));
        return false;
    }
    if (!slovnik)
        checkOutputFiles({host.modelFileName()}, {concordance});
    const model::Spectrum spectrum =
        slovnik ? model::BuildSpectrum(std::move(*slovnik))
                : model::BuildSpectrum(
                      concordance, [&host](const QString& text) { host.warn(text); }, host.codePage());
    const model::ModelSettings modelSettings{
        .ttr = settings.columns.ttr,
        .from = settings.columns.from,
        .to = settings.columns.to,
        .density = settings.density,
        .densityText = settings.densityText,
    };
    outputs.push_back(model::ComputeModel(spectrum, modelSettings, host.modelFileName()));
    return true;
}

} // namespace

RunEnd runSequence(RunHost& host)
{
    const RunSettings settings = readSettings(host);
    StagedOutputs outputs;
    std::optional<measure::Slovnik> slovnik;
    if (host.measureChecked()) {
        if (host.inputLines().isEmpty()) {
            host.showMessage(QStringLiteral("Use the \"Load input files\" button to determine input files."));
            return RunEnd::Stopped;
        }
        checkOutputFiles(plannedOutputs(host), host.inputLines());
        slovnik = Zmer(host, settings, outputs);
        if (!slovnik)
            return RunEnd::Stopped;
    }
    const bool modelMissing = host.modelChecked() && !Spocitej(host, settings, std::move(slovnik), outputs);
    for (textio::StagedFile& output : outputs)
        output.commit();
    host.showMessage(QStringLiteral("Done!"));
    return modelMissing ? RunEnd::DoneWithoutModel : RunEnd::Done;
}

} // namespace run
