// A whole run of the Bible forty times (198 MB), as "Go!" runs it on a thread of the window's and as the command
// line runs it on the calling thread: the thread, the progress and the stop checks may cost at most 5 %.

#include "RecordingDialogs.h"

#include "app/SecondaryWindows.h"
#include "app/TTRJM.h"
#include "run/RunSequence.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>

namespace {

class NoWindows final : public app::SecondaryWindows
{
public:
    void openRfrChart(const QString&) override {}
    void setTtrChartFilesExist(bool, bool) override {}
    void openTtrChart(const QString&, const QString&, const QString&, const textio::CodePage&) override {}
    void openInfo() override {}
};

class SilentReport final : public run::RunReport
{
public:
    void showMessage(const QString&) override {}
    void warn(const QString&) override {}
    void removeInputLine(int) override {}
    void progress(const run::Progress&) override {}
};

// The outputs go to a folder of their own, the long text beside them.
const QTemporaryDir& folder()
{
    static const QTemporaryDir made = [] {
        QTemporaryDir dir;
        QFile bible(QStringLiteral(VOCABRIX_CORPORA "/en-web-bible.utf8.txt"));
        QFile text(dir.filePath(QStringLiteral("bible-x40.txt")));
        if (bible.open(QIODevice::ReadOnly) && text.open(QIODevice::WriteOnly))
            text.write(bible.readAll().repeated(40));
        QDir::setCurrent(dir.path());
        return dir;
    }();
    return made;
}

QString longText()
{
    return folder().filePath(QStringLiteral("bible-x40.txt"));
}

// 0: the measured file alone; 1: everything, as the window starts.
void BM_RunOnTheCallingThread(benchmark::State& state)
{
    run::RunSettings settings;
    settings.inputLines = {longText()};
    settings.concordance = settings.model = state.range(0) == 1;
    SilentReport report;
    for (auto _ : state)
        run::runSequence(settings, report);
}

void BM_RunInTheWindow(benchmark::State& state)
{
    RecordingDialogs dialogs;
    NoWindows windows;
    app::THlavni window(dialogs, windows);
    window.JmenaVstupu->setPlainText(longText());
    window.ChRFR->setChecked(state.range(0) == 1);
    window.ChComputeModel->setChecked(state.range(0) == 1);
    for (auto _ : state) {
        window.Jed->click();
        if (!QTest::qWaitFor([&window] { return !window.isRunning(); }, 600000))
            state.SkipWithError("the run did not end");
    }
}

BENCHMARK(BM_RunOnTheCallingThread)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_RunInTheWindow)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
