#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>

// Every message and dialog must go through the recording Dialogs. Should a real modal window open anyway,
// the watchdog closes it, so the test ends instead of waiting for a user, and reports it.
class ModalWatchdog
{
public:
    ModalWatchdog()
    {
        m_timer.callOnTimeout([this] { closeModal(); });
        m_timer.start(50);
    }

    bool tripped() const { return m_tripped; }

private:
    void closeModal()
    {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            m_tripped = true;
            modal->close();
        }
    }

    QTimer m_timer;
    bool m_tripped = false;
};
