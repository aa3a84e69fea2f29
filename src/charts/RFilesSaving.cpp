#include "RFilesSaving.h"

#include <QMetaObject>

#include <memory>

namespace charts {

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
            std::optional<std::vector<textio::StagedFile>> staged = zipfr::writeForR(load.prefix, load.sources, stop);
            if (!staged)
                return;
            for (textio::StagedFile& file : *staged)
                files->push_back(std::move(file));
        }
    } catch (...) {
        failure = std::current_exception();
    }
    QMetaObject::invokeMethod(
        receiver, [files, failure, finished = std::move(finished)] { finished(std::move(*files), failure); },
        Qt::QueuedConnection);
}

} // namespace charts
