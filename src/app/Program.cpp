#include "Program.h"

#include "app/TTRJM.h"
#include "charts/RFRChartForm.h"
#include "charts/TTRChartForm.h"
#include "info/INFO.h"

#include <QApplication>
#include <QDirIterator>
#include <QIcon>

using namespace Qt::StringLiterals;

namespace app {
namespace {

// Closing a secondary window only hides it, and does not keep the program running once the main window
// is closed.
template <typename Window>
std::unique_ptr<Window> createSecondaryWindow(dialogs::Dialogs& dialogs)
{
    auto window = std::make_unique<Window>(dialogs);
    window->setAttribute(Qt::WA_QuitOnClose, false);
    return window;
}

// Showing a window that is already shown only brings it to the front; it loads on passing from hidden to shown.
void bringUp(QWidget& window)
{
    window.show();
    window.raise();
    window.activateWindow();
}

// The program's mark in every size the resources hold, so that each place picks a sharp one.
QIcon programIcon()
{
    QIcon icon;
    QDirIterator files(u":/icons"_s, {u"*.png"_s}, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext())
        icon.addFile(files.next());
    return icon;
}

} // namespace

Program::Program(dialogs::Dialogs& dialogs)
{
    // Only the name: a display name set of its own would be appended to every window's caption.
    QApplication::setApplicationName(u"Vocabrix"_s);
    QApplication::setWindowIcon(programIcon());
    // The name of the installed menu entry, by which a Wayland compositor finds the windows' icon.
    QApplication::setDesktopFileName(u"org.vocabrix.Vocabrix"_s);
    m_main = std::make_unique<THlavni>(dialogs, *this);
    m_rfrChart = createSecondaryWindow<charts::TRFRChart>(dialogs);
    m_ttrChart = createSecondaryWindow<charts::TTTRChart>(dialogs);
    m_info = createSecondaryWindow<info::TfrmInfo>(dialogs);
}

Program::~Program() = default;

void Program::start()
{
    m_main->show();
}

void Program::openRfrChart(const QString& concordanceFile)
{
    m_rfrChart->JmenoZdroje = concordanceFile;
    bringUp(*m_rfrChart);
}

void Program::setTtrChartFilesExist(bool measuredExists, bool modelExists)
{
    m_ttrChart->EM = measuredExists;
    m_ttrChart->EC = modelExists;
}

void Program::openTtrChart(const QString& measuredFile, const QString& modelFile, const QString& concordanceFile,
                           const textio::CodePage& codePage)
{
    m_ttrChart->JmenoZdrojeM = measuredFile;
    m_ttrChart->JmenoZdrojeC = modelFile;
    m_ttrChart->concordanceFile = concordanceFile;
    m_ttrChart->concordanceCodePage = codePage;
    bringUp(*m_ttrChart);
}

void Program::openInfo()
{
    bringUp(*m_info);
}

} // namespace app
