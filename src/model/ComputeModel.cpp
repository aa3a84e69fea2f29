#include "Model.h"

#include "ModelFile.h"
#include "ModelRows.h"

#include <thread>

namespace model {

textio::StagedFile ComputeModel(const Spectrum& spectrum, const ModelSettings& settings, const QString& modelPath)
{
    const measure::CurveColumns columns{.ttr = settings.ttr, .from = settings.from, .to = settings.to};
    ModelFile file(modelPath, settings.densityText, columns);
    computeModelRows(spectrum, columns, settings.density, file, std::thread::hardware_concurrency());
    return file.finish();
}

} // namespace model
