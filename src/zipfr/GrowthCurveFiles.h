#pragma once

#include "textio/FileWriter.h"

#include <QString>

#include <functional>

namespace zipfr {

// A growth curve of the measured file: N, V and the classes V1..Vk the file holds from class 1 on (k <= 9).
textio::StagedFile writeMeasuredGrowth(const QString& path, const QString& measuredPath,
                                       const std::function<void()>& checkpoint);

// The same of the model file; with its file of standard deviations (`deviationsPath` not empty) also their
// squares, the variances VV and VV1..VVk.
textio::StagedFile writeModelGrowth(const QString& path, const QString& modelPath, const QString& deviationsPath,
                                    const std::function<void()>& checkpoint);

} // namespace zipfr
