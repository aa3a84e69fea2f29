#include "charts/ChartView.h"
#include "charts/PlotLibrary.h"
#include "charts/RFRChartForm.h"

#include "ChartDrag.h"
#include "GuiTestMain.h"
#include "RecordingDialogs.h"
#include "TestFiles.h"
#include "WorkingDirectory.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace charts;
using namespace Qt::StringLiterals;

namespace {

struct Point
{
    double x;
    double y;
    QString label;

    friend bool operator==(const Point&, const Point&) = default;
};

QList<Point> pointsOf(const ChartSeries& series)
{
    QList<Point> points;
    for (int i = 0; i < series.pointCount(); ++i)
        points.append({series.curve().x(size_t(i)), series.curve().y(size_t(i)), series.label(i)});
    return points;
}

char* toString(const Point& point)
{
    return qstrdup(qPrintable(u"(%1, %2) \"%3\""_s.arg(point.x).arg(point.y).arg(point.label)));
}

const QByteArray concordanceACB = "\xEF\xBB\xBFType\tFrequency\r\na\t2\r\nb\t1\r\nc\t3\r\n";

// One window per test, in its own folder, with a recording dialogs fake.
struct RFRWindow
{
    explicit RFRWindow(const QByteArray& concordance = concordanceACB)
    {
        writeTestFile(u"Concordance.txt"_s, concordance);
        window.JmenoZdroje = u"Concordance.txt"_s;
    }

    // Shows the window again, as the main window does, with another file.
    void reopen(const QString& fileName)
    {
        window.hide();
        window.JmenoZdroje = fileName;
        window.show();
    }

    ScopedTemporaryWorkingDirectory folder;
    RecordingDialogs dialogs;
    TRFRChart window{dialogs};
};

} // namespace

class RFRChartTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startsWithItsControlsAndTitles()
    {
        RFRWindow rfr;
        TRFRChart& w = rfr.window;
        QCOMPARE(w.windowTitle(), u"RFR Chart"_s);
        QVERIFY(w.isWindow());
        QCOMPARE(w.Graf->title(), u"Rank-frequency Relation"_s);
        QCOMPARE(w.Graf->axisTitle(ChartAxis::Bottom), u"Rank"_s);
        QCOMPARE(w.Graf->axisTitle(ChartAxis::Left), u"Frequency"_s);
        QCOMPARE(w.Graf->toolTip(), u"Left click: zoom; right click: scroll"_s);
        QVERIFY(!w.Graf->isLegendVisible());
        QCOMPARE(w.Series1->colour(), QColor(255, 128, 0));
        QVERIFY(!w.CheckBox1->isChecked() && !w.Series1->labelsVisible());
        QCOMPARE(w.Scale->itemText(3), u"log-log scale"_s);
        QCOMPARE(w.Scale->currentIndex(), 0);
    }

    void showingPlotsTheTypesByRank()
    {
        RFRWindow rfr;
        rfr.window.show();
        QCOMPARE(pointsOf(*rfr.window.Series1), (QList<Point>{{1, 3, u"c"_s}, {2, 2, u"a"_s}, {3, 1, u"b"_s}}));
        QCOMPARE(rfr.dialogs.texts(), QStringList());
    }

    void eachShowingReplacesThePlot()
    {
        RFRWindow rfr;
        rfr.window.show();
        writeTestFile(u"Other.txt"_s, "Type\tFrequency\r\nz\t9\r\n");
        // Showing a shown window only brings it to the front.
        rfr.window.JmenoZdroje = u"Other.txt"_s;
        rfr.window.show();
        QCOMPARE(rfr.window.Series1->pointCount(), 3);

        rfr.reopen(u"Other.txt"_s);
        QCOMPARE(pointsOf(*rfr.window.Series1), (QList<Point>{{1, 9, u"z"_s}}));

        writeTestFile(u"Empty.txt"_s, "\xEF\xBB\xBFType\tFrequency\r\n");
        rfr.reopen(u"Empty.txt"_s);
        QCOMPARE(rfr.window.Series1->pointCount(), 0);
    }

    void anotherConcordanceIsShownWhole()
    {
        RFRWindow rfr;
        rfr.window.show();
        zoomIntoAQuarter(*rfr.window.Graf);
        QVERIFY(rfr.window.Graf->isViewChosenByUser());
        writeTestFile(u"Other.txt"_s, "Type\tFrequency\r\nx\t900\r\ny\t800\r\nz\t700\r\nw\t600\r\n");
        rfr.reopen(u"Other.txt"_s);
        const AxisRange ranks = rfr.window.Graf->range(ChartAxis::Bottom);
        const AxisRange frequencies = rfr.window.Graf->range(ChartAxis::Left);
        QVERIFY(ranks.lower <= 1 && ranks.upper >= 4);
        QVERIFY(frequencies.lower <= 600 && frequencies.upper >= 900);
    }

    void failedLoadKeepsThePreviousPlot_data()
    {
        QTest::addColumn<QByteArray>("content"); // empty: no file
        QTest::addColumn<QString>("message");
        QTest::newRow("missing file") << QByteArray() << u"Cannot open file \"<path>\". No such file or directory"_s;
        QTest::newRow("frequency digits overflow")
            << QByteArray("Type\tFrequency\r\nq\t1\r\nr\t12345678901234567890\r\n")
            << u"''12345678901234567890'' is not a valid integer value (line 3 of \"<path>\")"_s;
    }

    void failedLoadKeepsThePreviousPlot()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        RFRWindow rfr;
        rfr.window.show();
        if (!content.isEmpty())
            writeTestFile(u"Bad.txt"_s, content);
        rfr.reopen(u"Bad.txt"_s);
        message.replace(u"<path>"_s, QDir::current().absoluteFilePath(u"Bad.txt"_s));
        QCOMPARE(rfr.dialogs.errors(), QStringList{message});
        QVERIFY(rfr.window.isVisible());
        QCOMPARE(rfr.window.Series1->pointCount(), 3);
    }

    void showTypesHoldsForLaterLoads()
    {
        RFRWindow rfr;
        rfr.window.show();
        rfr.window.CheckBox1->click();
        QVERIFY(rfr.window.Series1->labelsVisible());
        rfr.reopen(u"Concordance.txt"_s);
        QVERIFY(rfr.window.CheckBox1->isChecked());
        QVERIFY(rfr.window.Series1->labelsVisible());
        rfr.window.CheckBox1->click();
        QVERIFY(!rfr.window.Series1->labelsVisible());
    }

    void scaleSwitchesTheAxes_data()
    {
        QTest::addColumn<int>("item");
        QTest::addColumn<bool>("logarithmicLeft");
        QTest::addColumn<bool>("logarithmicBottom");
        QTest::newRow("normal") << 0 << false << false;
        QTest::newRow("x log") << 1 << false << true;
        QTest::newRow("y log") << 2 << true << false;
        QTest::newRow("log-log") << 3 << true << true;
    }

    void scaleSwitchesTheAxes()
    {
        QFETCH(int, item);
        QFETCH(bool, logarithmicLeft);
        QFETCH(bool, logarithmicBottom);
        RFRWindow rfr;
        rfr.window.show();
        // From the opposite state, so every item has something to switch.
        rfr.window.Scale->setCurrentIndex(3 - item);
        rfr.window.Scale->setCurrentIndex(item);
        QCOMPARE(rfr.window.Graf->isLogarithmic(ChartAxis::Left), logarithmicLeft);
        QCOMPARE(rfr.window.Graf->isLogarithmic(ChartAxis::Bottom), logarithmicBottom);

        rfr.window.Scale->setCurrentIndex(-1);
        rfr.reopen(u"Concordance.txt"_s);
        QCOMPARE(rfr.window.Graf->isLogarithmic(ChartAxis::Left), logarithmicLeft);
        QCOMPARE(rfr.window.Graf->isLogarithmic(ChartAxis::Bottom), logarithmicBottom);
    }

    void saveProposesTheSourceNameAsBitmap_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("proposed");
        QTest::newRow("default") << u"Concordance.txt"_s << u"Concordance.bmp"_s;
        QTest::newRow("upper case") << u"C:\\data\\text.TXT"_s << u"C:\\data\\text.bmp"_s;
        QTest::newRow("every occurrence") << u"a.txt.b.txt"_s << u"a.bmp.b.bmp"_s;
        QTest::newRow("no .txt") << u"words.tsv"_s << u"words.tsv"_s;
    }

    void saveProposesTheSourceNameAsBitmap()
    {
        QFETCH(QString, source);
        QFETCH(QString, proposed);
        RFRWindow rfr;
        rfr.window.JmenoZdroje = source;
        rfr.dialogs.answerSaveFile(std::nullopt);
        rfr.window.Button1->click();
        QCOMPARE(rfr.dialogs.saveRequests().size(), 1);
        QCOMPARE(rfr.dialogs.saveRequests().first().proposedName, proposed);
        QCOMPARE(rfr.dialogs.saveRequests().first().defaultExtension, u"bmp"_s);
        QCOMPARE(rfr.dialogs.texts(), QStringList());
    }

    void saveWritesTheChosenPicture_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("magic");
        QTest::newRow("bitmap") << u"Concordance.bmp"_s << QByteArray("BM");
        QTest::newRow("png") << u"chart.png"_s << QByteArray("\x89PNG");
    }

    void saveWritesTheChosenPicture()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, magic);
        RFRWindow rfr;
        rfr.window.show();
        rfr.dialogs.answerSaveFile(name);
        rfr.window.Button1->click();
        QVERIFY(readTestFile(name).startsWith(magic));
        QCOMPARE(rfr.dialogs.texts(), QStringList{u"The chart was saved to "_s + name});
    }

    void saveFailureShowsTheErrorBox()
    {
        RFRWindow rfr;
        rfr.window.show();
        rfr.dialogs.answerSaveFile(u"missing/chart.bmp"_s);
        rfr.window.Button1->click();
        QCOMPARE(rfr.dialogs.texts(),
                 QStringList{u"Cannot create file \"missing/chart.bmp\". No such file or directory"_s});
    }

    void printWritesThroughThePrintDialog()
    {
        RFRWindow rfr;
        rfr.window.show();
        rfr.dialogs.answerPrint(std::nullopt);
        rfr.window.Button2->click();
        rfr.dialogs.answerPrint(rfr.folder.filePath(u"printed.pdf"_s));
        rfr.window.Button2->click();
        QVERIFY(readTestFile(rfr.folder.filePath(u"printed.pdf"_s)).startsWith("%PDF"));
        QCOMPARE(QDir(rfr.folder.path()).entryList({u"*.pdf"_s}), QStringList{u"printed.pdf"_s});
        QCOMPARE(rfr.dialogs.texts(), QStringList());
    }

    void largeLoadRedrawsOnlyNowAndThen()
    {
        QByteArray concordance = "\xEF\xBB\xBFType\tFrequency\r\n";
        for (int i = 1; i <= 50000; ++i)
            concordance += "w" + QByteArray::number(i) + "\t" + QByteArray::number(i % 997 + 1) + "\r\n";
        RFRWindow rfr(concordance);
        rfr.window.CheckBox1->setChecked(true);
        QSignalSpy redraws(rfr.window.Graf->findChild<QCustomPlot*>(), &QCustomPlot::afterReplot);
        QElapsedTimer loading;
        loading.start();
        rfr.window.show();
        QCOMPARE(rfr.window.Series1->pointCount(), 50000);
        QCOMPARE_LE(redraws.size(), loading.elapsed() / 100 + 3);
    }
};

VOCABRIX_GUI_TEST_MAIN(RFRChartTest)
#include "RFRChartTest.moc"
