#include "SampleDistributions.h"
#include "StraightforwardModel.h"

#include "model/Model.h"
#include "model/ModelFile.h"
#include "model/ModelRows.h"

#include <QDir>
#include <QFile>

#include <benchmark/benchmark.h>

namespace {

const model::ModelSettings defaultSettings{
    .ttr = true, .from = 1, .to = 4, .density = 10, .densityText = QStringLiteral("10")};

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

QString outputPath()
{
    return QDir::temp().filePath(QStringLiteral("vocabrix-model-bench.txt"));
}

void describe(benchmark::State& state, const model::Spectrum& spectrum)
{
    state.counters["tokens"] = double(spectrum.N);
    state.counters["records"] = double(spectrum.records.size());
}

void runModel(benchmark::State& state, const model::Spectrum& spectrum)
{
    for (auto _ : state)
        model::ComputeModel(spectrum, defaultSettings, outputPath()).commit();
    describe(state, spectrum);
}

void runStraightforward(benchmark::State& state, const model::Spectrum& spectrum)
{
    const measure::CurveColumns columns{
        .ttr = defaultSettings.ttr, .from = defaultSettings.from, .to = defaultSettings.to};
    for (auto _ : state) {
        model::ModelFile file(outputPath(), defaultSettings.densityText, columns);
        model::straightforwardModelRows(spectrum, columns, defaultSettings.density, file);
        file.finish().commit();
    }
    describe(state, spectrum);
}

// The computation alone, without formatting and file, on a given number of threads.
class DiscardRows final : public model::RowSink
{
public:
    void addRow(std::span<const double> values) override { benchmark::DoNotOptimize(values.data()); }
};

void BM_RowsBible(benchmark::State& state)
{
    const measure::CurveColumns columns{.ttr = true, .from = 1, .to = 4};
    DiscardRows sink;
    for (auto _ : state)
        model::computeModelRows(bibleSpectrum(), columns, 10, sink, unsigned(state.range(0)));
    describe(state, bibleSpectrum());
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

BENCHMARK(BM_RowsBible)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ModelBible)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_StraightforwardBible)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_ModelZipf10M)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_StraightforwardZipf10M)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    bibleSpectrum();
    zipfSpectrum();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    QFile::remove(outputPath());
}
