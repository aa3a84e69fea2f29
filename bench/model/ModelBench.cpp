#include "SampleDistributions.h"
#include "StraightforwardModel.h"

#include "model/DeviationRows.h"
#include "model/Model.h"
#include "model/ModelFile.h"
#include "model/ModelRows.h"

#include <QDir>
#include <QFile>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <thread>

namespace {

const measure::CurveSettings defaultSettings{
    .columns = {.ttr = true, .from = 1, .to = 4}, .density = 10, .densityText = QStringLiteral("10")};

const model::Spectrum& bibleSpectrum()
{
    static const model::Spectrum spectrum = model::corpusSpectrum(QStringLiteral("en-web-bible.utf8.txt"));
    return spectrum;
}

const model::Spectrum& zipfSpectrum()
{
    static const model::Spectrum spectrum = model::zipfSpectrum(10000000);
    return spectrum;
}

// The law r^-1.07 over 19,999,999 ranks: 92,954,397 tokens, 4,707 distinct frequencies.
const model::Spectrum& zipfLaw93M()
{
    static const model::Spectrum spectrum = model::zipfLawSpectrum(1e8, 19999999);
    return spectrum;
}

// The same law over 8,000,000 ranks: 996,121,303 tokens, 14,514 distinct frequencies.
const model::Spectrum& zipfLaw1G()
{
    static const model::Spectrum spectrum = model::zipfLawSpectrum(1e9, 8000000);
    return spectrum;
}

measure::CurveSettings everyTokens(quint32 density)
{
    return {.columns = {.ttr = true, .from = 1, .to = 4}, .density = density, .densityText = QString::number(density)};
}

QString outputPath()
{
    return QDir::temp().filePath(QStringLiteral("vocabrix-model-bench.txt"));
}

void describe(benchmark::State& state, const model::Spectrum& spectrum)
{
    state.counters["tokens"] = double(spectrum.N);
    state.counters["records"] = double(spectrum.records.size());
}

void runModel(benchmark::State& state, const model::Spectrum& spectrum,
              const measure::CurveSettings& settings = defaultSettings)
{
    for (auto _ : state)
        model::ComputeModel(spectrum, settings, outputPath()).commit();
    describe(state, spectrum);
}

// The model and its standard deviations, each in its file: what a run with bands costs.
void runModelWithBands(benchmark::State& state, const model::Spectrum& spectrum,
                       const measure::CurveSettings& settings = defaultSettings)
{
    for (auto _ : state) {
        model::ModelFiles files =
            model::ComputeModelWithDeviations(spectrum, settings, outputPath(), model::deviationFilePath(outputPath()));
        files.model.commit();
        files.deviations.commit();
    }
    describe(state, spectrum);
}

void runStraightforward(benchmark::State& state, const model::Spectrum& spectrum)
{
    const measure::CurveColumns& columns = defaultSettings.columns;
    for (auto _ : state) {
        model::ModelFile file(outputPath(), defaultSettings.densityText, columns);
        model::straightforwardModelRows(spectrum, columns, defaultSettings.density, file);
        file.finish().commit();
    }
    describe(state, spectrum);
}

using ComputeRows = void (*)(const model::Spectrum&, const measure::CurveColumns&, quint64, model::RowSink&, unsigned);

// The computation alone, without formatting and file, on a given number of threads.
class DiscardRows final : public model::RowSink
{
public:
    void addRow(std::span<const double> values) override { benchmark::DoNotOptimize(values.data()); }
};

// The longest stretch of work between two chances to stop, which a run must hear within 200 ms. After three
// seconds the computation is stopped as a run is, by throwing.
class TimedBatches final : public model::RowSink
{
public:
    struct Enough
    {
    };
    using Clock = std::chrono::steady_clock;

    void addRow(std::span<const double> values) override { benchmark::DoNotOptimize(values.data()); }
    void rowsComputed(quint64) override
    {
        const Clock::time_point now = Clock::now();
        m_longest = std::max(m_longest, now - m_last);
        m_last = now;
        if (now - m_start > std::chrono::seconds(3))
            throw Enough{};
    }
    double longestMilliseconds() const { return std::chrono::duration<double, std::milli>(m_longest).count(); }

private:
    Clock::time_point m_start = Clock::now();
    Clock::time_point m_last = m_start;
    Clock::duration m_longest{};
};

void longestBatch(benchmark::State& state, const model::Spectrum& spectrum, quint32 density,
                  ComputeRows compute = model::computeModelRows)
{
    double longest = 0;
    for (auto _ : state) {
        TimedBatches sink;
        try {
            compute(spectrum, defaultSettings.columns, density, sink, std::thread::hardware_concurrency());
        } catch (const TimedBatches::Enough&) {
        }
        longest = std::max(longest, sink.longestMilliseconds());
    }
    state.counters["longest_batch_ms"] = longest;
    describe(state, spectrum);
}

void BM_LongestBatchZipf10M(benchmark::State& state)
{
    longestBatch(state, zipfSpectrum(), 10);
}
// Stepped: some 90 s in all, of which the first three seconds are taken.
void BM_LongestBatchZipfLaw93MEvery10(benchmark::State& state)
{
    longestBatch(state, zipfLaw93M(), 10);
}
void BM_LongestBatchZipfLaw1GEvery100000(benchmark::State& state)
{
    longestBatch(state, zipfLaw1G(), 100000);
}
// The deviations, from the preparation of their tables on.
void BM_LongestBatchDeviationsBible(benchmark::State& state)
{
    longestBatch(state, bibleSpectrum(), 10, model::computeDeviationRows);
}
void BM_LongestBatchDeviationsBibleEvery1(benchmark::State& state)
{
    longestBatch(state, bibleSpectrum(), 1, model::computeDeviationRows);
}
void BM_LongestBatchDeviationsZipfLaw93MEvery10000(benchmark::State& state)
{
    longestBatch(state, zipfLaw93M(), 10000, model::computeDeviationRows);
}
void BM_LongestBatchDeviationsZipfLaw93MEvery10(benchmark::State& state)
{
    longestBatch(state, zipfLaw93M(), 10, model::computeDeviationRows);
}

// The model's rows, or their deviations, alone on state.range(0) threads: on a shared machine the CPU time of
// one thread compares best.
void runRows(benchmark::State& state, ComputeRows compute, const model::Spectrum& spectrum, quint64 density)
{
    DiscardRows sink;
    for (auto _ : state)
        compute(spectrum, defaultSettings.columns, density, sink, unsigned(state.range(0)));
    describe(state, spectrum);
}

void BM_RowsBible(benchmark::State& state)
{
    runRows(state, model::computeModelRows, bibleSpectrum(), 10);
}
void BM_DeviationRowsBible(benchmark::State& state)
{
    runRows(state, model::computeDeviationRows, bibleSpectrum(), 10);
}
void BM_RowsZipfLaw93MEvery10000(benchmark::State& state)
{
    runRows(state, model::computeModelRows, zipfLaw93M(), 10000);
}
void BM_DeviationRowsZipfLaw93MEvery10000(benchmark::State& state)
{
    runRows(state, model::computeDeviationRows, zipfLaw93M(), 10000);
}

void BM_ModelBible(benchmark::State& state)
{
    runModel(state, bibleSpectrum());
}
void BM_StraightforwardBible(benchmark::State& state)
{
    runStraightforward(state, bibleSpectrum());
}
void BM_ModelZipf10M(benchmark::State& state)
{
    runModel(state, zipfSpectrum());
}
void BM_StraightforwardZipf10M(benchmark::State& state)
{
    runStraightforward(state, zipfSpectrum());
}
void BM_ModelZipfLaw93MEvery10000(benchmark::State& state)
{
    runModel(state, zipfLaw93M(), everyTokens(10000));
}
void BM_ModelWithBandsBible(benchmark::State& state)
{
    runModelWithBands(state, bibleSpectrum());
}
void BM_ModelWithBandsZipfLaw93MEvery10000(benchmark::State& state)
{
    runModelWithBands(state, zipfLaw93M(), everyTokens(10000));
}
void BM_ModelZipfLaw1GEvery100000(benchmark::State& state)
{
    runModel(state, zipfLaw1G(), everyTokens(100000));
}

BENCHMARK(BM_RowsBible)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DeviationRowsBible)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RowsZipfLaw93MEvery10000)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DeviationRowsZipfLaw93MEvery10000)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ModelBible)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ModelWithBandsBible)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_StraightforwardBible)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_ModelZipf10M)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_StraightforwardZipf10M)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_ModelZipfLaw93MEvery10000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ModelWithBandsZipfLaw93MEvery10000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ModelZipfLaw1GEvery100000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LongestBatchZipf10M)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_LongestBatchZipfLaw93MEvery10)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_LongestBatchZipfLaw1GEvery100000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_LongestBatchDeviationsBible)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_LongestBatchDeviationsBibleEvery1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_LongestBatchDeviationsZipfLaw93MEvery10000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_LongestBatchDeviationsZipfLaw93MEvery10)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    bibleSpectrum();
    zipfSpectrum();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    QFile::remove(outputPath());
    QFile::remove(model::deviationFilePath(outputPath()));
}
