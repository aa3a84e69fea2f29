#include "app/Program.h"

#include "app/TTRJM.h"
#include "charts/RFRChartForm.h"
#include "charts/TTRChartForm.h"
#include "info/INFO.h"

#include "GuiTestMain.h"
#include "ModalWatchdog.h"
#include "RecordingDialogs.h"
#include "WorkingDirectory.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <memory>
#include <optional>

using namespace Qt::StringLiterals;

class ProgramTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void startShowsTheMainWindowAlone();
    void windowsCarryTheIconOfTheMenuEntry();
    void infoWindowIsOnlyHiddenByClosing();
    void chartButtonsOpenTheChartsOfARun();
    void chartAlreadyShownIsOnlyBroughtUp();
    void closingTheMainWindowEndsTheProgram();

private:
    std::optional<ScopedTemporaryWorkingDirectory> m_folder;
    std::unique_ptr<ModalWatchdog> m_watchdog;
    std::unique_ptr<RecordingDialogs> m_dialogs;
    std::unique_ptr<app::Program> m_program;
};

void ProgramTest::init()
{
    m_folder.emplace();
    m_watchdog = std::make_unique<ModalWatchdog>();
    m_dialogs = std::make_unique<RecordingDialogs>();
    m_program = std::make_unique<app::Program>(*m_dialogs);
    m_program->start();
    QVERIFY(QTest::qWaitForWindowExposed(&m_program->mainWindow()));
}

void ProgramTest::cleanup()
{
    m_program.reset();
    QVERIFY2(!m_watchdog->tripped(), "a real modal window opened");
    m_watchdog.reset();
    m_folder.reset();
}

void ProgramTest::startShowsTheMainWindowAlone()
{
    QCOMPARE(QApplication::applicationDisplayName(), u"Vocabrix"_s);
    QVERIFY(m_program->mainWindow().isVisible());
    QVERIFY(m_program->rfrChart().isHidden());
    QVERIFY(m_program->ttrChart().isHidden());
    QVERIFY(m_program->infoWindow().isHidden());
    const QList<QWidget*> windows{&m_program->mainWindow(), &m_program->rfrChart(), &m_program->ttrChart(),
                                  &m_program->infoWindow()};
    for (QWidget* window : windows)
        QVERIFY(window->isWindow());
}

void ProgramTest::windowsCarryTheIconOfTheMenuEntry()
{
    // The installed desktop entry and icon are named so; a compositor matches the windows to them by this name.
    QCOMPARE(QGuiApplication::desktopFileName(), u"org.vocabrix.Vocabrix"_s);
    const QList<QSize> sizes = m_program->mainWindow().windowIcon().availableSizes();
    QVERIFY(sizes.contains(QSize(16, 16)));
    QVERIFY(sizes.contains(QSize(256, 256)));
}

void ProgramTest::infoWindowIsOnlyHiddenByClosing()
{
    info::TfrmInfo& info = m_program->infoWindow();
    m_program->mainWindow().InfoBtn->click();
    QVERIFY(QTest::qWaitForWindowExposed(&info));
    info.Button2->click();

    QVERIFY(info.close());
    QVERIFY(info.isHidden());
    m_program->mainWindow().InfoBtn->click();

    QVERIFY(QTest::qWaitForWindowExposed(&info));
    QCOMPARE(info.Button2->text(), u"Terms Of Use"_s);
    QVERIFY(m_program->mainWindow().isVisible());
}

void ProgramTest::chartButtonsOpenTheChartsOfARun()
{
    app::THlavni& main = m_program->mainWindow();
    main.JmenaVstupu->setPlainText(QStringLiteral(VOCABRIX_CORPORA "/en-sexam-readme.utf8-bom.txt"));
    main.Jed->click();
    QTRY_VERIFY(!main.isRunning());

    main.RFRChartBtn->click();
    main.TTRChartBtn->click();

    QCOMPARE(m_dialogs->texts(), QStringList{u"Done!"_s});
    QVERIFY(QTest::qWaitForWindowExposed(&m_program->rfrChart()));
    QCOMPARE(m_program->rfrChart().JmenoZdroje, u"Concordance.txt"_s);
    charts::TTTRChart& ttr = m_program->ttrChart();
    QVERIFY(QTest::qWaitForWindowExposed(&ttr));
    QCOMPARE(ttr.JmenoZdrojeM, u"M.txt"_s);
    QCOMPARE(ttr.JmenoZdrojeC, u"C.txt"_s);
    QVERIFY(ttr.EM);
    QVERIFY(ttr.EC);
    QCOMPARE(ttr.Cislomereni, 1u);
}

void ProgramTest::chartAlreadyShownIsOnlyBroughtUp()
{
    app::THlavni& main = m_program->mainWindow();
    QFile measured(u"M.txt"_s);
    QVERIFY(measured.open(QIODevice::WriteOnly));
    measured.write("1\r\nTTR\t\r\n1\t\r\n");
    measured.close();
    charts::TTTRChart& ttr = m_program->ttrChart();

    main.TTRChartBtn->click();
    QVERIFY(QTest::qWaitForWindowExposed(&ttr));
    main.TTRChartBtn->click();
    QCOMPARE(ttr.Cislomereni, 1u);

    // The existence answers reach the window even when nothing is there to show.
    QVERIFY(QFile::remove(u"M.txt"_s));
    main.TTRChartBtn->click();
    QCOMPARE(m_dialogs->texts(), QStringList{u"C.txt nor M.txt does not exist. Measure some text file(s) first."_s});
    QVERIFY(!ttr.EM);
    QVERIFY(!ttr.EC);
    QVERIFY(ttr.isVisible());
}

void ProgramTest::closingTheMainWindowEndsTheProgram()
{
    m_program->mainWindow().InfoBtn->click();
    QVERIFY(QTest::qWaitForWindowExposed(&m_program->infoWindow()));

    QTimer::singleShot(0, &m_program->mainWindow(), &QWidget::close);
    QTimer giveUp;
    giveUp.setSingleShot(true);
    giveUp.callOnTimeout([] { QApplication::exit(1); });
    giveUp.start(5000);

    QCOMPARE(QApplication::exec(), 0);
}

VOCABRIX_GUI_TEST_MAIN(ProgramTest)
#include "ProgramTest.moc"
