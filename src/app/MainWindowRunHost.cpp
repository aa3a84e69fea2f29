#include "MainWindowRunHost.h"

#include "app/InputList.h"
#include "app/TTRJM.h"
#include "dialogs/Dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

namespace app {

MainWindowRunHost::MainWindowRunHost(THlavni& window, dialogs::Dialogs& dialogs)
    : m_window(window),
      m_dialogs(dialogs)
{}

QString MainWindowRunHost::freqFromText() const
{
    return m_window.FreqFrom->text();
}

QString MainWindowRunHost::freqToText() const
{
    return m_window.FreqTo->text();
}

QString MainWindowRunHost::densityText() const
{
    return m_window.FreqOut->text();
}

bool MainWindowRunHost::ttrChecked() const
{
    return m_window.ChTTR->isChecked();
}

bool MainWindowRunHost::measureChecked() const
{
    return m_window.ChMeasure->isChecked();
}

bool MainWindowRunHost::modelChecked() const
{
    return m_window.ChComputeModel->isChecked();
}

bool MainWindowRunHost::concordanceChecked() const
{
    return m_window.ChRFR->isChecked();
}

int MainWindowRunHost::inputFormat() const
{
    return m_window.InputDruh->currentIndex();
}

textio::CodePage MainWindowRunHost::codePage() const
{
    return m_window.inputCodePage();
}

QString MainWindowRunHost::measuredFileName() const
{
    return m_window.JmenoSouboruZmer->text();
}

QString MainWindowRunHost::modelFileName() const
{
    return m_window.JmenoSouboruModeluj->text();
}

QString MainWindowRunHost::concordanceFileName() const
{
    return m_window.JmenoSouboruRFR->text();
}

QStringList MainWindowRunHost::inputLines() const
{
    return app::inputLines(*m_window.JmenaVstupu);
}

void MainWindowRunHost::removeInputLine(int index)
{
    app::removeInputLine(*m_window.JmenaVstupu, index);
}

void MainWindowRunHost::showMessage(const QString& text)
{
    m_dialogs.message(&m_window, text);
}

void MainWindowRunHost::warn(const QString& text)
{
    m_window.showWarning(text);
}

} // namespace app
