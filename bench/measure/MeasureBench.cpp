#include "measure/Concordance.h"
#include "measure/MeasurementPass.h"
#include "measure/Tokenizers.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

const QString bible = QStringLiteral(VOCABRIX_CORPORA "/en-web-bible.utf8.txt");

quint64 tokenCount(const measure::Slovnik& slovnik)
{
    quint64 tokens = 0;
    for (const auto& entry : slovnik)
        tokens += entry.second.H;
    return tokens;
}

// Reading, decoding, tokenizing, counting and writing the rows of the measured file, as a run does it.
void measurePass(benchmark::State& state)
{
    const QTemporaryDir folder;
    const measure::CurveSettings settings{.columns = {.ttr = true, .from = 1, .to = 4}, .density = 10};
    quint64 tokens = 0;
    for (auto _ : state) {
        measure::MeasurementPass pass(settings, folder.filePath(QStringLiteral("M.txt")));
        measure::ReadStandardText({bible}, pass);
        pass.finish().commit();
        tokens += tokenCount(pass.slovnik());
    }
    state.counters["tokens/s"] = benchmark::Counter(double(tokens), benchmark::Counter::kIsRate);
}
BENCHMARK(measurePass)->Unit(benchmark::kMillisecond);

measure::Slovnik manyTypes(int count)
{
    measure::Slovnik slovnik;
    for (int i = 0; i < count; ++i) {
        // Mixed case and accented letters, so the collation has real work to do.
        const QString type = QString::number(quint64(i) * 2654435761u % 1000000007u, 36).replace(u'a', u'Á');
        slovnik[type.toStdU16String()].H = quint32(i % 97 + 1);
    }
    return slovnik;
}

void saveConcordance(benchmark::State& state)
{
    const QTemporaryDir folder;
    const measure::Slovnik slovnik = manyTypes(int(state.range(0)));
    for (auto _ : state)
        measure::SaveConcordance(slovnik, folder.filePath(QStringLiteral("Concordance.txt")), QLocale(QLocale::English))
            .commit();
    state.counters["types/s"] =
        benchmark::Counter(double(slovnik.size()) * double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(saveConcordance)->Arg(500000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
