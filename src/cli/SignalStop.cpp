#include "SignalStop.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace cli {
namespace {

constexpr int stoppingSignals[] = {SIGINT, SIGTERM};

// The pipe the handler writes to; a handler takes no state of its own.
int signalPipe = -1;

extern "C" void onSignal(int number)
{
    const int savedErrno = errno;
    const unsigned char byte = static_cast<unsigned char>(number);
    [[maybe_unused]] const ssize_t written = ::write(signalPipe, &byte, 1);
    errno = savedErrno;
}

} // namespace

SignalStop::SignalStop()
{
    if (::pipe2(m_pipe, O_CLOEXEC) != 0)
        return;
    signalPipe = m_pipe[1];
    m_watcher = std::jthread([this] { watch(); });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    // A read or write the signal interrupts goes on: the run stops at its next check, not with an error.
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (size_t i = 0; i < std::size(stoppingSignals); ++i)
        ::sigaction(stoppingSignals[i], &action, &m_previous[i]);
}

SignalStop::~SignalStop()
{
    if (m_pipe[1] < 0)
        return;
    for (size_t i = 0; i < std::size(stoppingSignals); ++i)
        ::sigaction(stoppingSignals[i], &m_previous[i], nullptr);
    // A zero byte, which no signal has for its number, tells the watcher to end.
    const unsigned char end = 0;
    [[maybe_unused]] const ssize_t written = ::write(m_pipe[1], &end, 1);
    m_watcher.join();
    signalPipe = -1;
    ::close(m_pipe[0]);
    ::close(m_pipe[1]);
}

void SignalStop::watch()
{
    for (;;) {
        unsigned char number = 0;
        const ssize_t got = ::read(m_pipe[0], &number, 1);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0 || number == 0)
            return;
        int none = 0;
        m_signal.compare_exchange_strong(none, number);
        m_source.request_stop();
    }
}

} // namespace cli
