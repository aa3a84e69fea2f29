#include "RunSequence.h"

#include "measure/Concordance.h"
#include "textio/IntegerText.h"
#include "measure/MeasurementPass.h"
#include "textio/ErrorMessage.h"
#include "measure/Tokenizers.h"
#include "model/Model.h"

#include <QFileInfo>
#include <QLocale>

#include <cerrno>
#include <optional>

namespace run {
namespace {

using textio::requireInteger;

struct RunSettings
{
    quint32 from = 0;
    quint32 to = 0;
    quint32 density = 0;
    QString densityText;
};

RunSettings readSettings(const RunHost& host)
{
    // The window's validations leave texts that convert, but one of them can still be out of range
    // ("-2147483648" becomes "2147483648"): that ends the run with the conversion's error.
    RunSettings settings;
    settings.from = quint32(requireInteger(host.freqFromText()));
    settings.to = quint32(requireInteger(host.freqToText()));
    settings.densityText = host.densityText();
    settings.density = quint32(requireInteger(settings.densityText));
    return settings;
}

// Writing a file the run reads would destroy it before or while it is read: the run's inputs stay untouched.
void refuseToOverwriteInputs(const QStringList& outputs, const QStringList& inputs)
{
    for (const QString& output : outputs) {
        const QString target = QFileInfo(output).canonicalFilePath();
        if (target.isEmpty())
            continue;
        for (const QString& input : inputs) {
            if (!input.isEmpty() && QFileInfo(input).canonicalFilePath() == target)
                throw textio::ErrorMessage(
                    QStringLiteral("Cannot create file \"%1\". It is an input file of this run.").arg(output));
        }
    }
}

// The files a measuring run writes, in the order it writes them.
QStringList measuringOutputs(const RunHost& host)
{
    QStringList outputs{host.measuredFileName()};
    if (host.concordanceChecked())
        outputs.append(host.concordanceFileName());
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
// input file ended it; the measured file then keeps its two header lines.
std::optional<measure::Slovnik> Zmer(RunHost& host, const RunSettings& settings)
{
    refuseToOverwriteInputs(measuringOutputs(host), host.inputLines());
    const measure::MeasureSettings measureSettings{
        .columns = {.ttr = host.ttrChecked(), .from = settings.from, .to = settings.to},
        .density = settings.density,
        .densityText = settings.densityText,
    };
    measure::MeasurementPass pass(measureSettings, host.measuredFileName());
    const std::optional<QStringList> files = checkInputFiles(host);
    if (!files) {
        pass.finish();
        return std::nullopt;
    }
    measure::readTokens(host.inputFormat(), *files, pass);
    pass.finish();
    if (host.concordanceChecked())
        measure::SaveConcordance(pass.slovnik(), host.concordanceFileName(), QLocale());
    // Only the model step needs the counts; without it the dictionary goes with the pass.
    return host.modelChecked() ? pass.takeSlovnik() : measure::Slovnik();
}

// The model step. Without the run's dictionary the spectrum comes from the concordance file.
void Spocitej(RunHost& host, const RunSettings& settings, std::optional<measure::Slovnik> slovnik)
{
    const QString concordance = host.concordanceFileName();
    // The file must exist even when the spectrum comes from the dictionary and the file is not read.
    if (!QFileInfo::exists(concordance)) {
        host.showMessage(concordance + QStringLiteral(" does not exist. Measure the concordancy of a text first."));
        return;
    }
    if (!slovnik)
        refuseToOverwriteInputs({host.modelFileName()}, {concordance});
    const model::Spectrum spectrum =
        slovnik ? model::BuildSpectrum(std::move(*slovnik)) : model::BuildSpectrum(concordance);
    const model::ModelSettings modelSettings{
        .ttr = host.ttrChecked(),
        .from = settings.from,
        .to = settings.to,
        .density = settings.density,
        .densityText = settings.densityText,
    };
    model::ComputeModel(spectrum, modelSettings, host.modelFileName());
}

} // namespace

bool runSequence(RunHost& host)
{
    const RunSettings settings = readSettings(host);
    std::optional<measure::Slovnik> slovnik;
    if (host.measureChecked()) {
        if (host.inputLines().isEmpty()) {
            host.showMessage(QStringLiteral("Use the \"Load input files\" button to determine input files."));
            return false;
        }
        slovnik = Zmer(host, settings);
        if (!slovnik)
            return false;
    }
    if (host.modelChecked())
        Spocitej(host, settings, std::move(slovnik));
    host.showMessage(QStringLiteral("Done!"));
    return true;
}

} // namespace run
