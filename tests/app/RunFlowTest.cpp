#include "app/TTRJM.h"

#include "GuiTestMain.h"
#include "MainWindowFixture.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

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

} // namespace

class RunFlowTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void noInputListedAsksForFiles();
    void missingInputFileEndsTheRun();
    void onlyEmptyLinesAreRemovedAndTheRunGoesOn();
    void measureAndModelARealText();
    void nothingCheckedIsDoneAtOnce();
    void unwritableOutputShowsTheErrorAndTheProgramGoesOn();
    void textCutShortByANulIsNotedInTheStatusLine();
    void goChecksTheFieldBeingEditedFirst_data();
    void goChecksTheFieldBeingEditedFirst();

private:
    std::unique_ptr<MainWindowFixture> m_fixture;
    app::THlavni* m_window = nullptr;
    RecordingDialogs* m_dialogs = nullptr;
    RecordingWindows* m_windows = nullptr;
};

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

VOCABRIX_GUI_TEST_MAIN(RunFlowTest)
#include "RunFlowTest.moc"
