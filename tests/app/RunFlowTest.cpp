#include "app/TTRJM.h"

#include "GuiTestMain.h"
#include "MainWindowFixture.h"

#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <cmath>
#include <map>
#include <memory>
#include <string>

using namespace Qt::StringLiterals;

namespace {

const QString smallText = QStringLiteral(VOCABRIX_CORPORA "/en-sexam-readme.utf8-bom.txt");

QStringList fileLines(const QString& name)
{
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        return {u"<missing>"_s};
    QStringList lines = QString::fromLatin1(file.readAll()).split(u"\r\n"_s);
    if (lines.constLast().isEmpty())
        lines.removeLast();
    return lines;
}

bool exists(const QString& name)
{
    return QFile::exists(name);
}

// The second line of the concordance: its first type and frequency.
QString firstConcordanceEntry()
{
    QFile file(u"Concordance.txt"_s);
    if (!file.open(QIODevice::ReadOnly))
        return u"<missing>"_s;
    return QString::fromUtf8(file.readAll()).split(u"\r\n"_s).value(1);
}

// Opens the input list's context menu as a right click does, and returns its code-page submenu.
QMenu* openCodePageMenu(QPlainTextEdit& list)
{
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(5, 5), list.viewport()->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(list.viewport(), &click);
    auto* contextMenu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (!contextMenu)
        return nullptr;
    for (QAction* entry : contextMenu->actions()) {
        if (entry->menu())
            return entry->menu();
    }
    return nullptr;
}

QString checkedEntry(const QMenu& menu)
{
    for (QAction* entry : menu.actions()) {
        if (entry->isChecked())
            return entry->text();
    }
    return {};
}

// Every file of the folder with its bytes, hidden ones included.
std::map<QString, QByteArray> snapshot()
{
    std::map<QString, QByteArray> files;
    QDirIterator entries(u"."_s, QDir::Files | QDir::Hidden);
    while (entries.hasNext()) {
        QFile file(entries.next());
        files[file.fileName()] = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
    }
    return files;
}

// A text of `tokens` words from a vocabulary of 100,000, the logarithm of a word's rank spread evenly as in a
// language, twelve words a line.
void writeLongText(const QString& path, int tokens)
{
    std::string text;
    text.reserve(size_t(tokens) * 6);
    quint64 state = 1;
    for (int i = 1; i <= tokens; ++i) {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        auto rank = quint64(std::exp(double(state >> 11) * 0x1p-53 * std::log(100000.0)));
        text += 'w';
        for (; rank > 0; rank /= 26)
            text += char('a' + rank % 26);
        text += i % 12 == 0 ? '\n' : ' ';
    }
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(text.data(), qint64(text.size()));
}

// Optimised, the long text is the 10^7 tokens of a corpus; a build with sanitizers and without optimisation reads
// a tenth of it in as long.
#ifdef NDEBUG
constexpr int longTextTokens = 10'000'000;
#else
constexpr int longTextTokens = 1'000'000;
#endif

// The phase a run's status line names, in the order of the phases; -1 for none.
int phaseOf(const QString& status)
{
    const QStringList phases{u"Reading"_s, u"Sorting"_s, u"Model"_s};
    for (int i = 0; i < phases.size(); ++i) {
        if (status.startsWith(phases[i]))
            return i;
    }
    return -1;
}

} // namespace

class RunFlowTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void noInputListedAsksForFiles();
    void missingInputFileEndsTheRun();
    void onlyEmptyLinesAreRemovedAndTheRunGoesOn();
    void measureAndModelARealText();
    void nothingCheckedIsDoneAtOnce();
    void unwritableOutputShowsTheErrorAndTheProgramGoesOn();
    void textCutShortByANulIsNotedInTheStatusLine();
    void codePageChosenInTheListMenuHoldsForLaterRuns();
    void goChecksTheFieldBeingEditedFirst_data();
    void goChecksTheFieldBeingEditedFirst();
    void longRunKeepsTheWindowLiveAndShowsItsProgress();
    void runLocksTheSettingsAndStopsInTime();
    void closingTheWindowStopsTheRunFirst();

private:
    // Starts a run of the long text and waits until it has read a little; false when it never gets there.
    [[nodiscard]] bool startLongRun();

    QTemporaryDir m_longTextFolder;
    QString m_longText;
    std::unique_ptr<MainWindowFixture> m_fixture;
    app::THlavni* m_window = nullptr;
    RecordingDialogs* m_dialogs = nullptr;
    RecordingWindows* m_windows = nullptr;
};

void RunFlowTest::initTestCase()
{
    if (longTextTokens < 10'000'000)
        qInfo("Without optimisation the long text has %d tokens instead of 10^7.", longTextTokens);
    m_longText = m_longTextFolder.filePath(u"long.txt"_s);
    writeLongText(m_longText, longTextTokens);
}

void RunFlowTest::init()
{
    m_fixture = std::make_unique<MainWindowFixture>();
    m_window = m_fixture->window();
    m_dialogs = &m_fixture->dialogs;
    m_windows = &m_fixture->windows;
}

void RunFlowTest::cleanup()
{
    const bool clean = m_fixture->closeCleanly();
    m_fixture.reset();
    QVERIFY2(clean, "a real modal window opened");
}

void RunFlowTest::noInputListedAsksForFiles()
{
    QVERIFY(m_fixture->go());

    QCOMPARE(m_dialogs->texts(), QStringList{u"Use the \"Load input files\" button to determine input files."_s});
    QVERIFY(!exists(u"M.txt"_s));
    QVERIFY(!exists(u"C.txt"_s));
}

void RunFlowTest::missingInputFileEndsTheRun()
{
    m_window->JmenaVstupu->setPlainText(u"\n"_s + smallText + u"\n\n   \nmissing.txt"_s);

    QVERIFY(m_fixture->go());

    // A line of spaces is not empty: it names a file, which does not exist.
    QCOMPARE(m_dialogs->texts(), QStringList{u"The file \"   \" does not exist! The procedure will be terminated."_s});
    QCOMPARE(m_window->JmenaVstupu->toPlainText(), smallText + u"\n   \nmissing.txt"_s);
    QVERIFY(!exists(u"M.txt"_s));
    QVERIFY(!exists(u"Concordance.txt"_s));
    QVERIFY(!exists(u"C.txt"_s));
}

void RunFlowTest::onlyEmptyLinesAreRemovedAndTheRunGoesOn()
{
    m_window->JmenaVstupu->setPlainText(u"\n"_s);
    m_window->ChComputeModel->setChecked(false);

    QVERIFY(m_fixture->go());

    QCOMPARE(m_dialogs->texts(), QStringList{u"Done!"_s});
    QCOMPARE(m_window->JmenaVstupu->toPlainText(), u""_s);
    QCOMPARE(fileLines(u"M.txt"_s), (QStringList{u"10"_s, u"TTR\tT1TR\tT2TR\tT3TR\tT4TR\t"_s}));
}

void RunFlowTest::measureAndModelARealText()
{
    m_window->JmenaVstupu->setPlainText(smallText);
    m_window->FreqOut->setText(u"5"_s);

    QVERIFY(m_fixture->go());

    QCOMPARE(m_dialogs->texts(), QStringList{u"Done!"_s});
    const QStringList measured = fileLines(u"M.txt"_s);
    const QStringList model = fileLines(u"C.txt"_s);
    QCOMPARE(measured.first(), u"5"_s);
    QCOMPARE(model.mid(0, 2), measured.mid(0, 2));
    QCOMPARE(model.size(), measured.size());
    QCOMPARE(fileLines(u"C.sd.txt"_s).size(), model.size());
    QVERIFY(measured.size() > 10);
    QVERIFY(QFile(u"Concordance.txt"_s).size() > 0);
    // Relative names follow the folder last chosen in a dialog: the window says where the files went.
    const QString here = QDir::currentPath();
    QCOMPARE(m_window->StatusLine->text(), u"Done. The files are in "_s + here + u'.');
    QCOMPARE(m_window->JmenoSouboruRFR->toolTip(), here + u"/Concordance.txt"_s);
    QVERIFY(m_window->JmenoSouboruModeluj->toolTip().endsWith(u"etc.\n"_s + here + u"/C.txt"_s));
    m_window->JmenoSouboruModeluj->setText(u"other.txt"_s);
    QCOMPARE(m_window->JmenoSouboruModeluj->toolTip(),
             u"Output will be stored in e.g. \"TC.txt\", \"1C.txt\", \"2C.txt\" etc."_s);
}

void RunFlowTest::nothingCheckedIsDoneAtOnce()
{
    m_window->ChMeasure->setChecked(false);
    m_window->ChComputeModel->setChecked(false);

    QVERIFY(m_fixture->go());

    QCOMPARE(m_dialogs->texts(), QStringList{u"Done!"_s});
    QVERIFY(QDir().entryList(QDir::Files).isEmpty());
}

void RunFlowTest::unwritableOutputShowsTheErrorAndTheProgramGoesOn()
{
    m_window->JmenaVstupu->setPlainText(smallText);
    m_window->JmenoSouboruZmer->setText(u"missing/M.txt"_s);

    QVERIFY(m_fixture->go());
    m_window->JmenoSouboruZmer->setText(u"M.txt"_s);
    QVERIFY(m_fixture->go());

    QCOMPARE(m_dialogs->errors(), QStringList{u"Cannot create file \"missing/M.txt\". No such file or directory"_s});
    QCOMPARE(m_dialogs->messages(), QStringList{u"Done!"_s});
    QVERIFY(exists(u"C.txt"_s));
}

void RunFlowTest::textCutShortByANulIsNotedInTheStatusLine()
{
    QFile text(u"nul.txt"_s);
    QVERIFY(text.open(QIODevice::WriteOnly) && text.write("word\0and ten more bytes", 23) == 23);
    text.close();
    m_window->JmenaVstupu->setPlainText(u"nul.txt"_s);
    m_window->ChComputeModel->setChecked(false);

    QVERIFY(m_fixture->go());
    QCOMPARE(m_dialogs->texts(), QStringList{u"Done!"_s});
    QVERIFY(!m_window->StatusLine->isHidden());
    QCOMPARE(m_window->StatusLine->text(),
             u"Done. The files are in "_s + QDir::currentPath() +
                 u".\nWarning: the text of file \"nul.txt\" ends at a NUL character at byte 4; the 18 bytes after it "
                 "were not read."_s);

    // The next run starts with an empty status line.
    m_window->JmenaVstupu->setPlainText(smallText);
    m_window->ChMeasure->setChecked(false);
    QVERIFY(m_fixture->go());
    QVERIFY(m_window->StatusLine->isHidden());
}

void RunFlowTest::codePageChosenInTheListMenuHoldsForLaterRuns()
{
    // Too short for a guess: read as Windows-1252 unless a code page is chosen.
    QFile text(u"in.txt"_s);
    QVERIFY(text.open(QIODevice::WriteOnly) && text.write("\xEF\xF0\xE8\xE2\xE5\xF2") == 6);
    text.close();
    m_window->JmenaVstupu->setPlainText(u"in.txt"_s);
    m_window->ChComputeModel->setChecked(false);

    QMenu* codePages = openCodePageMenu(*m_window->JmenaVstupu);
    QVERIFY(codePages);
    QCOMPARE(checkedEntry(*codePages), u"&Automatic"_s);
    QApplication::activePopupWidget()->close();
    QVERIFY(m_fixture->go());
    QCOMPARE(firstConcordanceEntry(), u"\u00EF\u00F0\u00E8\u00E2\u00E5\u00F2\t1"_s);

    for (QAction* entry : codePages->actions()) {
        if (entry->text() == u"Cyrillic (windows-1251)")
            entry->trigger();
    }
    QVERIFY(m_fixture->go());
    QVERIFY(m_fixture->go());
    QCOMPARE(firstConcordanceEntry(), u"\u043F\u0440\u0438\u0432\u0435\u0442\t1"_s);
    QCOMPARE(openCodePageMenu(*m_window->JmenaVstupu), codePages);
    QCOMPARE(checkedEntry(*codePages), u"Cyrillic (windows-1251)"_s);
    QCOMPARE(codePages->title(), u"C&ode page of files not in UTF-8: windows-1251"_s);
    QApplication::activePopupWidget()->close();
    QCOMPARE(m_dialogs->texts(), (QStringList{u"Done!"_s, u"Done!"_s, u"Done!"_s}));
}

void RunFlowTest::goChecksTheFieldBeingEditedFirst_data()
{
    QTest::addColumn<QString>("trigger");

    QTest::newRow("mouse click") << u"mouse"_s;
    QTest::newRow("click without moving the focus") << u"click"_s;
    QTest::newRow("Ctrl+Return") << u"keys"_s;
    QTest::newRow("window not active") << u"inactive"_s;
}

void RunFlowTest::goChecksTheFieldBeingEditedFirst()
{
    QFETCH(QString, trigger);
    m_window->JmenaVstupu->setPlainText(smallText);
    m_window->ChComputeModel->setChecked(false);
    if (trigger != u"inactive"_s)
        QVERIFY(m_fixture->showActive());
    m_window->FreqOut->setFocus();
    m_window->FreqOut->setText(u"-20"_s);

    if (trigger == u"mouse"_s)
        QTest::mouseClick(m_window->Jed, Qt::LeftButton);
    else if (trigger == u"keys"_s)
        QTest::keyClick(m_window->FreqOut, Qt::Key_Return, Qt::ControlModifier);
    else
        QVERIFY(m_fixture->go());
    QVERIFY(m_fixture->waitForRun());

    QCOMPARE(m_dialogs->texts(), QStringList{u"Done!"_s});
    QCOMPARE(m_window->FreqOut->text(), u"20"_s);
    QCOMPARE(fileLines(u"M.txt"_s).first(), u"20"_s);
}

// A long run leaves the window answering: a 10 ms timer is never held up for 100 ms. The progress of each phase
// only rises, and the bar is full at the end.
void RunFlowTest::longRunKeepsTheWindowLiveAndShowsItsProgress()
{
    m_window->JmenaVstupu->setPlainText(m_longText);
    m_window->FreqOut->setText(u"1000"_s);
    QVERIFY(m_fixture->showActive());
    QElapsedTimer sinceTick;
    qint64 longestGap = 0;
    QList<std::pair<int, int>> samples;
    QTimer tick;
    tick.callOnTimeout([&] {
        longestGap = std::max(longestGap, sinceTick.restart());
        if (const int phase = phaseOf(m_window->StatusLine->text()); phase >= 0 && m_window->isRunning())
            samples.append({phase, m_window->ProgressBar->value()});
    });
    sinceTick.start();
    tick.start(10);

    QVERIFY(m_fixture->go(300000));
    tick.stop();

    QCOMPARE(m_dialogs->texts(), QStringList{u"Done!"_s});
    QVERIFY2(longestGap < 100, qPrintable(u"the window was held up for %1 ms"_s.arg(longestGap)));
    QVERIFY(samples.size() > 10);
    for (qsizetype i = 1; i < samples.size(); ++i) {
        QVERIFY(samples[i].first >= samples[i - 1].first);
        if (samples[i].first == samples[i - 1].first)
            QVERIFY2(samples[i].second >= samples[i - 1].second, qPrintable(QString::number(i)));
    }
    QCOMPARE(samples.first().first, 0);
    QCOMPARE(m_window->ProgressBar->value(), m_window->ProgressBar->maximum());
    QVERIFY(m_window->ProgressBar->isHidden());
}

bool RunFlowTest::startLongRun()
{
    m_window->JmenaVstupu->setPlainText(m_longText);
    m_window->Jed->click();
    return QTest::qWaitFor([this] { return m_window->ProgressBar->value() > 20; }, 60000);
}

// While a run goes on, nothing changes what it was started with: the list refuses drops, Delete and typing, and
// every setting and "Go!" wait. "Stop" ends the run within 200 ms, without a box, with every file as it was.
void RunFlowTest::runLocksTheSettingsAndStopsInTime()
{
    for (const QString& output : {u"M.txt"_s, u"C.txt"_s, u"Concordance.txt"_s}) {
        QFile file(output);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("older") == 5);
    }
    const std::map<QString, QByteArray> before = snapshot();
    QVERIFY(m_fixture->showActive());
    QVERIFY(startLongRun());

    QCOMPARE(m_window->cursor().shape(), Qt::BusyCursor);
    for (QWidget* control :
         std::initializer_list<QWidget*>{m_window->Jed, m_window->Nacti, m_window->btnclear, m_window->FreqFrom,
                                         m_window->ChMeasure, m_window->JmenoSouboruRFR, m_window->ChangeC})
        QVERIFY2(!control->isEnabled(), qPrintable(control->objectName()));
    QVERIFY(m_window->RFRChartBtn->isEnabled());
    m_window->JmenaVstupu->setFocus();
    m_window->JmenaVstupu->selectAll();
    QTest::keyClick(m_window->JmenaVstupu, Qt::Key_Delete);
    QTest::keyClicks(m_window->JmenaVstupu, u"x"_s);
    QTest::keyClick(m_window->JmenaVstupu, Qt::Key_O, Qt::ControlModifier);
    QMimeData dragged;
    dragged.setUrls({QUrl::fromLocalFile(QDir().absoluteFilePath(u"M.txt"_s))});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &dragged, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(m_window->JmenaVstupu->viewport(), &enter);
    QVERIFY(!enter.isAccepted());
    QCOMPARE(m_window->JmenaVstupu->toPlainText(), m_longText);

    QElapsedTimer stopping;
    stopping.start();
    m_window->Stop->click();
    QVERIFY(m_fixture->waitForRun());
    QVERIFY2(stopping.elapsed() < 200, qPrintable(u"stopping took %1 ms"_s.arg(stopping.elapsed())));

    QCOMPARE(m_dialogs->texts(), QStringList());
    QCOMPARE(m_window->StatusLine->text(), u"Stopped: no output file was changed."_s);
    QVERIFY(snapshot() == before);
    QVERIFY(m_window->Jed->isEnabled());
    QCOMPARE(m_window->cursor().shape(), Qt::ArrowCursor);
}

// Closing the window stops the run and closes once the run has ended, with nothing written.
void RunFlowTest::closingTheWindowStopsTheRunFirst()
{
    QVERIFY(m_fixture->showActive());
    QVERIFY(startLongRun());

    QVERIFY(!m_window->close());
    QTRY_VERIFY(!m_window->isVisible());

    QVERIFY(!m_window->isRunning());
    QCOMPARE(m_dialogs->texts(), QStringList());
    QVERIFY(snapshot().empty());
}

VOCABRIX_GUI_TEST_MAIN(RunFlowTest)
#include "RunFlowTest.moc"
