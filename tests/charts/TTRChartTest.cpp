#include "charts/ChartView.h"
#include "charts/CheckList.h"
#include "charts/TTRChartForm.h"

#include "ChartDrag.h"
#include "GuiTestMain.h"
#include "RecordingDialogs.h"
#include "TestFiles.h"
#include "WorkingDirectory.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QGuiApplication>
#include <QPushButton>
#include <QSet>
#include <QTest>

using namespace charts;
using namespace Qt::StringLiterals;

namespace {

const QByteArray modelFile = "10\r\nTTR\tT1TR\t\r\n5.000\t4.500\t\r\n9.250\t6.000\t\r\n12.000\t7.000\t\r\n";
const QByteArray measuredFile = "10\r\nTTR\tT1TR\t\r\n6\t4\t\r\n9\t5\t\r\n13\t8\t\r\n";
const QByteArray deviationsFile = "10\r\nTTR\tT1TR\t\r\n0.500\t0.250\t\r\n1.000\t0.000\t\r\n0.000\t0.500\t\r\n";

QStringList itemTexts(const CheckList& list)
{
    QStringList texts;
    for (int i = 0; i < list.count(); ++i)
        texts.append(list.item(i)->text());
    return texts;
}

QList<bool> checkStates(const CheckList& list)
{
    QList<bool> states;
    for (int i = 0; i < list.count(); ++i)
        states.append(list.isChecked(i));
    return states;
}

QList<double> ys(const Curve& curve, double (Curve::*coordinate)(size_t) const = &Curve::y)
{
    QList<double> values;
    for (size_t i = 0; i < curve.size(); ++i)
        values.append((curve.*coordinate)(i));
    return values;
}

QList<double> ys(const ChartSeries& series)
{
    return ys(series.curve());
}

QList<double> xs(const ChartSeries& series)
{
    return ys(series.curve(), &Curve::x);
}

// Counts the times a window is hidden.
class HideCounter final : public QObject
{
public:
    int hides = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        hides += event->type() == QEvent::Hide ? 1 : 0;
        return false;
    }
};

// One window per test, in its own folder, with the files of one run.
struct TTRWindow
{
    TTRWindow(const QByteArray& model = modelFile, const QByteArray& measured = measuredFile)
    {
        if (!model.isNull())
            writeTestFile(u"C.txt"_s, model);
        if (!measured.isNull())
            writeTestFile(u"M.txt"_s, measured);
        window.concordanceFile = u"Concordance.txt"_s;
    }

    // What "View TTR Chart" does.
    void open(bool measured = true, bool model = true)
    {
        window.hide();
        window.EM = measured;
        window.EC = model;
        window.JmenoZdrojeM = u"M.txt"_s;
        window.JmenoZdrojeC = u"C.txt"_s;
        window.show();
    }

    QStringList seriesTitles(bool activeOnly = false)
    {
        QStringList titles;
        for (int i = 0; i < window.Graf->seriesCount(); ++i) {
            if (!activeOnly || window.Graf->series(i).isActive())
                titles.append(window.Graf->series(i).title());
        }
        return titles;
    }
    QStringList activeSeries() { return seriesTitles(true); }

    ChartSeries& series(const QString& title) { return window.Graf->series(int(seriesTitles().indexOf(title))); }

    // "Save for R" with `prefix` chosen, and the wait for its thread.
    [[nodiscard]] bool saveForR(const QString& prefix)
    {
        dialogs.answerSaveFile(prefix);
        window.BtSaveForR->click();
        return QTest::qWaitFor([&] { return !window.savingForR(); }, 20000);
    }

    ScopedTemporaryWorkingDirectory folder;
    RecordingDialogs dialogs;
    TTTRChart window{dialogs};
};

} // namespace

class TTRChartTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startsWithItsControlsAndTitles()
    {
        TTRWindow ttr;
        TTTRChart& w = ttr.window;
        QCOMPARE(w.windowTitle(), u"TTR Chart"_s);
        QVERIFY(w.isWindow());
        QCOMPARE(w.Graf->title(), u"Type-token Relation"_s);
        QCOMPARE(w.Graf->axisTitle(ChartAxis::Bottom), u"Number of tokens"_s);
        QCOMPARE(w.Graf->axisTitle(ChartAxis::Left), u"Number of types"_s);
        QVERIFY(w.Graf->isLegendVisible());
        QCOMPARE(itemTexts(*w.ChMeasured), QStringList{u"Measured"_s});
        QCOMPARE(itemTexts(*w.ChModel), QStringList{u"Model"_s});
        QCOMPARE(itemTexts(*w.ChSubtraction), QStringList{u"Subtraction"_s});
        QCOMPARE(w.ChSubtraction->toolTip(), u"Subtraction of the measured and the model"_s);
        for (const CheckList* list : {w.ChMeasured, w.ChModel, w.ChSubtraction})
            QVERIFY(list->isHidden() && !list->isChecked(0));
        const QStringList buttons{w.Button1->text(), w.Button2->text(), w.BtClear->text(), w.BtReload->text()};
        QCOMPARE(buttons, (QStringList{u"&Save"_s, u"&Print"_s, u"C&lear"_s, u"&Reload"_s}));
    }

    void loadAddsNumberedSeriesOfBothFilesAndTheirDifferences()
    {
        TTRWindow ttr;
        ttr.open();
        TTTRChart& w = ttr.window;
        QCOMPARE(ttr.dialogs.texts(), QStringList());
        QCOMPARE(w.Cislomereni, 1u);
        QCOMPARE(w.HustotaM, 10u);
        QCOMPARE(w.HustotaC, 10u);
        QCOMPARE(itemTexts(*w.ChMeasured), (QStringList{u"Measured"_s, u"(1) TTR"_s, u"(1) T1TR"_s}));
        QCOMPARE(itemTexts(*w.ChModel), (QStringList{u"Model"_s, u"(1) TTR"_s, u"(1) T1TR"_s}));
        QCOMPARE(itemTexts(*w.ChSubtraction), (QStringList{u"Subtraction"_s, u"(1) TTR"_s, u"(1) T1TR"_s}));
        QCOMPARE(w.Aktualni, 2u);
        QCOMPARE(ttr.seriesTitles(), (QStringList{u"Model: (1) TTR"_s, u"Model: (1) T1TR"_s, u"Data: (1) TTR"_s,
                                                  u"Data: (1) T1TR"_s, u"Sub.(1) TTR"_s, u"Sub.(1) T1TR"_s}));
        QCOMPARE(ttr.activeSeries(), QStringList());
        for (int i = 0; i < w.Graf->seriesCount(); ++i) {
            QCOMPARE(xs(w.Graf->series(i)), (QList<double>{10, 20, 30}));
            QCOMPARE(w.Graf->series(i).pointerSize(), 2);
            QVERIFY(!w.Graf->series(i).pointerOutlineVisible());
        }
        QCOMPARE(ys(ttr.series(u"Model: (1) TTR"_s)), (QList<double>{5, 9.25, 12}));
        QCOMPARE(ys(ttr.series(u"Data: (1) T1TR"_s)), (QList<double>{4, 5, 8}));
        QCOMPARE(ys(ttr.series(u"Sub.(1) TTR"_s)), (QList<double>{1, -0.25, 1}));
        QCOMPARE(ys(ttr.series(u"Sub.(1) T1TR"_s)), (QList<double>{-0.5, -1, 1}));
        QCOMPARE(w.ChModel->seriesAt(1), &ttr.series(u"Model: (1) TTR"_s));
        QCOMPARE(w.ChSubtraction->seriesAt(2), &ttr.series(u"Sub.(1) T1TR"_s));

        QVERIFY(w.ChMeasured->isVisible() && w.ChModel->isVisible() && w.ChSubtraction->isVisible());
        QCoreApplication::sendPostedEvents(); // lays out the lists shown during the load
        QCOMPARE_LT(w.ChMeasured->x(), w.ChModel->x());
        QCOMPARE_LT(w.ChModel->x(), w.ChSubtraction->x());
        QCOMPARE(w.ChSubtraction->geometry().right(), w.width() - 1);
    }

    void reloadAddsALoadAndNoSecondDifferenceForTheFirst()
    {
        TTRWindow ttr;
        ttr.open();
        ttr.window.show(); // already shown: loads nothing
        QCOMPARE(ttr.window.Cislomereni, 1u);
        ttr.window.BtReload->click();
        TTTRChart& w = ttr.window;
        QCOMPARE(w.Cislomereni, 2u);
        QCOMPARE(itemTexts(*w.ChModel),
                 (QStringList{u"Model"_s, u"(1) TTR"_s, u"(1) T1TR"_s, u"(2) TTR"_s, u"(2) T1TR"_s}));
        QCOMPARE(itemTexts(*w.ChSubtraction),
                 (QStringList{u"Subtraction"_s, u"(1) TTR"_s, u"(1) T1TR"_s, u"(2) TTR"_s, u"(2) T1TR"_s}));
        QCOMPARE(w.Graf->seriesCount(), 12);
        QCOMPARE(ys(ttr.series(u"Sub.(2) TTR"_s)), (QList<double>{1, -0.25, 1}));
    }

    void clearStartsAgainFromTheFirstLoad()
    {
        TTRWindow ttr;
        ttr.open();
        ttr.window.ChModel->item(0)->setCheckState(Qt::Checked);
        ttr.window.BtClear->click();
        TTTRChart& w = ttr.window;
        QCOMPARE(w.Cislomereni, 0u);
        QCOMPARE(w.Graf->seriesCount(), 0);
        for (const CheckList* list : {w.ChMeasured, w.ChModel, w.ChSubtraction}) {
            QCOMPARE(list->count(), 1);
            QCOMPARE(checkStates(*list), QList<bool>{false});
            QVERIFY(!list->rememberedHeaderState());
            QVERIFY(list->isHidden());
        }
        QVERIFY(w.isVisible());

        ttr.open();
        QCOMPARE(itemTexts(*w.ChModel), (QStringList{u"Model"_s, u"(1) TTR"_s, u"(1) T1TR"_s}));
        QCOMPARE(ttr.seriesTitles().first(), u"Model: (1) TTR"_s);
    }

    void clearForgetsTheZoom()
    {
        TTRWindow ttr("10\r\nTTR\t\r\n1.000\t\r\n2.000\t\r\n", "1000\r\nTTR\t\r\n500\t\r\n900\t\r\n1300\t\r\n");
        ttr.open();
        ttr.window.ChModel->item(0)->setCheckState(Qt::Checked);
        zoomIntoAQuarter(*ttr.window.Graf);
        QVERIFY(ttr.window.Graf->isViewChosenByUser());
        ttr.window.BtClear->click();
        ttr.open();
        ttr.window.ChMeasured->item(0)->setCheckState(Qt::Checked);
        const AxisRange x = ttr.window.Graf->range(ChartAxis::Bottom);
        const AxisRange y = ttr.window.Graf->range(ChartAxis::Left);
        QVERIFY(x.lower <= 1000 && x.upper >= 3000);
        QVERIFY(y.lower <= 500 && y.upper >= 1300);
    }

    void reloadLeavesTheWindowWhereTheUserPutIt()
    {
        TTRWindow ttr;
        ttr.open();
        ttr.window.setGeometry(123, 77, 900, 600);
        const QRect placed = ttr.window.geometry();
        HideCounter counter;
        ttr.window.installEventFilter(&counter);
        ttr.window.BtReload->click();
        QCOMPARE(ttr.window.Cislomereni, 2u);
        QCOMPARE(counter.hides, 0);
        QCOMPARE(ttr.window.geometry(), placed);
    }

    void seriesDrawnAtOnceNeverLookAlike()
    {
        const QByteArray columns = "TTR\tT1TR\tT2TR\tT3TR\tT4TR\t\r\n";
        TTRWindow ttr("10\r\n" + columns + "5.0\t4.0\t1.0\t0.5\t0.1\t\r\n", "10\r\n" + columns + "5\t4\t1\t0\t0\t\r\n");
        ttr.open();
        ttr.window.BtReload->click();
        ttr.window.BtReload->click();
        QCOMPARE(ttr.window.Graf->seriesCount(), 45);
        QSet<QString> looks;
        for (int i = 0; i < ttr.window.Graf->seriesCount(); ++i) {
            const SeriesStyle& style = ttr.window.Graf->series(i).style();
            looks.insert(u"%1 %2 %3 %4"_s.arg(style.colour.name())
                             .arg(int(style.line))
                             .arg(int(style.marker))
                             .arg(style.lineWidth));
        }
        QCOMPARE(looks.size(), 45);
        // A column keeps its colour through measured, model and difference.
        const QColor t2 = ttr.series(u"Model: (2) T2TR"_s).colour();
        QCOMPARE(ttr.series(u"Data: (2) T2TR"_s).colour(), t2);
        QCOMPARE(ttr.series(u"Sub.(2) T2TR"_s).colour(), t2);
    }

    void onlyTheMeasuredFile()
    {
        TTRWindow ttr(QByteArray(), measuredFile);
        ttr.open(true, false);
        QVERIFY(ttr.window.ChMeasured->isVisible());
        QVERIFY(ttr.window.ChModel->isHidden());
        QVERIFY(ttr.window.ChSubtraction->isHidden());
        QCOMPARE(ttr.seriesTitles(), (QStringList{u"Data: (1) TTR"_s, u"Data: (1) T1TR"_s}));
    }

    void differencesOnlyWhereBothFilesHaveTheTokenCount()
    {
        TTRWindow ttr("10\r\nTTR\t\r\n1\t\r\n2\t\r\n3\t\r\n4\t\r\n5\t\r\n6\t\r\n",
                      "20\r\nTTR\t\r\n10\t\r\n20\t\r\n30\t\r\n");
        ttr.open();
        QCOMPARE(xs(ttr.series(u"Sub.(1) TTR"_s)), (QList<double>{20, 40, 60}));
        QCOMPARE(ys(ttr.series(u"Sub.(1) TTR"_s)), (QList<double>{8, 16, 24}));
        QCOMPARE(ttr.window.HustotaC, 10u);
        QCOMPARE(ttr.window.HustotaM, 20u);
    }

    void differencesOnlyForColumnsOfBothFiles()
    {
        TTRWindow ttr(modelFile, "10\r\nTTR\tT1TR\tT2TR\t\r\n6\t4\t1\t\r\n");
        ttr.open();
        QCOMPARE(itemTexts(*ttr.window.ChSubtraction), (QStringList{u"Subtraction"_s, u"(1) TTR"_s, u"(1) T1TR"_s}));
    }

    void headerOnlyFilesGiveSeriesWithoutPoints()
    {
        TTRWindow ttr("10\r\nTTR\tT1TR\t\r\n", "10\r\nTTR\tT1TR\t\r\n");
        ttr.open();
        QCOMPARE(ttr.window.Graf->seriesCount(), 6);
        for (int i = 0; i < 6; ++i)
            QCOMPARE(ttr.window.Graf->series(i).pointCount(), 0);
    }

    void badModelValueStopsTheLoadKeepingWhatItAdded()
    {
        TTRWindow ttr("10\r\nTTR\tT1TR\t\r\n5.000\t4.500\t\r\n9.250\t1,500\t\r\n12.000\t7.000\t\r\n");
        ttr.open();
        QCOMPARE(ttr.dialogs.texts(), QStringList{u"'1,500' is not a valid floating point value"_s});
        QVERIFY(ttr.window.isVisible());
        QCOMPARE(ttr.seriesTitles(), (QStringList{u"Model: (1) TTR"_s, u"Model: (1) T1TR"_s}));
        QCOMPARE(ys(ttr.series(u"Model: (1) TTR"_s)), (QList<double>{5, 9.25}));
        QCOMPARE(ys(ttr.series(u"Model: (1) T1TR"_s)), (QList<double>{4.5}));
        QVERIFY(ttr.window.ChMeasured->isHidden());
        QVERIFY(ttr.window.ChSubtraction->isHidden());

        writeTestFile(u"C.txt"_s, modelFile);
        ttr.open();
        QCOMPARE(ttr.window.Cislomereni, 2u);
        QCOMPARE(itemTexts(*ttr.window.ChMeasured), (QStringList{u"Measured"_s, u"(2) TTR"_s, u"(2) T1TR"_s}));
    }

    void badMeasuredValueBuildsNoDifferences()
    {
        TTRWindow ttr(modelFile, "10\r\nTTR\tT1TR\t\r\n6\t4\t\r\nx\t5\t\r\n");
        ttr.open();
        QCOMPARE(ttr.dialogs.texts(), QStringList{u"''x'' is not a valid integer value"_s});
        QVERIFY(ttr.window.ChSubtraction->isHidden());
        QCOMPARE(ttr.window.Graf->seriesCount(), 4);
        QCOMPARE(ys(ttr.series(u"Data: (1) TTR"_s)), (QList<double>{6}));
    }

    void missingModelFileStopsTheLoad()
    {
        TTRWindow ttr(QByteArray(), measuredFile);
        ttr.open();
        QCOMPARE(ttr.dialogs.texts(), QStringList{u"Cannot open file \"%1\". No such file or directory"_s.arg(
                                          QDir::current().absoluteFilePath(u"C.txt"_s))});
        QCOMPARE(ttr.window.Graf->seriesCount(), 0);
        QVERIFY(ttr.window.ChModel->isVisible());
        QVERIFY(ttr.window.ChMeasured->isHidden());
    }

    void misshapenFilesStayInTheirOwnSeries()
    {
        // More fields than columns, data under an empty header, text after the last TAB.
        TTRWindow ttr("10\r\n\r\n1\t2\t\r\n", "10\r\nTTR\t\r\n1\t2\t3\t\r\n4\t5\r\n6\t\r\n");
        ttr.open();
        ttr.open();
        QCOMPARE(ttr.dialogs.texts(), QStringList());
        QCOMPARE(ttr.seriesTitles(), (QStringList{u"Data: (1) TTR"_s, u"Data: (2) TTR"_s}));
        QCOMPARE(ys(ttr.series(u"Data: (1) TTR"_s)), (QList<double>{1, 4, 6}));
        QCOMPARE(ys(ttr.series(u"Data: (2) TTR"_s)), (QList<double>{1, 4, 6}));
    }

    void headerItemSwitchesTheWholeGroup()
    {
        TTRWindow ttr;
        ttr.open();
        CheckList& model = *ttr.window.ChModel;
        model.item(0)->setCheckState(Qt::Checked);
        QCOMPARE(checkStates(model), (QList<bool>{true, true, true}));
        QVERIFY(model.rememberedHeaderState());
        QCOMPARE(ttr.activeSeries(), (QStringList{u"Model: (1) TTR"_s, u"Model: (1) T1TR"_s}));

        model.item(0)->setCheckState(Qt::Unchecked);
        QCOMPARE(checkStates(model), (QList<bool>{false, false, false}));
        QCOMPARE(ttr.activeSeries(), QStringList());
    }

    void itemSwitchesItsSeriesAloneFromTheKeyboardToo()
    {
        TTRWindow ttr;
        ttr.open();
        CheckList& measured = *ttr.window.ChMeasured;
        measured.setFocus();
        measured.setCurrentRow(2);
        QTest::keyClick(&measured, Qt::Key_Space);
        QCOMPARE(checkStates(measured), (QList<bool>{false, false, true}));
        QCOMPARE(ttr.activeSeries(), QStringList{u"Data: (1) T1TR"_s});

        ttr.window.ChSubtraction->item(1)->setCheckState(Qt::Checked);
        QCOMPARE(ttr.activeSeries(), (QStringList{u"Data: (1) T1TR"_s, u"Sub.(1) TTR"_s}));
    }

    void checkedHeaderLeavesTheNextLoadSwitchedOff()
    {
        TTRWindow ttr;
        ttr.open();
        CheckList& model = *ttr.window.ChModel;
        model.item(0)->setCheckState(Qt::Checked);
        ttr.window.BtReload->click();
        QCOMPARE(checkStates(model), (QList<bool>{true, true, true, false, false}));
        QCOMPARE(ttr.activeSeries(), (QStringList{u"Model: (1) TTR"_s, u"Model: (1) T1TR"_s}));

        model.item(0)->setCheckState(Qt::Unchecked);
        model.item(0)->setCheckState(Qt::Checked);
        QCOMPARE(ttr.activeSeries().size(), 4);
    }

    void saveProposesTheNameChosenLast()
    {
        TTRWindow ttr;
        ttr.open();
        ttr.dialogs.answerSaveFile(u"ttr.bmp"_s);
        ttr.window.Button1->click();
        ttr.dialogs.answerSaveFile(u"ttr.png"_s);
        ttr.window.Button1->click();
        ttr.dialogs.answerSaveFile(std::nullopt);
        ttr.window.Button1->click();

        QStringList proposed;
        for (const dialogs::SaveFileRequest& request : ttr.dialogs.saveRequests()) {
            QCOMPARE(request.defaultExtension, u"bmp"_s);
            QCOMPARE(request.filter, u"BMP picture (*.bmp);;PNG picture (*.png);;JPEG picture (*.jpg *.jpeg);;"
                                     "PDF document (*.pdf);;SVG picture (*.svg)"_s);
            proposed.append(request.proposedName);
        }
        QCOMPARE(proposed, (QStringList{QString(), u"ttr.bmp"_s, u"ttr.png"_s}));
        QCOMPARE(ttr.dialogs.texts(),
                 (QStringList{u"The chart was saved to ttr.bmp"_s, u"The chart was saved to ttr.png"_s}));
    }

    void keysReachTheChartsActions()
    {
        TTRWindow ttr;
        ttr.open();
        QGuiApplication::clipboard()->clear();
        ttr.window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&ttr.window));
        // A shortcut presses its button visibly, so the click comes a moment later.
        QTest::keyClick(&ttr.window, Qt::Key_C, Qt::ControlModifier);
        QTRY_COMPARE(QGuiApplication::clipboard()->image().size(), ttr.window.Graf->size());
        ttr.dialogs.answerSaveFile(std::nullopt);
        QTest::keyClick(&ttr.window, Qt::Key_S, Qt::ControlModifier);
        QTRY_COMPARE(ttr.dialogs.saveRequests().size(), 1);
        ttr.dialogs.answerPrint(std::nullopt);
        QTest::keyClick(&ttr.window, Qt::Key_P, Qt::ControlModifier);
        QTRY_COMPARE(ttr.dialogs.entries().size(), 2);
        QTest::keyClick(&ttr.window, Qt::Key_B, Qt::AltModifier);
        QTRY_VERIFY(!ttr.window.ChBands->isChecked());
        ttr.dialogs.answerSaveFile(std::nullopt);
        QTest::keyClick(&ttr.window, Qt::Key_F, Qt::AltModifier);
        QTRY_COMPARE(ttr.dialogs.saveRequests().size(), 2);
        // Tab walks the panel from left to right.
        TTTRChart& w = ttr.window;
        w.ChBands->setFocus();
        for (QWidget* next :
             {static_cast<QWidget*>(w.Scale), static_cast<QWidget*>(w.Button1), static_cast<QWidget*>(w.Button2),
              static_cast<QWidget*>(w.BtClear), static_cast<QWidget*>(w.BtReload), static_cast<QWidget*>(w.BtSaveForR),
              static_cast<QWidget*>(w.BtCopy)}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
        QTest::keyClick(&ttr.window, Qt::Key_Escape);
        QVERIFY(ttr.window.isHidden());
    }

    void bandsSurroundTheModelAndTheDifferences()
    {
        TTRWindow ttr;
        writeTestFile(u"C.sd.txt"_s, deviationsFile);
        ttr.open();
        QCOMPARE(ttr.dialogs.texts(), QStringList());
        TTTRChart& w = ttr.window;
        QVERIFY(w.ChBands->isChecked());
        QCOMPARE(ys(*ttr.series(u"Model: (1) T1TR"_s).bandDeviations()), (QList<double>{0.25, 0, 0.5}));
        QCOMPARE(ys(*ttr.series(u"Sub.(1) TTR"_s).bandDeviations()), (QList<double>{0.5, 1, 0}));
        QCOMPARE(ttr.series(u"Data: (1) TTR"_s).bandDeviations(), nullptr);
        // The view makes room for a band: 5 - 1.96 * 0.5 at the bottom.
        w.ChModel->item(1)->setCheckState(Qt::Checked);
        QCOMPARE_LT(w.Graf->range(ChartAxis::Left).lower, 5 - 0.98);

        w.ChBands->click();
        for (const QString& title : {u"Model: (1) TTR"_s, u"Sub.(1) T1TR"_s})
            QVERIFY(!ttr.series(title).isBandShown());
        QCOMPARE_GT(w.Graf->range(ChartAxis::Left).lower, 5 - 0.98);
        w.ChBands->click();
        QVERIFY(ttr.series(u"Sub.(1) T1TR"_s).isBandShown());
    }

    void companionThatDoesNotFitDrawsNoBands_data()
    {
        QTest::addColumn<QByteArray>("deviations");
        QTest::addColumn<QString>("message");
        const QString mismatch = u"The standard deviations in C.sd.txt do not match the model file C.txt (another "
                                 "density, other columns or another number of rows), so this load is drawn without "
                                 "bands."_s;
        QTest::newRow("density") << QByteArray(deviationsFile).replace("10", "20") << mismatch;
        QTest::newRow("columns") << QByteArray(deviationsFile).replace("T1TR", "T2TR") << mismatch;
        QTest::newRow("rows") << deviationsFile.left(deviationsFile.lastIndexOf("0.000")) << mismatch;
        QTest::newRow("value") << QByteArray(deviationsFile).replace("1.000", "1,000")
                               << u"The standard deviations in C.sd.txt cannot be read, so this load is drawn "
                                  "without bands.\n'1,000' is not a valid floating point value"_s;
        QTest::newRow("unreadable") << QByteArray()
                                    << u"The standard deviations in C.sd.txt cannot be read, so "
                                       "this load is drawn without bands.\nCannot open file"_s;
    }

    void companionThatDoesNotFitDrawsNoBands()
    {
        QFETCH(QByteArray, deviations);
        QFETCH(QString, message);
        TTRWindow ttr;
        if (deviations.isNull())
            QVERIFY(QDir().mkdir(u"C.sd.txt"_s));
        else
            writeTestFile(u"C.sd.txt"_s, deviations);
        ttr.open();
        QCOMPARE(ttr.dialogs.texts().size(), 1);
        QVERIFY2(ttr.dialogs.texts().first().startsWith(message), qPrintable(ttr.dialogs.texts().first()));
        QCOMPARE(ttr.window.Graf->seriesCount(), 6);
        for (int i = 0; i < ttr.window.Graf->seriesCount(); ++i)
            QCOMPARE(ttr.window.Graf->series(i).bandDeviations(), nullptr);
    }

    void differencesInStandardDeviations()
    {
        TTRWindow ttr;
        writeTestFile(u"C.sd.txt"_s, deviationsFile);
        ttr.open();
        TTTRChart& w = ttr.window;
        for (CheckList* list : {w.ChModel, w.ChSubtraction})
            list->item(0)->setCheckState(Qt::Checked);
        w.Scale->setCurrentIndex(4);
        QCOMPARE(w.Graf->axisTitle(ChartAxis::Left), u"Difference in standard deviations"_s);
        QVERIFY(!w.Graf->isLogarithmic(ChartAxis::Left) && !w.Graf->isLogarithmic(ChartAxis::Bottom));
        QCOMPARE(ttr.activeSeries(), (QStringList{u"Sub.(1) TTR"_s, u"Sub.(1) T1TR"_s}));
        // Points whose deviation is 0 are left out.
        QCOMPARE(xs(ttr.series(u"Sub.(1) TTR"_s)), (QList<double>{10, 20}));
        QCOMPARE(ys(ttr.series(u"Sub.(1) TTR"_s)), (QList<double>{2, -0.25}));
        QCOMPARE(ys(ttr.series(u"Sub.(1) T1TR"_s)), (QList<double>{-2, 2}));
        // The lines at +-1.96 stay in view.
        QCOMPARE_LT(w.Graf->range(ChartAxis::Left).lower, -1.96);
        // A load in this scale comes in standard deviations too.
        w.BtReload->click();
        QCOMPARE(ys(ttr.series(u"Sub.(2) T1TR"_s)), (QList<double>{-2, 2}));

        w.Scale->setCurrentIndex(0);
        QCOMPARE(w.Graf->axisTitle(ChartAxis::Left), u"Number of types"_s);
        QCOMPARE(ys(ttr.series(u"Sub.(1) TTR"_s)), (QList<double>{1, -0.25, 1}));
        QVERIFY(ttr.series(u"Sub.(1) TTR"_s).isBandShown());
        QCOMPARE(ttr.activeSeries().size(), 4);
    }

    void saveForRWritesEveryLoadOrNothing()
    {
        TTRWindow ttr;
        writeTestFile(u"C.sd.txt"_s, deviationsFile);
        writeTestFile(u"Concordance.txt"_s, utf8Bom + "Type\tFrequency\r\na\t2\r\nb\t1\r\n");
        ttr.open();
        QVERIFY(QDir().mkdir(u"out"_s));
        QVERIFY(ttr.saveForR(u"out/novel"_s));
        QCOMPARE(QDir(u"out"_s).entryList(QDir::Files),
                 (QStringList{u"novel.emp.vgc"_s, u"novel.exp.vgc"_s, u"novel.spc"_s, u"novel.tfl"_s}));
        QVERIFY(readTestFile(u"out/novel.exp.vgc"_s).startsWith("N\tV\tV1\tVV\tVV1\n"));

        ttr.window.BtReload->click();
        ttr.dialogs.clear();
        QVERIFY(ttr.saveForR(u"out/two"_s));
        QCOMPARE(ttr.dialogs.texts(),
                 QStringList{u"The files for R were saved in %1: two-1.spc, two-1.tfl, two-1.emp.vgc, two-1.exp.vgc, "
                             "two-2.spc, two-2.tfl, two-2.emp.vgc, two-2.exp.vgc"_s.arg(
                                 QDir::toNativeSeparators(QDir(u"out"_s).absolutePath()))});
        QCOMPARE(ttr.dialogs.saveRequests().last().proposedName, u"out/novel"_s);

        // The model file fails once the first load's other files are written.
        ttr.dialogs.clear();
        writeTestFile(u"C.txt"_s, "10\r\nTTR\tT1TR\t\r\nx\t1\t\r\n");
        ttr.window.BtReload->click();
        ttr.dialogs.clear();
        QVERIFY(ttr.saveForR(u"out/three"_s));
        QCOMPARE(ttr.dialogs.errors().size(), 1);
        QCOMPARE(QDir(u"out"_s).entryList({u"three*"_s}), QStringList());

        // A name the loads read from is never replaced.
        ttr.window.BtClear->click();
        QVERIFY(!ttr.window.BtSaveForR->isEnabled());
        writeTestFile(u"C.txt"_s, modelFile);
        ttr.window.concordanceFile = u"out/novel.spc"_s;
        ttr.open();
        ttr.dialogs.clear();
        QVERIFY(ttr.saveForR(u"out/novel"_s));
        QCOMPARE(ttr.dialogs.errors(), QStringList{u"The files for R would replace out/novel.spc, which the chart was "
                                                   "loaded from."_s});
    }

    // The files of a corpus take a while: the window stays live, and a second click stops them with no file
    // written, not even by a saving that finished meanwhile.
    void savingForRStopsWithNoFileWritten()
    {
        QByteArray measured = "10\r\nTTR\tT1TR\t\r\n";
        QByteArray model = measured;
        for (int row = 1; row <= 300000; ++row) {
            measured += QByteArray::number(row) + "\t1\t\r\n";
            model += QByteArray::number(row) + ".500\t0.750\t\r\n";
        }
        TTRWindow ttr(model, measured);
        ttr.open();
        QVERIFY(QDir().mkdir(u"out"_s));
        ttr.dialogs.answerSaveFile(u"out/corpus"_s);
        ttr.window.BtSaveForR->click();
        QVERIFY(ttr.window.savingForR());
        ttr.window.BtSaveForR->click();
        QVERIFY(!ttr.window.savingForR() && ttr.window.BtSaveForR->isEnabled());
        QTest::qWait(50);
        const auto written = [] {
            return QDir(u"out"_s).entryList(QDir::Files | QDir::Hidden);
        };
        QCOMPARE(written(), QStringList());
        QVERIFY(ttr.dialogs.texts().isEmpty() && ttr.dialogs.errors().isEmpty());

        QVERIFY(ttr.saveForR(u"out/corpus"_s));
        QCOMPARE(written(), (QStringList{u"corpus.emp.vgc"_s, u"corpus.exp.vgc"_s}));
        QCOMPARE(ttr.dialogs.texts().size(), 1);
    }

    void scaleSwitchesTheAxesAsInTheRankFrequencyChart()
    {
        TTRWindow ttr;
        ttr.open();
        ttr.window.Scale->setCurrentIndex(3);
        QVERIFY(ttr.window.Graf->isLogarithmic(ChartAxis::Left) && ttr.window.Graf->isLogarithmic(ChartAxis::Bottom));
    }
};

VOCABRIX_GUI_TEST_MAIN(TTRChartTest)
#include "TTRChartTest.moc"
