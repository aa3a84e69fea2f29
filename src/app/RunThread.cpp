#include "RunThread.h"

#include "textio/ErrorMessage.h"

#include <QDir>

#include <exception>
#include <sched.h>
#include <utility>

namespace app {

RunThread::RunThread(run::RunSettings settings, RunView& view)
    : m_settings(std::move(settings)),
      m_view(view),
      m_thread([this, folder = QDir::currentPath()](std::stop_token stop) { work(std::move(stop), folder); })
{}

void RunThread::stop()
{
    m_thread.request_stop();
}

std::optional<run::Progress> RunThread::takeProgress()
{
    const std::lock_guard lock(m_progressLock);
    return std::exchange(m_progress, std::nullopt);
}

void RunThread::work(std::stop_token stop, const QString& folder)
{
    // The file dialogs, which the chart windows open while the run goes on, move the process's current folder.
    // The run keeps a folder of its own, the one it started in, for its relative names; the model's threads, which
    // it starts, share it.
    ::unshare(CLONE_FS);
    QDir::setCurrent(folder);
    m_stop = stop;
    std::optional<run::RunEnd> end;
    QString failure;
    try {
        end = run::runSequence(m_settings, *this, stop);
    } catch (const textio::ErrorMessage& error) {
        failure = error.text();
    } catch (const std::exception& error) {
        failure = QString::fromLocal8Bit(error.what());
    }
    // The window hears of the end once the thread has ended: an error box shown then has nothing behind it.
    post([this, end, failure] {
        m_thread.join();
        m_view.runEnded(end, failure);
    });
}

template <typename Call>
void RunThread::post(Call call)
{
    QMetaObject::invokeMethod(this, std::move(call), Qt::QueuedConnection);
}

void RunThread::showMessage(const QString& text)
{
    std::unique_lock lock(m_answerLock);
    m_messageOpen = true;
    post([this, text] {
        m_view.showRunMessage(text);
        {
            const std::lock_guard answered(m_answerLock);
            m_messageOpen = false;
        }
        m_answered.notify_all();
    });
    // A stop does not wait for the box: the run ends without it.
    m_answered.wait(lock, m_stop, [this] { return !m_messageOpen; });
}

void RunThread::warn(const QString& text)
{
    post([this, text] { m_view.showRunWarning(text); });
}

void RunThread::removeInputLine(int index)
{
    post([this, index] { m_view.removeRunInputLine(index); });
}

void RunThread::progress(const run::Progress& progress)
{
    const std::lock_guard lock(m_progressLock);
    m_progress = progress;
}

} // namespace app
