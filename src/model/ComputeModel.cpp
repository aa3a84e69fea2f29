#include "Model.h"

#include "DeviationRows.h"
#include "ModelFile.h"
#include "ModelRows.h"

#include <thread>

namespace model {

void ComputeModel(const Spectrum& spectrum, const ModelSettings& settings, const QString& modelPath)
{
    const measure::CurveColumns columns{.ttr = settings.ttr, .from = settings.from, .to = settings.to};
    ModelFile file(modelPath, settings.densityText, columns);
    computeModelRows(spectrum, columns, settings.density, file, std::thread::hardware_concurrency());
    file.finish();
}

QString deviationFilePath(const QString& modelPath)
{
    const qsizetype name = modelPath.lastIndexOf(u'/') + 1;
    const qsizetype dot = modelPath.lastIndexOf(u'.');
    // A leading dot belongs to the name, not to an extension.
    const qsizetype end = dot > name ? dot : modelPath.size();
    return modelPath.first(end) + QStringLiteral(".sd") + modelPath.sliced(end);
}

void ComputeModelDeviations(const Spectrum& spectrum, const ModelSettings& settings, const QString& deviationPath)
{
    const measure::CurveColumns columns{.ttr = settings.ttr, .from = settings.from, .to = settings.to};
    ModelFile file(deviationPath, settings.densityText, columns);
    computeDeviationRows(spectrum, columns, settings.density, file, std::thread::hardware_concurrency());
    file.finish();
}

} // namespace model
