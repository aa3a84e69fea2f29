// Loads and redraws of both chart windows on the offscreen platform. The type-token files are as large as a run
// of 37 million tokens at density 10 makes them: 3.7 million rows of 5 columns each, so one load holds 15 series,
// and with the model's standard deviations 10 bands. The files are made in a temporary folder when the first
// benchmark needs them.
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
#include <QPushButton>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <charconv>
#include <cmath>
#include <memory>

using namespace charts;
using namespace Qt::StringLiterals;

namespace {

constexpr int rows = 3'700'000;
constexpr int density = 10;
constexpr int classes = 4;
constexpr int concordanceTypes = 500'000;

// Appends what `write` puts into a buffer, a megabyte at a time.
class FileOut
{
public:
    explicit FileOut(const QString& path)
        : m_file(path)
    {
        if (!m_file.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", qPrintable(path));
    }
    ~FileOut() { flush(); }

    void add(std::string_view text)
    {
        m_buffer.append(text);
        if (m_buffer.size() > (1 << 20))
            flush();
    }
    void addNumber(quint64 value)
    {
        char digits[24];
        add(std::string_view(digits, size_t(std::to_chars(digits, digits + sizeof digits, value).ptr - digits)));
    }

private:
    void flush()
    {
        if (m_file.write(m_buffer.data(), qint64(m_buffer.size())) != qint64(m_buffer.size()))
            qFatal("cannot write %s", qPrintable(m_file.fileName()));
        m_buffer.clear();
    }

    QFile m_file;
    std::string m_buffer;
};

enum class FileKind
{
    Measured,
    Model,
    Deviations,
};

// Curves shaped like a real text's: types grow like a power of the tokens, class k holds about 1/k^2 of them;
// the measured ones wander around the model, by about its standard deviation.
void writeCurveFile(const QString& path, FileKind kind)
{
    const bool model = kind != FileKind::Measured;
    FileOut out(path);
    out.addNumber(density);
    out.add("\r\nTTR\t");
    for (int k = 1; k <= classes; ++k) {
        out.add("T");
        out.addNumber(quint64(k));
        out.add("TR\t");
    }
    out.add("\r\n");
    for (int row = 1; row <= rows; ++row) {
        const double tokens = double(row) * density;
        const double types = 12 * std::pow(tokens, 0.62) + (model ? 0 : 30 * std::sin(tokens / 200000.0));
        for (int column = 0; column <= classes; ++column) {
            const double mean = column == 0 ? types : types * 0.6 / (column * column);
            const double value = kind == FileKind::Deviations ? 0.3 * std::sqrt(mean) : mean;
            if (model) {
                const auto thousandths = quint64(std::llround(value * 1000));
                out.addNumber(thousandths / 1000);
                out.add(".");
                const quint64 fraction = thousandths % 1000;
                out.add(fraction < 10 ? "00" : fraction < 100 ? "0" : "");
                out.addNumber(fraction);
            } else {
                out.addNumber(quint64(std::llround(value)));
            }
            out.add("\t");
        }
        out.add("\r\n");
    }
}

void writeConcordance(const QString& path)
{
    FileOut out(path);
    out.add("\xEF\xBB\xBFType\tFrequency\r\n");
    for (int rank = 1; rank <= concordanceTypes; ++rank) {
        out.add("type");
        out.addNumber(quint64(rank));
        out.add("\t");
        out.addNumber(quint64(std::max(1, 80000 / rank)));
        out.add("\r\n");
    }
}

struct Files
{
    Files()
    {
        writeCurveFile(folder.filePath(u"M.txt"_s), FileKind::Measured);
        writeCurveFile(folder.filePath(u"C.txt"_s), FileKind::Model);
        writeCurveFile(folder.filePath(u"C.sd.txt"_s), FileKind::Deviations);
        // The same model without a companion, as older runs wrote it.
        if (!QFile::link(folder.filePath(u"C.txt"_s), folder.filePath(u"NoBands.txt"_s)))
            qFatal("cannot link the model file");
        writeConcordance(folder.filePath(u"Concordance.txt"_s));
    }

    QTemporaryDir folder;
};

Files& files()
{
    static Files instance;
    return instance;
}

double peakMegabytes()
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024;
    }
    return 0;
}

QCustomPlot& plotOf(ChartView& chart)
{
    return *chart.findChild<QCustomPlot*>();
}

void sendMouse(QCustomPlot& plot, QEvent::Type type, Qt::MouseButton button, QPointF at)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent event(type, at, plot.mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : button, held, {});
    QApplication::sendEvent(&plot, &event);
}

void drag(ChartView& chart, Qt::MouseButton button, QPointF from, QPointF to)
{
    QCustomPlot& plot = plotOf(chart);
    sendMouse(plot, QEvent::MouseButtonPress, button, from);
    sendMouse(plot, QEvent::MouseMove, button, to);
    sendMouse(plot, QEvent::MouseButtonRelease, button, to);
    // A scroll draws from the event loop.
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

// Zooms into the middle twentieth of the view, `times` times: 0 is the whole view, 4 shows about 20 rows.
void zoomIn(ChartView& chart, int times)
{
    for (int i = 0; i < times; ++i) {
        const QRectF area = plotOf(chart).axisRect()->rect();
        const QPointF half(area.width() / 40, area.height() / 2.5);
        drag(chart, Qt::LeftButton, area.center() - half, area.center() + half);
    }
}

void restoreWholeView(ChartView& chart)
{
    const QPointF centre = plotOf(chart).axisRect()->rect().center();
    drag(chart, Qt::LeftButton, centre, centre - QPointF(50, 50));
}

struct TTRWindow
{
    explicit TTRWindow(bool bands = true)
    {
        window.resize(964, 627);
        window.EM = window.EC = true;
        window.JmenoZdrojeM = files().folder.filePath(u"M.txt"_s);
        window.JmenoZdrojeC = files().folder.filePath(bands ? u"C.txt"_s : u"NoBands.txt"_s);
    }

    void load(int times)
    {
        for (int i = 0; i < times; ++i) {
            window.hide();
            window.show();
        }
    }

    void showEverySeries()
    {
        for (CheckList* list : {window.ChMeasured, window.ChModel, window.ChSubtraction})
            list->item(0)->setCheckState(Qt::Checked);
    }

    RecordingDialogs dialogs;
    TTTRChart window{dialogs};
};

void TTRLoad(benchmark::State& state)
{
    TTRWindow ttr(state.range(1) != 0);
    for (auto _ : state) {
        state.PauseTiming();
        ttr.window.BtClear->click();
        ttr.load(int(state.range(0)) - 1);
        state.ResumeTiming();
        ttr.load(1);
    }
    state.counters["series"] = ttr.window.Graf->seriesCount();
    state.counters["points per series"] = ttr.window.Graf->series(0).pointCount();
    state.counters["peak MB"] = peakMegabytes();
}
BENCHMARK(TTRLoad)
    ->ArgNames({"loads", "bands"})
    ->ArgsProduct({{1, 2}, {0, 1}})
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

enum Action
{
    Click,
    Zoom,
    Scroll,
    Restore,
};

// Loaded once for all the redraw benchmarks, and closed before the application ends.
std::unique_ptr<TTRWindow>& loadedWindow()
{
    static std::unique_ptr<TTRWindow> window;
    return window;
}

// One load of 15 series, all shown, with bands when `range(2)` is 1; the view zoomed in `range(1)` times before
// each action.
void TTRRedraw(benchmark::State& state)
{
    if (!loadedWindow()) {
        loadedWindow() = std::make_unique<TTRWindow>();
        loadedWindow()->load(1);
        loadedWindow()->showEverySeries();
    }
    TTRWindow& ttr = *loadedWindow();
    ChartView& chart = *ttr.window.Graf;
    if (ttr.window.ChBands->isChecked() != (state.range(2) != 0))
        ttr.window.ChBands->click();
    const auto action = Action(state.range(0));
    const int zooms = int(state.range(1));
    restoreWholeView(chart);
    zoomIn(chart, action == Zoom ? zooms - 1 : zooms);
    const QPointF centre = plotOf(chart).axisRect()->rect().center();
    bool scrollRight = true;
    for (auto _ : state) {
        switch (action) {
        case Click: {
            QListWidgetItem* item = ttr.window.ChMeasured->item(1);
            item->setCheckState(item->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
            break;
        }
        case Zoom:
            zoomIn(chart, 1);
            state.PauseTiming();
            restoreWholeView(chart);
            zoomIn(chart, zooms - 1);
            state.ResumeTiming();
            break;
        case Scroll:
            drag(chart, Qt::RightButton, centre, centre + QPointF(scrollRight ? 40 : -40, 0));
            scrollRight = !scrollRight;
            break;
        case Restore:
            restoreWholeView(chart);
            state.PauseTiming();
            zoomIn(chart, zooms);
            state.ResumeTiming();
            break;
        }
    }
}
BENCHMARK(TTRRedraw)
    ->ArgNames({"action", "zooms", "bands"})
    ->ArgsProduct({{Click, Scroll}, {0, 1, 2, 4}, {0, 1}})
    ->ArgsProduct({{Zoom, Restore}, {1, 2, 4}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

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

void RFRLoad(benchmark::State& state)
{
    RFRWindow rfr;
    for (auto _ : state) {
        rfr.window.hide();
        rfr.window.show();
    }
    state.counters["points"] = rfr.window.Series1->pointCount();
}
BENCHMARK(RFRLoad)->Unit(benchmark::kMillisecond)->UseRealTime();

void RFRRedrawWithLabels(benchmark::State& state)
{
    RFRWindow rfr;
    rfr.window.show();
    zoomIn(*rfr.window.Graf, int(state.range(0)));
    for (auto _ : state)
        rfr.window.Graf->redraw();
}
BENCHMARK(RFRRedrawWithLabels)->ArgName("zooms")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void SavePicture(benchmark::State& state)
{
    TTRWindow ttr;
    ttr.load(1);
    ttr.showEverySeries();
    const QString name = files().folder.filePath(state.range(0) != 0 ? u"chart.pdf"_s : u"chart.png"_s);
    for (auto _ : state)
        ttr.window.Graf->savePicture(name);
}
BENCHMARK(SavePicture)->ArgName("pdf")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    loadedWindow().reset();
    benchmark::Shutdown();
    return 0;
}
