#pragma once

#include "textio/FileWriter.h"
#include "zipfr/ZipfrFiles.h"

#include <QObject>

#include <exception>
#include <functional>
#include <stop_token>
#include <thread>
#include <vector>

namespace charts {

// The files for R of a chart's loads, written on a thread of their own so that the window stays live while a
// corpus's files are read and written. Nothing is committed there: the files reach the window's thread staged,
// to be committed together, and a stop or a failure leaves every file as it was.
class RFilesSaving
{
public:
    struct Load
    {
        QString prefix; // absolute: a dialog may move the current folder meanwhile
        zipfr::Sources sources;
    };
    // On `receiver`'s thread, once the work ends: the staged files, or what failed; not after a stop. The receiver
    // must outlive this object.
    using Finished = std::function<void(std::vector<textio::StagedFile> files, std::exception_ptr failure)>;

    RFilesSaving(std::vector<Load> loads, QObject* receiver, Finished finished);
    // Stops the work, within a few thousand lines, and waits for its thread; what it staged is dropped.
    ~RFilesSaving() = default;
    RFilesSaving(const RFilesSaving&) = delete;
    RFilesSaving& operator=(const RFilesSaving&) = delete;

private:
    static void work(std::stop_token stop, std::vector<Load> loads, QObject* receiver, Finished finished);

    std::jthread m_thread;
};

} // namespace charts
