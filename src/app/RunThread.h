#pragma once

#include "run/RunSequence.h"

#include <QObject>
#include <QString>

#include <condition_variable>
#include <mutex>
#include <optional>
#include <stop_token>
#include <thread>

namespace app {

// What the main window does with what a run tells it. Every call comes on the interface thread, in the order the
// run made them.
class RunView
{
public:
    virtual ~RunView() = default;

    // A modal message; the run waits until it is closed.
    virtual void showRunMessage(const QString& text) = 0;
    virtual void showRunWarning(const QString& text) = 0;
    virtual void removeRunInputLine(int index) = 0;
    // The run's thread has ended: with how it ended, or with the text of the failure that ended it.
    virtual void runEnded(std::optional<run::RunEnd> end, const QString& failure) = 0;
};

// A run of "Go!" on a thread of its own, which never touches a widget: what the run tells the user reaches the
// window through RunView on the interface thread, and the run waits for a message box to be closed as it did when
// it ran there. The progress waits in one place for the window to fetch it, however often the run reports it.
class RunThread final : public QObject, private run::RunReport
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(RunThread)

public:
    // Starts the run in the current folder of this moment. Destroyed, it stops the run and waits for its thread.
    RunThread(run::RunSettings settings, RunView& view);

    void stop();
    // The progress reported since the last call, if any.
    std::optional<run::Progress> takeProgress();

private:
    void work(std::stop_token stop, const QString& folder);
    template <typename Call>
    void post(Call call);

    void showMessage(const QString& text) override;
    void warn(const QString& text) override;
    void removeInputLine(int index) override;
    void progress(const run::Progress& progress) override;

    const run::RunSettings m_settings;
    RunView& m_view;
    std::stop_token m_stop; // the worker's, for its waits

    std::mutex m_progressLock;
    std::optional<run::Progress> m_progress;

    std::mutex m_answerLock;
    std::condition_variable_any m_answered;
    bool m_messageOpen = false;

    // Last: it is the first to go, and asks the worker to stop and waits for it while everything the worker uses is
    // still there.
    std::jthread m_thread;
};

} // namespace app
