#include "charts/ChartView.h"
#include "charts/PlotLibrary.h"
#include "textio/ErrorMessage.h"

#include "GuiTestMain.h"
#include "TestFiles.h"
#include "WorkingDirectory.h"

#include <QElapsedTimer>
#include <QImage>
#include <QPrinter>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace charts;
using namespace Qt::StringLiterals;

namespace {

// A shown chart of one series on the diagonal from (0, 0) to (100, 100).
struct ShownChart
{
    ShownChart()
    {
        chart.resize(600, 400);
        ChartSeries& diagonal = chart.addSeries();
        for (int i = 0; i <= 100; ++i)
            diagonal.addPoint(i, i);
        chart.show();
        if (!QTest::qWaitForWindowExposed(&chart))
            qFatal("chart not exposed");
        chart.redraw();
    }

    QCustomPlot& plot() { return *chart.findChild<QCustomPlot*>(); }
    QPoint pixel(double x, double y)
    {
        return QPoint(qRound(plot().xAxis->coordToPixel(x)), qRound(plot().yAxis->coordToPixel(y)));
    }
    void drag(Qt::MouseButton button, QPoint from, QPoint to)
    {
        QTest::mousePress(&plot(), button, {}, from);
        QTest::mouseMove(&plot(), (from + to) / 2);
        QTest::mouseMove(&plot(), to);
        QTest::mouseRelease(&plot(), button, {}, to);
    }

    ChartView chart;
};

void compareRange(const AxisRange& actual, double lower, double upper, double tolerance)
{
    QVERIFY2(qAbs(actual.lower - lower) <= tolerance && qAbs(actual.upper - upper) <= tolerance,
             qPrintable(u"range %1..%2, expected %3..%4"_s.arg(actual.lower).arg(actual.upper).arg(lower).arg(upper)));
}

} // namespace

class ChartViewTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void dragTowardsLowerRightZoomsAndTowardsUpperLeftRestores()
    {
        ShownChart shown;
        const AxisRange wholeX = shown.chart.range(ChartAxis::Bottom);
        const AxisRange wholeY = shown.chart.range(ChartAxis::Left);
        QVERIFY(wholeX.lower < 0 && wholeX.upper > 100);

        shown.drag(Qt::LeftButton, shown.pixel(20, 80), shown.pixel(60, 40));
        compareRange(shown.chart.range(ChartAxis::Bottom), 20, 60, 0.5);
        compareRange(shown.chart.range(ChartAxis::Left), 40, 80, 0.5);
        QVERIFY(shown.chart.isViewChosenByUser());

        // A redraw, as after switching a series, keeps what the user chose.
        shown.chart.redraw();
        compareRange(shown.chart.range(ChartAxis::Bottom), 20, 60, 0.5);

        // Too small to mean anything.
        shown.drag(Qt::LeftButton, QPoint(300, 200), QPoint(302, 203));
        compareRange(shown.chart.range(ChartAxis::Bottom), 20, 60, 0.5);

        shown.drag(Qt::LeftButton, QPoint(300, 200), QPoint(200, 100));
        compareRange(shown.chart.range(ChartAxis::Bottom), wholeX.lower, wholeX.upper, 1e-9);
        compareRange(shown.chart.range(ChartAxis::Left), wholeY.lower, wholeY.upper, 1e-9);
        QVERIFY(!shown.chart.isViewChosenByUser());
    }

    void rightDragScrolls()
    {
        ShownChart shown;
        const AxisRange x = shown.chart.range(ChartAxis::Bottom);
        const AxisRange y = shown.chart.range(ChartAxis::Left);
        shown.drag(Qt::RightButton, shown.pixel(50, 50), shown.pixel(40, 30));
        compareRange(shown.chart.range(ChartAxis::Bottom), x.lower + 10, x.upper + 10, 0.5);
        compareRange(shown.chart.range(ChartAxis::Left), y.lower + 20, y.upper + 20, 0.5);
        QVERIFY(shown.chart.isViewChosenByUser());

        // On a logarithmic axis a drag multiplies the range.
        shown.chart.setLogarithmic(ChartAxis::Bottom, true);
        shown.chart.redraw();
        const AxisRange logX = shown.chart.range(ChartAxis::Bottom);
        shown.drag(Qt::RightButton, shown.pixel(10, 50), shown.pixel(2, 50));
        QCOMPARE_LT(qAbs(shown.chart.range(ChartAxis::Bottom).lower / logX.lower - 5), 0.3);
        QCOMPARE_LT(qAbs(shown.chart.range(ChartAxis::Bottom).upper / logX.upper - 5), 0.3);
    }

    void viewFitsTheActiveSeriesOnly()
    {
        ShownChart shown;
        ChartSeries& wide = shown.chart.addSeries();
        wide.addPoint(1000, 5);
        wide.setActive(false);
        shown.chart.redraw();
        QCOMPARE_LT(shown.chart.range(ChartAxis::Bottom).upper, 110);

        wide.setActive(true);
        shown.chart.redraw();
        QCOMPARE_GT(shown.chart.range(ChartAxis::Bottom).upper, 1000);
    }

    void labelsFollowTheirPointsWhateverTheOrderOfAdding()
    {
        ChartView chart;
        ChartSeries& series = chart.addSeries();
        series.addPoint(4, 1);
        series.addPoint(3, 1, u"c"_s);
        series.addPoint(1, 1, u"a"_s);
        series.addPoint(2, 1, u"b"_s);
        series.addPoint(5, 1, u"e"_s);
        QCOMPARE(series.pointCount(), 5);
        QStringList labels;
        for (int i = 0; i < series.pointCount(); ++i)
            labels.append(series.label(i));
        QCOMPARE(labels, (QStringList{u"a"_s, u"b"_s, u"c"_s, QString(), u"e"_s}));
        QCOMPARE(series.points().front(), (CurvePoint{1, 1}));

        ChartSeries& labelledFromTheStart = chart.addSeries();
        labelledFromTheStart.addPoint(1, 1, u"first"_s);
        labelledFromTheStart.addPoint(2, 1, u"second"_s);
        QCOMPARE(labelledFromTheStart.label(0), u"first"_s);
        QCOMPARE(labelledFromTheStart.label(1), u"second"_s);
    }

    void savedPictureFormatFollowsTheName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("magic");
        QTest::newRow("bmp") << u"chart.bmp"_s << QByteArray("BM");
        QTest::newRow("png") << u"chart.png"_s << QByteArray("\x89PNG");
        QTest::newRow("png upper case") << u"chart.PNG"_s << QByteArray("\x89PNG");
        QTest::newRow("jpg") << u"chart.jpg"_s << QByteArray("\xFF\xD8\xFF");
        QTest::newRow("jpeg") << u"chart.Jpeg"_s << QByteArray("\xFF\xD8\xFF");
        QTest::newRow("pdf") << u"chart.pdf"_s << QByteArray("%PDF");
        QTest::newRow("other extension") << u"chart.gif"_s << QByteArray("BM");
        QTest::newRow("no extension") << u"chart"_s << QByteArray("BM");
    }

    void savedPictureFormatFollowsTheName()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, magic);
        ScopedTemporaryWorkingDirectory folder;
        ShownChart shown;
        shown.chart.savePicture(name);
        QCOMPARE(readTestFile(name).left(magic.size()), magic);
    }

    void savedBitmapShowsTheChartAsDisplayed()
    {
        ScopedTemporaryWorkingDirectory folder;
        ShownChart shown;
        shown.chart.savePicture(u"chart.bmp"_s);
        const QImage picture(u"chart.bmp"_s, "BMP");
        QCOMPARE(picture.size(), shown.plot().size());
        QCOMPARE(picture.pixelColor(shown.pixel(50, 50)), shown.chart.series(0).colour());
    }

    void savingWhereNoFileCanBeCreatedFails()
    {
        ScopedTemporaryWorkingDirectory folder;
        ShownChart shown;
        QDir().mkdir(u"folder"_s);
        for (const auto& [name, reason] : {std::pair{u"missing/chart.bmp"_s, u"No such file or directory"_s},
                                           std::pair{u"folder"_s, u"Is a directory"_s}}) {
            QString message;
            try {
                shown.chart.savePicture(name);
            } catch (const textio::ErrorMessage& error) {
                message = error.text();
            }
            QCOMPARE(message, u"Cannot create file \"%1\". %2"_s.arg(name, reason));
        }
    }

    void printsOneLandscapePage()
    {
        ScopedTemporaryWorkingDirectory folder;
        ShownChart shown;
        QPrinter printer;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(folder.filePath(u"chart.pdf"_s));
        printer.setPageOrientation(QPageLayout::Portrait);
        shown.chart.print(printer);

        const QByteArray pdf = readTestFile(folder.filePath(u"chart.pdf"_s));
        QVERIFY(pdf.startsWith("%PDF"));
        const QRegularExpressionMatch box =
            QRegularExpression(u"/MediaBox \\[0 0 ([0-9.]+) ([0-9.]+)\\]"_s).match(QString::fromLatin1(pdf));
        QVERIFY(box.hasMatch());
        QCOMPARE_GT(box.captured(1).toDouble(), box.captured(2).toDouble());
        QCOMPARE(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r"), 1);
    }

    void redrawsWhileLoadingAtMostEvery100Milliseconds()
    {
        ShownChart shown;
        ChartSeries& series = shown.chart.addSeries();
        QSignalSpy redraws(&shown.plot(), &QCustomPlot::afterReplot);
        QElapsedTimer loading;
        loading.start();
        for (int i = 0; loading.elapsed() < 350; ++i) {
            series.addPoint(i, i % 100);
            shown.chart.redrawWhileLoading();
        }
        QVERIFY(!redraws.isEmpty());
        QCOMPARE_LE(redraws.size(), loading.elapsed() / 100 + 2);
    }
};

VOCABRIX_GUI_TEST_MAIN(ChartViewTest)
#include "ChartViewTest.moc"
