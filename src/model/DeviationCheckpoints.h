#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace model {

// Chances for a run to stop while its deviations are computed, a few milliseconds apart wherever the work asks
// often enough. `hear` (the sink's rowsComputed, which stops a run by throwing) is called only on the thread that
// made the checkpoints, since an exception cannot leave another; the other threads see the stop and leave their
// work, so that the exception can go on once they are joined.
class DeviationCheckpoints
{
public:
    explicit DeviationCheckpoints(std::function<void()> hear)
        : m_hear(std::move(hear))
    {}

    // Whether the work is being stopped; throws what `hear` throws on the thread that made the checkpoints.
    bool stopping()
    {
        if (std::this_thread::get_id() != m_owner)
            return m_stopped.load(std::memory_order_relaxed);
        const Clock::time_point now = Clock::now();
        if (now - m_heard >= interval) {
            m_heard = now;
            try {
                m_hear();
            } catch (...) {
                m_stopped = true;
                throw;
            }
        }
        return false;
    }

    // Runs work(worker) for worker = 0..workers − 1, each on a thread of its own (the first on this one, which
    // goes on hearing stops while it waits for the others).
    template <typename Work>
    void run(unsigned workers, const Work& work)
    {
        std::mutex mutex;
        std::condition_variable finished;
        unsigned running = workers - 1;
        std::vector<std::jthread> helpers;
        for (unsigned worker = 1; worker < workers; ++worker) {
            helpers.emplace_back([&, worker] {
                work(worker);
                const std::lock_guard lock(mutex);
                --running;
                finished.notify_one();
            });
        }
        work(0);
        std::unique_lock lock(mutex);
        while (running > 0) {
            finished.wait_for(lock, interval);
            lock.unlock();
            stopping();
            lock.lock();
        }
    }

    // Runs each(i) for i = 0..count − 1 on up to `threads` threads, each taking the next i when done with one,
    // until the work is stopped.
    template <typename Each>
    void share(size_t count, unsigned threads, const Each& each)
    {
        std::atomic<size_t> next = 0;
        run(static_cast<unsigned>(std::clamp<size_t>(threads, 1, std::max<size_t>(count, 1))), [&](unsigned) {
            for (size_t i = next++; i < count && !stopping(); i = next++)
                each(i);
        });
    }

private:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds interval{5};

    std::function<void()> m_hear;
    std::thread::id m_owner = std::this_thread::get_id();
    Clock::time_point m_heard = Clock::now();
    std::atomic<bool> m_stopped = false;
};

} // namespace model
