#include "app/TTRJM.h"

#include "GuiTestMain.h"
#include "MainWindowFixture.h"

#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
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
    void codePageChosenInTheListMenuHoldsForLaterRuns();
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
    m_window->Jed->click();

    QCOMPARE(m_dialogs->texts(), QStringList{u"Use the \"Load input files\" button to determine input files."_s});
    QVERIFY(!exists(u"M.txt"_s));
    QVERIFY(!exists(u"C.txt"_s));
}

void RunFlowTest::missingInputFileEndsTheRun()
{
    m_window->JmenaVstupu->setPlainText(u"\n"_s + smallText + u"\n\n   \nmissing.txt"_s);

    m_window->Jed->click();

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

    m_window->Jed->click();

    QCOMPARE(m_dialogs->texts(), QStringList{u"Done!"_s});
    QCOMPARE(m_window->JmenaVstupu->toPlainText(), u""_s);
    QCOMPARE(fileLines(u"M.txt"_s), (QStringList{u"10"_s, u"TTR\tT1TR\tT2TR\tT3TR\tT4TR\t"_s}));
}

void RunFlowTest::measureAndModelARealText()
{
    m_window->JmenaVstupu->setPlainText(smallText);
    m_window->FreqOut->setText(u"5"_s);

    m_window->Jed->click();

    QCOMPARE(m_dialogs->texts(), QStringList{u"Done!"_s});
    const QStringList measured = fileLines(u"M.txt"_s);
    const QStringList model = fileLines(u"C.txt"_s);
    QCOMPARE(measured.first(), u"5"_s);
    QCOMPARE(model.mid(0, 2), measured.mid(0, 2));
    QCOMPARE(model.size(), measured.size());
    QVERIFY(measured.size() > 10);
    QVERIFY(QFile(u"Concordance.txt"_s).size() > 0);
}

void RunFlowTest::nothingCheckedIsDoneAtOnce()
{
    m_window->ChMeasure->setChecked(false);
    m_window->ChComputeModel->setChecked(false);

    m_window->Jed->click();

    QCOMPARE(m_dialogs->texts(), QStringList{u"Done!"_s});
    QVERIFY(QDir().entryList(QDir::Files).isEmpty());
}

void RunFlowTest::unwritableOutputShowsTheErrorAndTheProgramGoesOn()
{
    m_window->JmenaVstupu->setPlainText(smallText);
    m_window->JmenoSouboruZmer->setText(u"missing/M.txt"_s);

    m_window->Jed->click();
    m_window->JmenoSouboruZmer->setText(u"M.txt"_s);
    m_window->Jed->click();

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

    m_window->Jed->click();
    QCOMPARE(m_dialogs->texts(), QStringList{u"Done!"_s});
    QVERIFY(!m_window->StatusLine->isHidden());
    QCOMPARE(
        m_window->StatusLine->text(),
        u"Warning: the text of file \"nul.txt\" ends at a NUL character at byte 4; the 18 bytes after it were not read."_s);

    // The next run starts with an empty status line.
    m_window->JmenaVstupu->setPlainText(smallText);
    m_window->Jed->click();
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
    m_window->Jed->click();
    QCOMPARE(firstConcordanceEntry(), u"\u00EF\u00F0\u00E8\u00E2\u00E5\u00F2\t1"_s);

    for (QAction* entry : codePages->actions()) {
        if (entry->text() == u"Cyrillic (windows-1251)")
            entry->trigger();
    }
    m_window->Jed->click();
    m_window->Jed->click();
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
        m_window->Jed->click();

    QCOMPARE(m_dialogs->texts(), QStringList{u"Done!"_s});
    QCOMPARE(m_window->FreqOut->text(), u"20"_s);
    QCOMPARE(fileLines(u"M.txt"_s).first(), u"20"_s);
}

VOCABRIX_GUI_TEST_MAIN(RunFlowTest)
#include "RunFlowTest.moc"
