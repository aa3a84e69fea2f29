#pragma once

#include <QString>

#include <stdexcept>

namespace measure {

// A failure of the platform (a file that cannot be created, opened or written, a number that does not
// convert). It carries the whole text the user is shown; the core throws it and never shows anything itself.
class PlatformError : public std::runtime_error
{
public:
    explicit PlatformError(const QString& message);

    QString message() const;
};

// The system's reason for errno value `error`, e.g. "No such file or directory".
QString systemReason(int error);

// "Cannot create file \"path\". reason"
[[noreturn]] void throwCannotCreate(const QString& path, int error);
// "Cannot open file \"path\". reason"
QString cannotOpenText(const QString& path, int error);
[[noreturn]] void throwCannotOpen(const QString& path, int error);
// "Cannot write file \"path\". reason"
[[noreturn]] void throwCannotWrite(const QString& path, int error);

} // namespace measure
