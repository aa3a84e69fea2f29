#include "app/TTRJM.h"

#include "GuiTestMain.h"
#include "MainWindowFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <QUrl>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

void createFile(const QString& name)
{
    QFile file(name);
    QVERIFY(file.open(QIODevice::WriteOnly));
}

} // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void controlsStartWithTheirDefaults_data();
    void controlsStartWithTheirDefaults();
    void formatListOffersTheTokenizers();
    void windowHasItsDesignedSize();
    void wideningStretchesTheFileFieldsOnly();

    void leavingAClassEditChecksTheRange_data();
    void leavingAClassEditChecksTheRange();
    void leavingTheDensityEditChecksIt_data();
    void leavingTheDensityEditChecksIt();
    void leavingAFileNameEditChecksIt_data();
    void leavingAFileNameEditChecksIt();
    void onlyALeavingFocusChecksTheField_data();
    void onlyALeavingFocusChecksTheField();

    void loadAppendsTheChosenFiles_data();
    void loadAppendsTheChosenFiles();
    void clearEmptiesTheList();
    void changeButtonsShareOneSaveDialog();
    void cancelledChangeKeepsTheName();

    void rfrChartNeedsTheConcordance();
    void ttrChartNeedsAtLeastOneCurveFile_data();
    void ttrChartNeedsAtLeastOneCurveFile();
    void infoButtonOpensTheInfoWindow();

    void droppedFilesJoinTheList_data();
    void droppedFilesJoinTheList();
    void deleteRemovesTheSelectedLines_data();
    void deleteRemovesTheSelectedLines();

    void everyButtonAndBoxHasItsOwnMnemonic();
    void shortcutsClickTheirButtons_data();
    void shortcutsClickTheirButtons();
    void tabFollowsTheReadingOrder();

private:
    [[nodiscard]] bool showActive() { return m_fixture->showActive(); }
    void leave(QLineEdit* edit, const QString& text);
    QLineEdit* edit(const QString& name) const;

    std::unique_ptr<MainWindowFixture> m_fixture;
    app::THlavni* m_window = nullptr;
    RecordingDialogs* m_dialogs = nullptr;
    RecordingWindows* m_windows = nullptr;
};

void MainWindowTest::init()
{
    m_fixture = std::make_unique<MainWindowFixture>();
    m_window = m_fixture->window();
    m_dialogs = &m_fixture->dialogs;
    m_windows = &m_fixture->windows;
}

void MainWindowTest::cleanup()
{
    const bool clean = m_fixture->closeCleanly();
    m_fixture.reset();
    QVERIFY2(clean, "a real modal window opened");
}

// Types into the edit as the user would and leaves it with the Tab key.
void MainWindowTest::leave(QLineEdit* field, const QString& text)
{
    field->setFocus(Qt::MouseFocusReason);
    QVERIFY(field->hasFocus());
    field->clear();
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Tab);
    QVERIFY(!field->hasFocus());
}

QLineEdit* MainWindowTest::edit(const QString& name) const
{
    return m_window->findChild<QLineEdit*>(name);
}

void MainWindowTest::controlsStartWithTheirDefaults_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<QVariant>("expected");

    const auto row = [](const QString& control, const char* property, const QVariant& expected) {
        QTest::addRow("%s.%s", qPrintable(control), property) << control << QByteArray(property) << expected;
    };
    row(u"JmenaVstupu"_s, "plainText", u""_s);
    row(u"Nacti"_s, "text", u"&Load input files"_s);
    row(u"InputDruh"_s, "currentIndex", 0);
    row(u"InputDruh"_s, "toolTip", u"Input files format"_s);
    row(u"FreqFromLabel"_s, "text", u"Types of &frequency from  "_s);
    row(u"FreqFrom"_s, "text", u"1"_s);
    row(u"FreqToLabel"_s, "text", u"t&o  "_s);
    row(u"FreqTo"_s, "text", u"4"_s);
    row(u"ChTTR"_s, "text", u"T&ype-token relation"_s);
    row(u"ChTTR"_s, "checked", true);
    row(u"ChMeasure"_s, "text", u"&Measure and save to file:"_s);
    row(u"ChMeasure"_s, "checked", true);
    row(u"JmenoSouboruZmer"_s, "text", u"M.txt"_s);
    row(u"JmenoSouboruZmer"_s, "toolTip", u"Output will be stored in e.g. \"TM.txt\", \"1M.txt\", \"2M.txt\" etc."_s);
    row(u"ChangeM"_s, "text", u"C&hange"_s);
    row(u"ChComputeModel"_s, "text", u"&Compute the model and save to file"_s);
    row(u"ChComputeModel"_s, "checked", true);
    row(u"JmenoSouboruModeluj"_s, "text", u"C.txt"_s);
    row(u"JmenoSouboruModeluj"_s, "toolTip",
        u"Output will be stored in e.g. \"TC.txt\", \"1C.txt\", \"2C.txt\" etc."_s);
    row(u"ChangeC"_s, "text", u"Ch&ange"_s);
    row(u"FreqOutLabel"_s, "text", u"Output &every   "_s);
    row(u"FreqOut"_s, "text", u"10"_s);
    row(u"Label1"_s, "text", u"token"_s);
    row(u"ChRFR"_s, "text", u"&Save the concordance to file:  "_s);
    row(u"ChRFR"_s, "checked", true);
    row(u"JmenoSouboruRFR"_s, "text", u"Concordance.txt"_s);
    row(u"ChangeRFR"_s, "text", u"Cha&nge"_s);
    row(u"Jed"_s, "text", u"&Go!"_s);
    row(u"RFRChartBtn"_s, "text", u"View &RFR Chart"_s);
    row(u"TTRChartBtn"_s, "text", u"View &TTR Chart"_s);
    row(u"InfoBtn"_s, "text", u"&Info"_s);
    row(u"NumberOfCoresLabel"_s, "text", u"Number of threads you want to use: "_s);
    row(u"NumberOfCoresEdit"_s, "text", u"4"_s);
}

void MainWindowTest::controlsStartWithTheirDefaults()
{
    QFETCH(QString, control);
    QFETCH(QByteArray, property);
    QFETCH(QVariant, expected);

    QWidget* widget = m_window->findChild<QWidget*>(control);
    QVERIFY(widget != nullptr);
    QCOMPARE(widget->property(property.constData()), expected);
}

void MainWindowTest::formatListOffersTheTokenizers()
{
    QStringList items;
    for (int index = 0; index < m_window->InputDruh->count(); ++index)
        items.append(m_window->InputDruh->itemText(index));
    QCOMPARE(items, (QStringList{u"Standard text (UTF-8)"_s, u"Arabic text (UTF-8), vocalisation insensitive"_s,
                                 u"Words delimited by new lines (any codepage)"_s,
                                 u"Words delimited by white spaces (UTF-8)"_s, u"Words delimited by tabs (UTF-8)"_s}));
    QVERIFY(!m_window->InputDruh->isEditable());
}

void MainWindowTest::windowHasItsDesignedSize()
{
    QVERIFY(showActive());
    QCOMPARE(m_window->windowTitle(), u"TTR, HTR, etc"_s);
    QCOMPARE(m_window->size(), QSize(398, 442));
    QCOMPARE(m_window->maximumHeight(), 442);
    QCOMPARE(m_window->minimumHeight(), 412);
    QVERIFY(m_window->minimumWidth() <= 398);
    QVERIFY(m_window->ProgressBar->isHidden());
    QVERIFY(m_window->NumberOfCoresEdit->isHidden());
    QVERIFY(m_window->NumberOfCoresLabel->isHidden());

    // Nothing overlaps and nothing is cut off at the designed size.
    const QList<QWidget*> controls = m_window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* control : controls) {
        if (control->isHidden())
            continue;
        QVERIFY2(m_window->rect().contains(control->geometry()), qPrintable(control->objectName()));
        QVERIFY2(control->width() >= control->minimumSizeHint().width(), qPrintable(control->objectName()));
        for (QWidget* other : controls) {
            if (other != control && !other->isHidden())
                QVERIFY2(!control->geometry().intersects(other->geometry()),
                         qPrintable(control->objectName() + u" overlaps "_s + other->objectName()));
        }
    }
}

void MainWindowTest::wideningStretchesTheFileFieldsOnly()
{
    QVERIFY(showActive());
    const auto geometries = [this] {
        QHash<QString, QRect> result;
        for (QWidget* control : m_window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            result.insert(control->objectName(), control->geometry());
        return result;
    };
    const QHash<QString, QRect> before = geometries();
    m_window->resize(m_window->width() + 150, m_window->height());
    QTRY_COMPARE(m_window->JmenaVstupu->width(), before[u"JmenaVstupu"_s].width() + 150);
    const QHash<QString, QRect> after = geometries();

    for (const QString& stretching : {u"JmenoSouboruZmer"_s, u"JmenoSouboruModeluj"_s, u"JmenoSouboruRFR"_s}) {
        QCOMPARE(after[stretching].left(), before[stretching].left());
        QCOMPARE(after[stretching].width(), before[stretching].width() + 150);
    }
    for (const QString& rightAligned :
         {u"btnclear"_s, u"Nacti"_s, u"ChangeM"_s, u"ChangeC"_s, u"ChangeRFR"_s, u"InfoBtn"_s}) {
        QCOMPARE(after[rightAligned].size(), before[rightAligned].size());
        QCOMPARE(after[rightAligned].left(), before[rightAligned].left() + 150);
    }
    for (const QString& staying : {u"FreqFrom"_s, u"FreqOut"_s, u"Jed"_s, u"RFRChartBtn"_s, u"TTRChartBtn"_s})
        QCOMPARE(after[staying], before[staying]);
}

void MainWindowTest::leavingAClassEditChecksTheRange_data()
{
    QTest::addColumn<QString>("left");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("expectedFrom");
    QTest::addColumn<QString>("expectedTo");

    QTest::newRow("no number from") << u"FreqFrom"_s << u"abc"_s << u"7"_s << u"0"_s << u"0"_s;
    QTest::newRow("negative from") << u"FreqFrom"_s << u"-3"_s << u"2"_s << u"3"_s << u"2"_s;
    QTest::newRow("to below from") << u"FreqTo"_s << u"5"_s << u"2"_s << u"5"_s << u"5"_s;
    QTest::newRow("trailing space") << u"FreqFrom"_s << u"12 "_s << u"20"_s << u"0"_s << u"20"_s;
    QTest::newRow("no number to") << u"FreqTo"_s << u"2"_s << u"x"_s << u"2"_s << u"2"_s;
    QTest::newRow("negative to, compared before correcting") << u"FreqTo"_s << u"1"_s << u"-6"_s << u"1"_s << u"1"_s;
    QTest::newRow("no classes") << u"FreqTo"_s << u"0"_s << u"4"_s << u"0"_s << u"0"_s;
    QTest::newRow("hexadecimal") << u"FreqFrom"_s << u"$10"_s << u"20"_s << u"$10"_s << u"20"_s;
    QTest::newRow("valid range") << u"FreqFrom"_s << u"2"_s << u"9"_s << u"2"_s << u"9"_s;
}

void MainWindowTest::leavingAClassEditChecksTheRange()
{
    QFETCH(QString, left);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QVERIFY(showActive());
    // The other edit's text is put in without leaving it, as if typed before the checks existed.
    QLineEdit* const other = left == u"FreqFrom"_s ? m_window->FreqTo : m_window->FreqFrom;
    other->setText(left == u"FreqFrom"_s ? to : from);

    leave(edit(left), left == u"FreqFrom"_s ? from : to);

    QTEST(m_window->FreqFrom->text(), "expectedFrom");
    QTEST(m_window->FreqTo->text(), "expectedTo");
    QCOMPARE(m_dialogs->entries().size(), 0);
}

void MainWindowTest::leavingTheDensityEditChecksIt_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    QTest::newRow("zero") << u"0"_s << u"1"_s;
    QTest::newRow("empty") << u""_s << u"1"_s;
    QTest::newRow("letter") << u"x"_s << u"1"_s;
    QTest::newRow("negative") << u"-20"_s << u"20"_s;
    QTest::newRow("beyond 32 bits") << u"99999999999"_s << u"1"_s;
    QTest::newRow("negative then letter") << u"-5x"_s << u"1"_s;
    QTest::newRow("leading spaces stay") << u"  25"_s << u"  25"_s;
    QTest::newRow("plain") << u"100"_s << u"100"_s;
}

void MainWindowTest::leavingTheDensityEditChecksIt()
{
    QFETCH(QString, text);
    QVERIFY(showActive());

    leave(m_window->FreqOut, text);

    QTEST(m_window->FreqOut->text(), "expected");
}

void MainWindowTest::leavingAFileNameEditChecksIt_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    QTest::newRow("ends in backslash") << u"JmenoSouboruZmer"_s << u"C:\\data\\"_s << u"JmenoSouboruZmer.txt"_s;
    QTest::newRow("extension only") << u"JmenoSouboruZmer"_s << u".txt"_s << u"JmenoSouboruZmer.txt"_s;
    QTest::newRow("no extension stays") << u"JmenoSouboruZmer"_s << u"results"_s << u"results"_s;
    QTest::newRow("empty model") << u"JmenoSouboruModeluj"_s << u""_s << u"JmenoSouboruModeluj.txt"_s;
    QTest::newRow("drive only") << u"JmenoSouboruModeluj"_s << u"D:"_s << u"JmenoSouboruModeluj.txt"_s;
    QTest::newRow("folder only") << u"JmenoSouboruRFR"_s << u"out/"_s << u"JmenoSouboruRFR.txt"_s;
    QTest::newRow("hidden name") << u"JmenoSouboruRFR"_s << u"out/.conc"_s << u"JmenoSouboruRFR.txt"_s;
    QTest::newRow("path stays") << u"JmenoSouboruRFR"_s << u"out/words.txt"_s << u"out/words.txt"_s;
}

void MainWindowTest::leavingAFileNameEditChecksIt()
{
    QFETCH(QString, control);
    QFETCH(QString, text);
    QVERIFY(showActive());

    leave(edit(control), text);

    QTEST(edit(control)->text(), "expected");
}

void MainWindowTest::onlyALeavingFocusChecksTheField_data()
{
    QTest::addColumn<Qt::FocusReason>("reason");
    QTest::addColumn<QString>("expected");

    QTest::newRow("tab") << Qt::TabFocusReason << u"1"_s;
    QTest::newRow("backtab") << Qt::BacktabFocusReason << u"1"_s;
    QTest::newRow("mouse") << Qt::MouseFocusReason << u"1"_s;
    QTest::newRow("shortcut") << Qt::ShortcutFocusReason << u"1"_s;
    QTest::newRow("other") << Qt::OtherFocusReason << u"1"_s;
    QTest::newRow("other window") << Qt::ActiveWindowFocusReason << u"0"_s;
    QTest::newRow("pop-up menu") << Qt::PopupFocusReason << u"0"_s;
}

void MainWindowTest::onlyALeavingFocusChecksTheField()
{
    QFETCH(Qt::FocusReason, reason);
    m_window->FreqOut->setText(u"0"_s);

    QFocusEvent focusOut(QEvent::FocusOut, reason);
    QCoreApplication::sendEvent(m_window->FreqOut, &focusOut);

    QTEST(m_window->FreqOut->text(), "expected");
}

void MainWindowTest::loadAppendsTheChosenFiles_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QStringList>("chosen");
    QTest::addColumn<QString>("after");

    const QStringList two{u"/texts/a.txt"_s, u"/texts/b b.txt"_s};
    QTest::newRow("empty list") << u""_s << two << u"/texts/a.txt\n/texts/b b.txt"_s;
    QTest::newRow("after a line") << u"first.txt"_s << two << u"first.txt\n/texts/a.txt\n/texts/b b.txt"_s;
    QTest::newRow("after a line break") << u"first.txt\n"_s << two << u"first.txt\n/texts/a.txt\n/texts/b b.txt"_s;
    QTest::newRow("after an empty line") << u"first.txt\n\n"_s << two << u"first.txt\n\n/texts/a.txt\n/texts/b b.txt"_s;
    QTest::newRow("cancelled") << u"first.txt"_s << QStringList() << u"first.txt"_s;
}

void MainWindowTest::loadAppendsTheChosenFiles()
{
    QFETCH(QString, before);
    QFETCH(QStringList, chosen);
    m_window->JmenaVstupu->setPlainText(before);
    m_dialogs->answerOpenFiles(chosen);

    m_window->Nacti->click();

    QTEST(m_window->JmenaVstupu->toPlainText(), "after");
    QCOMPARE(m_dialogs->entries().size(), 1);
    QCOMPARE(m_dialogs->entries().first().kind, RecordingDialogs::Kind::OpenFiles);
    QCOMPARE(m_dialogs->entries().first().text, u"Load text input files (UTF-8)"_s);
}

void MainWindowTest::clearEmptiesTheList()
{
    m_window->JmenaVstupu->setPlainText(u"first.txt\nsecond.txt"_s);

    m_window->btnclear->click();

    QCOMPARE(m_window->JmenaVstupu->toPlainText(), u""_s);
}

void MainWindowTest::changeButtonsShareOneSaveDialog()
{
    QVERIFY(showActive());
    m_dialogs->answerSaveFile(u"/out/measured"_s);
    m_dialogs->answerSaveFile(u"/out/.model"_s);
    m_dialogs->answerSaveFile(u"/out/words.txt"_s);

    QTest::mouseClick(m_window->ChangeM, Qt::LeftButton);
    QTest::mouseClick(m_window->ChangeC, Qt::LeftButton);
    QTest::mouseClick(m_window->ChangeRFR, Qt::LeftButton);

    // The chosen paths go in as they are, even a name the check on leaving the field would replace.
    QCOMPARE(m_window->JmenoSouboruZmer->text(), u"/out/measured"_s);
    QCOMPARE(m_window->JmenoSouboruModeluj->text(), u"/out/.model"_s);
    QCOMPARE(m_window->JmenoSouboruRFR->text(), u"/out/words.txt"_s);
    QStringList proposed;
    for (const dialogs::SaveFileRequest& request : m_dialogs->saveRequests()) {
        QCOMPARE(request.title, u"Save the output to the file:"_s);
        QCOMPARE(request.defaultExtension, u""_s);
        proposed.append(request.proposedName);
    }
    QCOMPARE(proposed, (QStringList{u""_s, u"/out/measured"_s, u"/out/.model"_s}));
    QCOMPARE(m_dialogs->texts(), QStringList());
}

void MainWindowTest::cancelledChangeKeepsTheName()
{
    m_dialogs->answerSaveFile(u"/out/first.txt"_s);
    m_dialogs->answerSaveFile(std::nullopt);
    m_dialogs->answerSaveFile(std::nullopt);

    m_window->ChangeM->click();
    m_window->ChangeC->click();
    m_window->ChangeM->click();

    QCOMPARE(m_window->JmenoSouboruZmer->text(), u"/out/first.txt"_s);
    QCOMPARE(m_window->JmenoSouboruModeluj->text(), u"C.txt"_s);
    // A cancelled dialog still opens next time with the path chosen last.
    QCOMPARE(m_dialogs->saveRequests().last().proposedName, u"/out/first.txt"_s);
}

void MainWindowTest::rfrChartNeedsTheConcordance()
{
    m_window->RFRChartBtn->click();
    QDir().mkdir(u"folder.txt"_s);
    m_window->JmenoSouboruRFR->setText(u"folder.txt"_s);
    m_window->RFRChartBtn->click();
    createFile(u"words.txt"_s);
    m_window->JmenoSouboruRFR->setText(u"words.txt"_s);
    m_window->RFRChartBtn->click();

    QCOMPARE(m_dialogs->texts(), (QStringList{u"Concordance.txt does not exist. Measure some text file(s) first."_s,
                                              u"folder.txt does not exist. Measure some text file(s) first."_s}));
    QCOMPARE(m_windows->calls, QStringList{u"RFR chart words.txt"_s});
}

void MainWindowTest::ttrChartNeedsAtLeastOneCurveFile_data()
{
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<QStringList>("messages");

    QTest::newRow("neither") << QStringList() << QStringList{u"TTR chart EM=false EC=false"_s}
                             << QStringList{u"C.txt nor M.txt does not exist. Measure some text file(s) first."_s};
    QTest::newRow("measured only") << QStringList{u"M.txt"_s}
                                   << QStringList{u"TTR chart EM=true EC=false"_s,
                                                  u"TTR chart M=M.txt C=C.txt K=Concordance.txt"_s}
                                   << QStringList();
    QTest::newRow("model only") << QStringList{u"C.txt"_s}
                                << QStringList{u"TTR chart EM=false EC=true"_s,
                                               u"TTR chart M=M.txt C=C.txt K=Concordance.txt"_s}
                                << QStringList();
    QTest::newRow("both") << QStringList{u"M.txt"_s, u"C.txt"_s}
                          << QStringList{u"TTR chart EM=true EC=true"_s,
                                         u"TTR chart M=M.txt C=C.txt K=Concordance.txt"_s}
                          << QStringList();
}

void MainWindowTest::ttrChartNeedsAtLeastOneCurveFile()
{
    QFETCH(QStringList, existing);
    for (const QString& name : existing)
        createFile(name);

    m_window->TTRChartBtn->click();

    QTEST(m_windows->calls, "calls");
    QTEST(m_dialogs->texts(), "messages");
}

void MainWindowTest::infoButtonOpensTheInfoWindow()
{
    m_window->InfoBtn->click();

    QCOMPARE(m_windows->calls, QStringList{u"Info"_s});
}

void MainWindowTest::droppedFilesJoinTheList_data()
{
    QTest::addColumn<QString>("under");
    QTest::addColumn<QStringList>("dragged");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("errors");

    // Names are relative to the test's folder, which the test puts in as "%1".
    const QString folderError = u"Cannot open file \"%1/folder\". Is a directory"_s;
    QTest::newRow("a file on the list") << u"JmenaVstupu"_s << QStringList{u"a.txt"_s} << true
                                        << QStringList{u"a.txt"_s} << QStringList();
    QTest::newRow("two files on a field") << u"FreqFrom"_s << QStringList{u"a.txt"_s, u"b b.txt"_s} << true
                                          << QStringList{u"a.txt"_s, u"b b.txt"_s} << QStringList();
    QTest::newRow("a folder on a button")
        << u"Jed"_s << QStringList{u"folder"_s} << true << QStringList() << QStringList{folderError};
    QTest::newRow("folders among files") << u"Hlavni"_s << QStringList{u"folder"_s, u"a.txt"_s, u"empty"_s} << true
                                         << QStringList{u"a.txt"_s}
                                         << QStringList{folderError +
                                                        u"\nCannot open file \"%1/empty\". Is a directory"_s};
    QTest::newRow("a web address on the list")
        << u"JmenaVstupu"_s << QStringList{u"https://example.org/a.txt"_s} << false << QStringList() << QStringList();
    QTest::newRow("a file with a web address") << u"FreqTo"_s << QStringList{u"a.txt"_s, u"https://example.org/b.txt"_s}
                                               << false << QStringList() << QStringList();
}

// Sends a drag from a file manager over the control named `under`, then drops it there.
void MainWindowTest::droppedFilesJoinTheList()
{
    QFETCH(QString, under);
    QFETCH(QStringList, dragged);
    QFETCH(bool, accepted);
    QFETCH(QStringList, lines);
    QFETCH(QStringList, errors);
    createFile(u"a.txt"_s);
    createFile(u"b b.txt"_s);
    QVERIFY(QDir().mkdir(u"folder"_s));
    QVERIFY(QDir().mkdir(u"empty"_s));
    const QDir here;
    QList<QUrl> urls;
    for (const QString& name : dragged)
        urls.append(name.startsWith(u"https:"_s) ? QUrl(name) : QUrl::fromLocalFile(here.absoluteFilePath(name)));
    QMimeData data;
    data.setUrls(urls);
    QWidget* target = under == u"Hlavni"_s ? m_window : m_window->findChild<QWidget*>(under);
    if (target == m_window->JmenaVstupu)
        target = m_window->JmenaVstupu->viewport();
    // The window system hands a drag to the first widget under the cursor that takes drops.
    while (!target->acceptDrops())
        target = target->parentWidget();

    // Shift asks the file manager to move the files; the drop must only ever copy them.
    const Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, offered, &data, Qt::LeftButton, Qt::ShiftModifier);
    QCoreApplication::sendEvent(target, &enter);
    QDragMoveEvent move(at, offered, &data, Qt::LeftButton, Qt::ShiftModifier);
    QCoreApplication::sendEvent(target, &move);
    // Even a drop the drag was refused for must not put anything into a field.
    QDropEvent drop(at, offered, &data, Qt::LeftButton, Qt::ShiftModifier);
    QCoreApplication::sendEvent(target, &drop);
    QCOMPARE(m_dialogs->texts(), QStringList());
    QCoreApplication::processEvents();

    QCOMPARE(enter.isAccepted(), accepted);
    QCOMPARE(move.isAccepted(), accepted);
    if (accepted)
        QCOMPARE(drop.dropAction(), Qt::CopyAction);
    QStringList expectedLines;
    for (const QString& name : lines)
        expectedLines.append(here.absoluteFilePath(name));
    QCOMPARE(m_window->JmenaVstupu->toPlainText(), expectedLines.join(u'\n'));
    QCOMPARE(m_window->FreqFrom->text(), u"1"_s);
    QCOMPARE(m_window->FreqTo->text(), u"4"_s);
    for (QString& error : errors)
        error = error.arg(here.absolutePath());
    QCOMPARE(m_dialogs->errors(), errors);
    QCOMPARE(m_dialogs->messages(), QStringList());
}

void MainWindowTest::deleteRemovesTheSelectedLines_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<QString>("after");

    // The list is "a.txt\nb.txt\nc.txt": the lines start at 0, 6 and 12.
    QTest::newRow("across a line break") << 2 << 8 << u"c.txt"_s;
    QTest::newRow("a whole line") << 6 << 11 << u"a.txt\nc.txt"_s;
    QTest::newRow("a line and its break") << 6 << 12 << u"a.txt\nc.txt"_s;
    QTest::newRow("backwards up to the last line") << 17 << 8 << u"a.txt"_s;
    QTest::newRow("part of a line is edited") << 7 << 9 << u"a.txt\nbxt\nc.txt"_s;
    QTest::newRow("no selection is edited") << 6 << 6 << u"a.txt\n.txt\nc.txt"_s;
}

void MainWindowTest::deleteRemovesTheSelectedLines()
{
    QFETCH(int, from);
    QFETCH(int, to);
    const QString before = u"a.txt\nb.txt\nc.txt"_s;
    m_window->JmenaVstupu->setPlainText(before);
    QVERIFY(showActive());
    m_window->JmenaVstupu->setFocus();
    QTextCursor cursor = m_window->JmenaVstupu->textCursor();
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    m_window->JmenaVstupu->setTextCursor(cursor);

    QTest::keyClick(m_window->JmenaVstupu, Qt::Key_Delete);

    QTEST(m_window->JmenaVstupu->toPlainText(), "after");
    m_window->JmenaVstupu->undo();
    QCOMPARE(m_window->JmenaVstupu->toPlainText(), before);
}

void MainWindowTest::everyButtonAndBoxHasItsOwnMnemonic()
{
    QStringList keys;
    for (QAbstractButton* button : m_window->findChildren<QAbstractButton*>()) {
        // The picture button has no text to underline; it is reached with the Tab key.
        if (button == m_window->btnclear)
            continue;
        const QKeySequence key = QKeySequence::mnemonic(button->text());
        QVERIFY2(!key.isEmpty(), qPrintable(button->objectName()));
        keys.append(key.toString());
    }
    for (QLabel* label : m_window->findChildren<QLabel*>()) {
        if (label->buddy() != nullptr && !label->isHidden())
            keys.append(QKeySequence::mnemonic(label->text()).toString());
    }
    const QSet<QString> distinct(keys.cbegin(), keys.cend());
    QCOMPARE(distinct.size(), keys.size());
}

void MainWindowTest::shortcutsClickTheirButtons_data()
{
    QTest::addColumn<QString>("focused");
    QTest::addColumn<QKeyCombination>("keys");
    QTest::addColumn<bool>("goEnabled");
    QTest::addColumn<QStringList>("heard");

    const QStringList noInput{u"Use the \"Load input files\" button to determine input files."_s};
    QTest::newRow("Ctrl+O") << u"FreqFrom"_s << (Qt::CTRL | Qt::Key_O) << true
                            << QStringList{u"Load text input files (UTF-8)"_s};
    QTest::newRow("F1") << u"InputDruh"_s << QKeyCombination(Qt::Key_F1) << true << QStringList{u"Info"_s};
    QTest::newRow("Ctrl+Return in the list") << u"JmenaVstupu"_s << (Qt::CTRL | Qt::Key_Return) << true << noInput;
    QTest::newRow("keypad Ctrl+Enter") << u"ChTTR"_s
                                       << QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_Enter)
                                       << true << noInput;
    QTest::newRow("Go! disabled") << u"FreqOut"_s << (Qt::CTRL | Qt::Key_Return) << false << QStringList();
}

void MainWindowTest::shortcutsClickTheirButtons()
{
    QFETCH(QString, focused);
    QFETCH(QKeyCombination, keys);
    QFETCH(bool, goEnabled);
    QFETCH(QStringList, heard);
    m_window->Jed->setEnabled(goEnabled);
    m_dialogs->answerOpenFiles({});
    QVERIFY(showActive());
    QWidget* field = m_window->findChild<QWidget*>(focused);
    field->setFocus();

    QTest::keyClick(field, keys.key(), keys.keyboardModifiers());
    QTRY_VERIFY(!m_window->isRunning());

    QStringList heardNow = m_windows->calls;
    for (const RecordingDialogs::Entry& entry : m_dialogs->entries())
        heardNow.append(entry.text);
    QCOMPARE(heardNow, heard);
    // The keys start the run; they do not break a line of the list.
    QCOMPARE(m_window->JmenaVstupu->toPlainText(), u""_s);
}

void MainWindowTest::tabFollowsTheReadingOrder()
{
    QVERIFY(showActive());
    m_window->JmenaVstupu->setFocus();
    QStringList visited{m_window->focusWidget()->objectName()};
    for (int step = 0; step < 30; ++step) {
        QTest::keyClick(m_window->focusWidget(), Qt::Key_Tab);
        if (m_window->focusWidget() == m_window->JmenaVstupu)
            break;
        visited.append(m_window->focusWidget()->objectName());
    }

    QCOMPARE(visited, (QStringList{u"JmenaVstupu"_s,      u"InputDruh"_s, u"btnclear"_s,       u"Nacti"_s,
                                   u"FreqFrom"_s,         u"FreqTo"_s,    u"ChTTR"_s,          u"ChMeasure"_s,
                                   u"JmenoSouboruZmer"_s, u"ChangeM"_s,   u"ChComputeModel"_s, u"JmenoSouboruModeluj"_s,
                                   u"ChangeC"_s,          u"FreqOut"_s,   u"ChRFR"_s,          u"JmenoSouboruRFR"_s,
                                   u"ChangeRFR"_s,        u"Jed"_s,       u"RFRChartBtn"_s,    u"TTRChartBtn"_s,
                                   u"InfoBtn"_s}));
}

VOCABRIX_GUI_TEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
