#include "Model.h"

#include "DeviationRows.h"
#include "ModelFile.h"
#include "ModelRows.h"

#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
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

// Thrown where the deviations hear that they are to stop.
struct DeviationsStopped
{
};

// How far below the model the deviations run.
constexpr int deviationNiceness = 10;

// How often the deviations' progress is passed on once the model is done.
constexpr std::chrono::milliseconds progressInterval{20};

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

ModelFiles ComputeModelWithDeviations(const Spectrum& spectrum, const measure::CurveSettings& settings,
                                      const QString& modelPath, const QString& deviationPath,
                                      const RowsProgress& modelProgress, const RowsProgress& deviationProgress)
{
    // Declared before the thread that uses them, so that they outlive it.
    std::atomic<quint64> deviationRows = 0;
    textio::StagedFile deviations;
    std::exception_ptr failure;
    std::mutex lock;
    std::condition_variable finished;
    bool done = false;
    // Destroyed, as when the model fails or is stopped, it asks the deviations to stop and waits for them; they hear
    // it within milliseconds.
    std::jthread deviationThread([&](std::stop_token stop) {
        // A lower priority, which the threads it starts share: the deviations take up the cores the model leaves
        // idle, between its epochs and while it rechecks and writes, and are the first to wait where both want one.
        setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), deviationNiceness);
        try {
            deviations = writeRows(computeDeviationRows, spectrum, settings, deviationPath, [&](quint64 rows) {
                deviationRows = rows;
                if (stop.stop_requested())
                    throw DeviationsStopped{};
            });
        } catch (const DeviationsStopped&) {
        } catch (...) {
            failure = std::current_exception();
        }
        const std::lock_guard guard(lock);
        done = true;
        finished.notify_one();
    });
    ModelFiles files;
    files.model = writeRows(computeModelRows, spectrum, settings, modelPath, modelProgress);
    const auto report = [&] {
        if (deviationProgress)
            deviationProgress(deviationRows);
    };
    report();
    std::unique_lock wait(lock);
    while (!done) {
        finished.wait_for(wait, progressInterval);
        wait.unlock();
        report();
        wait.lock();
    }
    wait.unlock();
    deviationThread.join();
    if (failure)
        std::rethrow_exception(failure);
    report();
    files.deviations = std::move(deviations);
    return files;
}

} // namespace model
