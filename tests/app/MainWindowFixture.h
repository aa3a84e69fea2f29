#pragma once

#include "ModalWatchdog.h"
#include "RecordingDialogs.h"
#include "RecordingWindows.h"
#include "WorkingDirectory.h"
#include "app/TTRJM.h"

#include <QPushButton>
#include <QTest>

#include <memory>

// One fresh main window for one test: in a folder of its own, with every dialog recorded and any real modal
// window caught.
class MainWindowFixture
{
public:
    MainWindowFixture()
        : m_window(std::make_unique<app::THlavni>(dialogs, windows))
    {}

    app::THlavni* window() const { return m_window.get(); }

    // Focus events and shortcuts need the window shown and active.
    [[nodiscard]] bool showActive()
    {
        m_window->show();
        m_window->activateWindow();
        return QTest::qWaitForWindowActive(m_window.get());
    }

    // Clicks "Go!" and waits for the run to end; false when it does not end in time.
    [[nodiscard]] bool go(int timeout = 60000)
    {
        m_window->Jed->click();
        return waitForRun(timeout);
    }
    [[nodiscard]] bool waitForRun(int timeout = 60000)
    {
        return QTest::qWaitFor([this] { return !m_window->isRunning(); }, timeout);
    }

    // Closes the window; true when no real modal window opened during the test.
    [[nodiscard]] bool closeCleanly()
    {
        m_window.reset();
        return !m_watchdog.tripped();
    }

    RecordingDialogs dialogs;
    RecordingWindows windows;

private:
    ScopedTemporaryWorkingDirectory m_folder;
    ModalWatchdog m_watchdog;
    std::unique_ptr<app::THlavni> m_window;
};
