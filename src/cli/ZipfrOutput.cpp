#include "ZipfrOutput.h"

#include "model/Model.h"
#include "run/OutputFiles.h"
#include "textio/ErrorMessage.h"
#include "zipfr/ZipfrFiles.h"

namespace cli {
namespace {

zipfr::Sources sourcesOf(const run::RunSettings& settings)
{
    const bool concordance = !settings.measure || settings.concordance;
    const bool deviations = settings.model && settings.deviations;
    return {
        .concordance = concordance ? settings.concordanceFile : QString(),
        .measured = settings.measure ? settings.measuredFile : QString(),
        .model = settings.model ? settings.modelFile : QString(),
        .deviations = deviations ? model::deviationFilePath(settings.modelFile) : QString(),
        .codePage = settings.codePage,
    };
}

} // namespace

void checkZipfrFiles(const QString& prefix, const run::RunSettings& settings)
{
    if (!settings.curves.columns.ttr)
        throw textio::ErrorMessage(
            QStringLiteral("Cannot write the files for R without the type count: --zipfr needs the run without "
                           "--no-ttr."));
    const QStringList inputs = settings.measure ? settings.inputLines : QStringList{settings.concordanceFile};
    run::checkOutputFiles(run::outputFiles(settings) + zipfr::outputNames(prefix, sourcesOf(settings)), inputs);
}

bool writeZipfrFiles(const QString& prefix, const run::RunSettings& settings, std::stop_token stop)
{
    std::optional<std::vector<textio::StagedFile>> files = zipfr::writeForR(prefix, sourcesOf(settings), stop);
    if (!files)
        return false;
    for (textio::StagedFile& file : *files)
        file.commit();
    return true;
}

} // namespace cli
