#include "info/INFO.h"

#include "GuiTestMain.h"
#include "RecordingDialogs.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

class InfoWindowTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void opensOnTheTermsPage();
    void pagesHoldTheirSections();
    void documentationButtonTogglesThePage();
    void closingKeepsThePageForTheNextOpening();
    void cleanup();

private:
    RecordingDialogs m_dialogs;
};

void InfoWindowTest::cleanup()
{
    QVERIFY2(m_dialogs.entries().isEmpty(), "the Info window never asks or tells anything");
    m_dialogs.clear();
}

void InfoWindowTest::opensOnTheTermsPage()
{
    info::TfrmInfo window(m_dialogs);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QCOMPARE(window.windowTitle(), u"Info"_s);
    QCOMPARE(window.size(), QSize(537, 542));
    QVERIFY(window.terms->isVisible());
    QVERIFY(!window.Doc->isVisible());
    QVERIFY(window.terms->isReadOnly());
    QVERIFY(window.Doc->isReadOnly());
    QCOMPARE(window.Button2->text(), u"Documentation"_s);
    QCOMPARE(window.BtnClose->text(), u"Close"_s);
    // The buttons sit in the bottom right corner, "Close" last.
    QVERIFY(window.Button2->geometry().right() < window.BtnClose->geometry().left());
    QVERIFY(window.BtnClose->geometry().right() > window.width() - 20);
    QVERIFY(window.BtnClose->geometry().top() > window.terms->geometry().bottom());
}

void InfoWindowTest::pagesHoldTheirSections()
{
    info::TfrmInfo window(m_dialogs);
    const QString terms = window.terms->toPlainText();
    QVERIFY(terms.startsWith(u"Vocabrix"_s));
    const qsizetype heading = terms.indexOf(u"\nTerms of Use\n"_s);
    QVERIFY(heading > 0);
    QVERIFY(terms.indexOf(u"may not be changed"_s) > heading);
    QVERIFY(terms.indexOf(u"not responsible for any loss"_s) > heading);

    const QString documentation = window.Doc->toPlainText();
    QVERIFY(documentation.startsWith(u"Documentation\n"_s));
    QVERIFY(documentation.contains(u"Hurlbert 1971"_s));
    const qsizetype input = documentation.indexOf(u"\nA) Input\n"_s);
    const qsizetype processing = documentation.indexOf(u"\nB) Processing\n"_s);
    const qsizetype output = documentation.indexOf(u"\nC) Output\n"_s);
    QVERIFY(0 < input && input < processing && processing < output);
    // Two sample concordance lines: a word type, a TAB, a frequency.
    const QStringList samples = documentation.sliced(input, processing - input).split(u'\n').filter(u"\t"_s);
    QCOMPARE(samples.size(), 2);
}

void InfoWindowTest::documentationButtonTogglesThePage()
{
    info::TfrmInfo window(m_dialogs);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QTest::mouseClick(window.Button2, Qt::LeftButton);
    QVERIFY(window.Doc->isVisible());
    QCOMPARE(window.Doc->geometry(), window.terms->geometry());
    QCOMPARE(window.Button2->text(), u"Terms Of Use"_s);

    QTest::mouseClick(window.Button2, Qt::LeftButton);
    QVERIFY(!window.Doc->isVisible());
    QVERIFY(window.terms->isVisible());
    QCOMPARE(window.Button2->text(), u"Documentation"_s);
}

void InfoWindowTest::closingKeepsThePageForTheNextOpening()
{
    info::TfrmInfo window(m_dialogs);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTest::mouseClick(window.Button2, Qt::LeftButton);

    QTest::mouseClick(window.BtnClose, Qt::LeftButton);
    QVERIFY(window.isHidden());

    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(window.Doc->isVisible());
    QCOMPARE(window.Button2->text(), u"Terms Of Use"_s);
}

VOCABRIX_GUI_TEST_MAIN(InfoWindowTest)
#include "InfoWindowTest.moc"
