#include "Model.h"

#include "DeviationRows.h"
#include "ModelFile.h"
#include "ModelRows.h"

#include <thread>

namespace model {
namespace {

class ReportingFile final : public RowSink
{
public:
    ReportingFile(ModelFile& file, const RowsProgress& progress)
        : m_file(file),
          m_progress(progress)
    {}

    void addRow(std::span<const double> values) override { m_file.addRow(values); }
    void rowsComputed(quint64 rows) override
    {
        if (m_progress)
            m_progress(rows);
    }

private:
    ModelFile& m_file;
    const RowsProgress& m_progress;
};

using ComputeRows = void (*)(const Spectrum&, const measure::CurveColumns&, quint64, RowSink&, unsigned);

textio::StagedFile writeRows(ComputeRows computeRows, const Spectrum& spectrum, const measure::CurveSettings& settings,
                             const QString& path, const RowsProgress& progress)
{
    ModelFile file(path, settings.densityText, settings.columns);
    ReportingFile sink(file, progress);
    computeRows(spectrum, settings.columns, settings.density, sink, std::thread::hardware_concurrency());
    return file.finish();
}

} // namespace

textio::StagedFile ComputeModel(const Spectrum& spectrum, const measure::CurveSettings& settings,
                                const QString& modelPath, const RowsProgress& progress)
{
    return writeRows(computeModelRows, spectrum, settings, modelPath, progress);
}

QString deviationFilePath(const QString& modelPath)
{
    const qsizetype name = modelPath.lastIndexOf(u'/') + 1;
    const qsizetype dot = modelPath.lastIndexOf(u'.');
    // A leading dot belongs to the name, not to an extension.
    const qsizetype end = dot > name ? dot : modelPath.size();
    return modelPath.first(end) + QStringLiteral(".sd") + modelPath.sliced(end);
}

textio::StagedFile ComputeModelDeviations(const Spectrum& spectrum, const measure::CurveSettings& settings,
                                          const QString& deviationPath, const RowsProgress& progress)
{
    return writeRows(computeDeviationRows, spectrum, settings, deviationPath, progress);
}

} // namespace model
