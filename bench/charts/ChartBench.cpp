// Loads and redraws of both chart windows at the size of a 10^6-token run, on the offscreen platform.
#include "charts/ChartView.h"
#include "charts/CheckList.h"
#include "charts/PlotLibrary.h"
#include "charts/RFRChartForm.h"
#include "charts/TTRChartForm.h"

#include "RecordingDialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QMouseEvent>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cmath>

using namespace charts;
using namespace Qt::StringLiterals;

namespace {

constexpr int tokens = 1'000'000;
constexpr int density = 10;
constexpr int classes = 4;
constexpr int concordanceTypes = 500'000;

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

// Curves shaped like a real text's: types grow like a power of the tokens, class k holds about 1/k^2 of them.
QByteArray curveFile(bool model)
{
    QByteArray bytes = QByteArray::number(density) + "\r\nTTR\t";
    for (int k = 1; k <= classes; ++k)
        bytes += "T" + QByteArray::number(k) + "TR\t";
    bytes += "\r\n";
    for (int x = density; x <= tokens; x += density) {
        const double types = 12 * std::pow(x, 0.62) + (model ? 0 : 30 * std::sin(x / 20000.0));
        for (int column = 0; column <= classes; ++column) {
            const double value = column == 0 ? types : types * 0.6 / (column * column);
            bytes += model ? QByteArray::number(value, 'f', 3) : QByteArray::number(qRound(value));
            bytes += '\t';
        }
        bytes += "\r\n";
    }
    return bytes;
}

QByteArray concordanceFile()
{
    QByteArray bytes = "\xEF\xBB\xBFType\tFrequency\r\n";
    for (int rank = 1; rank <= concordanceTypes; ++rank)
        bytes += "type" + QByteArray::number(rank) + '\t' + QByteArray::number(std::max(1, 80000 / rank)) + "\r\n";
    return bytes;
}

struct Files
{
    Files()
    {
        writeFile(folder.filePath(u"M.txt"_s), curveFile(false));
        writeFile(folder.filePath(u"C.txt"_s), curveFile(true));
        writeFile(folder.filePath(u"Concordance.txt"_s), concordanceFile());
    }

    QTemporaryDir folder;
};

Files& files()
{
    static Files instance;
    return instance;
}

void reopen(QWidget& window)
{
    window.hide();
    window.show();
}

struct TTRWindow
{
    TTRWindow()
    {
        window.resize(964, 627);
        window.EM = window.EC = true;
        window.JmenoZdrojeM = files().folder.filePath(u"M.txt"_s);
        window.JmenoZdrojeC = files().folder.filePath(u"C.txt"_s);
    }

    void load(int times)
    {
        for (int i = 0; i < times; ++i)
            reopen(window);
    }

    void showEverySeries()
    {
        for (CheckList* list : {window.ChMeasured, window.ChModel, window.ChSubtraction})
            list->item(0)->setCheckState(Qt::Checked);
    }

    RecordingDialogs dialogs;
    TTTRChart window{dialogs};
};

struct RFRWindow
{
    RFRWindow()
    {
        window.resize(772, 627);
        window.JmenoZdroje = files().folder.filePath(u"Concordance.txt"_s);
        window.CheckBox1->setChecked(true);
        window.Scale->setCurrentIndex(3);
    }

    RecordingDialogs dialogs;
    TRFRChart window{dialogs};
};

// Drags a zoom rectangle over the middle of the plot.
void zoomIntoTheMiddle(ChartView& chart, double fraction)
{
    QCustomPlot* plot = chart.findChild<QCustomPlot*>();
    const QRect area = plot->axisRect()->rect();
    const QSizeF half = QSizeF(area.size()) * (fraction / 2);
    const QPointF from = QPointF(area.center()) - QPointF(half.width(), half.height());
    const QPointF to = QPointF(area.center()) + QPointF(half.width(), half.height());
    QMouseEvent press(QEvent::MouseButtonPress, from, plot->mapToGlobal(from), Qt::LeftButton, Qt::LeftButton, {});
    QMouseEvent move(QEvent::MouseMove, to, plot->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, {});
    QMouseEvent release(QEvent::MouseButtonRelease, to, plot->mapToGlobal(to), Qt::LeftButton, {}, {});
    QApplication::sendEvent(plot, &press);
    QApplication::sendEvent(plot, &move);
    QApplication::sendEvent(plot, &release);
}

void TTRLoad(benchmark::State& state)
{
    TTRWindow ttr;
    for (auto _ : state) {
        state.PauseTiming();
        ttr.window.BtClear->click();
        ttr.load(int(state.range(0)) - 1);
        state.ResumeTiming();
        ttr.load(1);
    }
    state.counters["series"] = ttr.window.Graf->seriesCount();
    state.counters["points per series"] = ttr.window.Graf->series(0).pointCount();
}
BENCHMARK(TTRLoad)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond)->UseRealTime();

void TTRRedraw(benchmark::State& state)
{
    TTRWindow ttr;
    ttr.load(int(state.range(0)));
    ttr.showEverySeries();
    if (state.range(1) != 0)
        zoomIntoTheMiddle(*ttr.window.Graf, 0.3);
    for (auto _ : state)
        ttr.window.Graf->redraw();
    state.counters["series shown"] = ttr.window.Graf->seriesCount();
}
BENCHMARK(TTRRedraw)
    ->ArgNames({"loads", "zoomed"})
    ->Args({1, 0})
    ->Args({1, 1})
    ->Args({3, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void RFRLoad(benchmark::State& state)
{
    RFRWindow rfr;
    for (auto _ : state)
        reopen(rfr.window);
    state.counters["points"] = rfr.window.Series1->pointCount();
}
BENCHMARK(RFRLoad)->Unit(benchmark::kMillisecond)->UseRealTime();

void RFRRedrawWithLabels(benchmark::State& state)
{
    RFRWindow rfr;
    rfr.window.show();
    if (state.range(0) != 0)
        zoomIntoTheMiddle(*rfr.window.Graf, 0.3);
    for (auto _ : state)
        rfr.window.Graf->redraw();
}
BENCHMARK(RFRRedrawWithLabels)->ArgName("zoomed")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void SavePicture(benchmark::State& state)
{
    TTRWindow ttr;
    ttr.load(1);
    ttr.showEverySeries();
    const QString name = files().folder.filePath(state.range(0) != 0 ? u"chart.png"_s : u"chart.bmp"_s);
    for (auto _ : state)
        ttr.window.Graf->savePicture(name);
}
BENCHMARK(SavePicture)->ArgName("png")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

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
