#include "charts/AxisTicker.h"
#include "charts/ChartView.h"
#include "charts/PlotLibrary.h"
#include "textio/ErrorMessage.h"

#include "ChartDrag.h"
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

// A shown chart of one series on the diagonal from (1, 1) to (100, 100).
struct ShownChart
{
    ShownChart()
    {
        chart.resize(600, 400);
        ChartSeries& diagonal = chart.addSeries();
        for (int i = 1; i <= 100; ++i)
            diagonal.addPoint(i);
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
    void drag(Qt::MouseButton button, QPoint from, QPoint to) { dragOnChart(chart, button, from, to); }

    ChartView chart;
};

// What a picture of a chart with a grey plot shows: where the plot is, how tall the tick labels left of it
// are, and how much orange ink the axis titles left and below it leave.
struct PictureMeasures
{
    QRect plot;
    int tickLabelHeight = 0;
    int leftTitleInk = 0;
    int bottomTitleInk = 0;
};

PictureMeasures measurePicture(const QImage& picture)
{
    PictureMeasures measures;
    const QImage image = picture.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) == qRgb(238, 238, 238))
                measures.plot |= QRect(x, y, 1, 1);
        }
    }
    const auto isOrange = [](QRgb c) {
        return qRed(c) > 200 && qGreen(c) > 80 && qGreen(c) < 180 && qBlue(c) < 90;
    };
    // Left of the plot's frame stand the tick labels (dark) and the axis title (orange), below it the other title.
    const QRect left(0, measures.plot.top(), measures.plot.left() - std::max(3, measures.plot.height() / 100),
                     measures.plot.height());
    const QRect below(measures.plot.left(), measures.plot.bottom() + 1, measures.plot.width(),
                      image.height() - measures.plot.bottom() - 1);
    int run = 0;
    for (int y = 0; y < image.height(); ++y) {
        bool ink = false;
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            ink = ink || (left.contains(x, y) && qGray(c) < 110);
            measures.leftTitleInk += left.contains(x, y) && isOrange(c) ? 1 : 0;
            measures.bottomTitleInk += below.contains(x, y) && isOrange(c) ? 1 : 0;
        }
        run = ink ? run + 1 : 0;
        measures.tickLabelHeight = std::max(measures.tickLabelHeight, run);
    }
    return measures;
}

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
        QVERIFY(wholeX.lower < 1 && wholeX.upper > 100);

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
        Curve far(1000);
        far.append(5);
        wide.setCurve(std::move(far));
        wide.setActive(false);
        shown.chart.redraw();
        QCOMPARE_LT(shown.chart.range(ChartAxis::Bottom).upper, 110);

        wide.setActive(true);
        shown.chart.redraw();
        QCOMPARE_GT(shown.chart.range(ChartAxis::Bottom).upper, 1000);
    }

    void labelsBelongToTheirPoints()
    {
        ChartView chart;
        ChartSeries& series = chart.addSeries();
        series.addPoint(4);
        series.addPoint(3, u"b"_s);
        series.addPoint(1, u"c"_s);
        QCOMPARE(series.pointCount(), 3);
        QCOMPARE((QStringList{series.label(0), series.label(1), series.label(2)}),
                 (QStringList{QString(), u"b"_s, u"c"_s}));
        series.clear();
        series.addPoint(2);
        QCOMPARE(series.label(0), QString());
    }

    void labelsStayInsideThePlot()
    {
        ShownChart shown;
        ChartSeries& labelled = shown.chart.addSeries();
        labelled.setCurve(Curve(10));
        QFont font;
        font.setPixelSize(19);
        labelled.setLabelStyle(font, Qt::red, Qt::red);
        labelled.addPoint(100, u"a label that would stand above the plot"_s);
        labelled.addPoint(50, u"fits"_s);
        labelled.setLabelsVisible(true);
        shown.chart.redraw();

        const QImage image = shown.chart.image().convertToFormat(QImage::Format_RGB32);
        const QRect plot = shown.plot().axisRect()->rect();
        int inside = 0;
        int outside = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (image.pixel(x, y) == qRgb(255, 0, 0))
                    ++(plot.contains(x, y) ? inside : outside);
            }
        }
        QCOMPARE_GT(inside, 0);
        QCOMPARE(outside, 0);
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
        QTest::newRow("svg") << u"chart.Svg"_s << QByteArray("<?xml");
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

    void savingWhereNoFileCanBeWrittenFails()
    {
        ScopedTemporaryWorkingDirectory folder;
        ShownChart shown;
        QDir().mkdir(u"folder"_s);
        const QStringList expected{
            u"Cannot create file \"missing/chart.bmp\". No such file or directory"_s,
            u"Cannot create file \"folder\". Is a directory"_s,
            u"Cannot write file \"/dev/full\". No space left on device"_s,
        };
        QStringList messages;
        for (const QString& name : {u"missing/chart.bmp"_s, u"folder"_s, u"/dev/full"_s}) {
            try {
                shown.chart.savePicture(name);
            } catch (const textio::ErrorMessage& error) {
                messages.append(error.text());
            }
        }
        QCOMPARE(messages, expected);
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

    void printedPageKeepsTheProportionsOfTheScreen()
    {
        ShownChart shown;
        QFont titleFont;
        titleFont.setPixelSize(13);
        shown.chart.setPlotBackground(QColor(238, 238, 238));
        shown.chart.setAxisTitle(ChartAxis::Bottom, u"Number of tokens"_s, titleFont, QColor(255, 128, 0));
        shown.chart.setAxisTitle(ChartAxis::Left, u"Number of types"_s, titleFont, QColor(255, 128, 0));
        shown.chart.redraw();
        const PictureMeasures screen = measurePicture(shown.chart.image());

        // A landscape A4 sheet at 300 dots per inch, as the painter of a printer sees it.
        QImage sheet(3508, 2480, QImage::Format_RGB32);
        sheet.setDotsPerMeterX(11811);
        sheet.setDotsPerMeterY(11811);
        sheet.fill(Qt::white);
        shown.chart.printOn(sheet, sheet.rect());
        const PictureMeasures paper = measurePicture(sheet);

        QCOMPARE_GT(paper.plot.width(), sheet.width() * 0.6);
        const double screenShare = double(screen.tickLabelHeight) / screen.plot.height();
        const double paperShare = double(paper.tickLabelHeight) / paper.plot.height();
        QVERIFY2(qAbs(paperShare / screenShare - 1) < 0.25,
                 qPrintable(
                     u"tick labels %1 of the plot's height on paper, %2 on screen"_s.arg(paperShare).arg(screenShare)));
        QCOMPARE_GT(paper.leftTitleInk, 0);
        QCOMPARE_GT(paper.bottomTitleInk, 0);
    }

    void legendStaysBelowThePlotAndInsideTheChart()
    {
        ShownChart shown;
        shown.chart.setLegendVisible(true);
        shown.chart.setEmptyHint(u"Tick a curve"_s);
        for (int i = 0; i < 80; ++i) {
            ChartSeries& series = shown.chart.addSeries();
            series.setTitle(u"Data: (%1) T12TR"_s.arg(i));
            series.addPoint(i);
        }
        shown.chart.redraw();
        QCustomPlot& plot = shown.plot();
        QVERIFY(plot.legend->visible());
        QCOMPARE_GE(plot.legend->outerRect().top(), plot.axisRect()->outerRect().bottom());
        QCOMPARE_LE(plot.legend->outerRect().bottom(), plot.height());
        // What does not fit is counted in a last entry.
        QCOMPARE_LT(plot.legend->itemCount(), 81);
        QVERIFY(!qobject_cast<QCPPlottableLegendItem*>(plot.legend->item(plot.legend->itemCount() - 1)));
        QCOMPARE(shown.chart.emptyHint(), QString());

        for (int i = 0; i < shown.chart.seriesCount(); ++i)
            shown.chart.series(i).setActive(false);
        shown.chart.redraw();
        QVERIFY(!plot.legend->visible());
        QCOMPARE(plot.plotLayout()->rowCount(), 2);
        QCOMPARE(shown.chart.emptyHint(), u"Tick a curve"_s);
    }

    void tickLabelsOfAnAxisShareOneStyle_data()
    {
        QTest::addColumn<QList<double>>("ticks");
        QTest::addColumn<QStringList>("labels");
        QTest::newRow("plain") << QList<double>{-0.5, 0, 0.5, 1} << QStringList{u"-0.5"_s, u"0"_s, u"0.5"_s, u"1.0"_s};
        QTest::newRow("past a million") << QList<double>{0, 5e5, 1e6, 1.5e6}
                                        << QStringList{u"0"_s, u"5.0e+05"_s, u"1.0e+06"_s, u"1.5e+06"_s};
        QTest::newRow("logarithmic") << QList<double>{1, 10, 100, 1e6}
                                     << QStringList{u"1e+00"_s, u"1e+01"_s, u"1e+02"_s, u"1e+06"_s};
    }

    void tickLabelsOfAnAxisShareOneStyle()
    {
        QFETCH(QList<double>, ticks);
        QFETCH(QStringList, labels);
        QCOMPARE(QStringList(uniformTickLabels(ticks)), labels);
    }

    void redrawsWhileLoadingAtMostEvery100Milliseconds()
    {
        ShownChart shown;
        ChartSeries& series = shown.chart.addSeries();
        QSignalSpy redraws(&shown.plot(), &QCustomPlot::afterReplot);
        QElapsedTimer loading;
        loading.start();
        for (int i = 0; loading.elapsed() < 350; ++i) {
            series.addPoint(i % 100);
            shown.chart.redrawWhileLoading();
        }
        QVERIFY(!redraws.isEmpty());
        QCOMPARE_LE(redraws.size(), loading.elapsed() / 100 + 2);
    }
};

VOCABRIX_GUI_TEST_MAIN(ChartViewTest)
#include "ChartViewTest.moc"
