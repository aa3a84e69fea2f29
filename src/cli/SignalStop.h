#pragma once

#include <atomic>
#include <csignal>
#include <stop_token>
#include <thread>

namespace cli {

// While it lives, SIGINT and SIGTERM ask the run to stop instead of ending the process at once, which could leave a
// temporary output behind. The handler only writes the signal's number to a pipe; a thread of its own reads it and
// asks for the stop, which a signal handler may not do itself.
class SignalStop
{
public:
    SignalStop();
    ~SignalStop();
    SignalStop(const SignalStop&) = delete;
    SignalStop& operator=(const SignalStop&) = delete;

    std::stop_token token() const { return m_source.get_token(); }
    // The first signal that came, 0 while none did.
    int signal() const { return m_signal.load(); }

private:
    void watch();

    std::stop_source m_source;
    std::atomic<int> m_signal{0};
    int m_pipe[2] = {-1, -1};
    struct sigaction m_previous[2] = {};
    std::jthread m_watcher;
};

} // namespace cli
