#include "RFilesSaving.h"

#include <QMetaObject>

#include <memory>

namespace charts {
namespace {

// Thrown by the checkpoint of the files for R when a stop is asked for.
struct Stopped
{
};

} // namespace

RFilesSaving::RFilesSaving(std::vector<Load> loads, QObject* receiver, Finished finished)
    : m_thread(work, std::move(loads), receiver, std::move(finished))
{}

void RFilesSaving::work(std::stop_token stop, std::vector<Load> loads, QObject* receiver, Finished finished)
{
    // Shared, as a queued call may be copied; it is taken once.
    auto files = std::make_shared<std::vector<textio::StagedFile>>();
    std::exception_ptr failure;
    try {
        for (const Load& load : loads) {
            for (textio::StagedFile& file : zipfr::writeForR(load.prefix, load.sources, [&stop] {
                     if (stop.stop_requested())
                         throw Stopped{};
                 }))
                files->push_back(std::move(file));
        }
    } catch (const Stopped&) {
        return;
    } catch (...) {
        failure = std::current_exception();
        files->clear();
    }
    QMetaObject::invokeMethod(
        receiver, [files, failure, finished = std::move(finished)] { finished(std::move(*files), failure); },
        Qt::QueuedConnection);
}

} // namespace charts
